#include "update_items.hpp"

#include <algorithm>
#include <array>

#include "check_text.hpp"

namespace sorvane::gui {
namespace {

// A manager row's index holds no parent; a package's holds its manager's
// row plus one.
constexpr quintptr TOP = 0;

// The icon theme's, with an embedded one where the theme has none.
QIcon themed(const char* name, const char* fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name),
                          QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(fallback))));
}

}  // namespace

UpdateItems::UpdateItems(const UpdateModel* model, QObject* parent)
    : QAbstractItemModel(parent), model_(model) {
  connect(model_, &UpdateModel::changed, this, &UpdateItems::refresh);
  managers_ = read();
}

QString UpdateItems::state_text(UpdateModel::StepState state) {
  switch (state) {
    case UpdateModel::StepState::Waiting: return tr("waiting");
    case UpdateModel::StepState::Running: return tr("running");
    case UpdateModel::StepState::Finished: return tr("done");
    case UpdateModel::StepState::Failed: return tr("failed");
    case UpdateModel::StepState::NotRun: return tr("not run");
  }
  return {};
}

QIcon UpdateItems::manager_icon(Step step) {
  return themed(std::string(manager(step).icon).c_str(), "package");
}

QIcon UpdateItems::state_icon(UpdateModel::StepState state) {
  switch (state) {
    case UpdateModel::StepState::Waiting: return themed("appointment-soon", "waiting");
    case UpdateModel::StepState::Running: return themed("media-playback-start", "running");
    case UpdateModel::StepState::Finished: return themed("emblem-ok", "finished");
    case UpdateModel::StepState::Failed: return themed("dialog-error", "failed");
    case UpdateModel::StepState::NotRun: return themed("action-unavailable", "not-run");
  }
  return {};
}

QIcon UpdateItems::security_icon() {
  return themed("security-medium", "security");
}

std::vector<UpdateItems::Package> UpdateItems::packages_of(const ManagerCheck& check) {
  std::vector<Package> packages;
  for (const PendingUpdate& update : check.updates) {
    packages.push_back({from_bytes(update.name),
                        from_bytes(update.from),
                        from_bytes(update.to),
                        update.security,
                        false,
                        {},
                        std::nullopt});
  }
  for (const HeldBack& kept : check.kept_back) {
    packages.push_back({from_bytes(kept.name),
                        {},
                        {},
                        false,
                        true,
                        CheckText::held_reason(check.step, kept),
                        std::nullopt});
  }
  return packages;
}

// Before the update, the check's rows in the order sorvane reports them;
// from its start, the script's steps.
std::vector<UpdateItems::Manager> UpdateItems::read() const {
  using State = UpdateModel::State;
  std::vector<Manager> managers;
  const State state = model_->state();
  if (state == State::Ready) {
    for (size_t row = 0; row < model_->row_count(); ++row) {
      Manager manager;
      manager.step = model_->row_step(row).value_or(Step{});
      manager.text = model_->row_text(row);
      if (const ManagerCheck* check = model_->row_check(row)) {
        manager.packages = packages_of(*check);
      }
      managers.push_back(std::move(manager));
    }
  } else if (state == State::Updating || state == State::Done) {
    const auto& steps = model_->steps();
    // One line per step, in the steps' order, once the update is done.
    const QStringList done = model_->changes();
    for (size_t i = 0; i < steps.size(); ++i) {
      Manager manager;
      manager.step = steps[i];
      manager.state = model_->step_state(i);
      manager.progress = model_->step_progress(i);
      if (done.size() == static_cast<qsizetype>(steps.size())) {
        manager.text = done[static_cast<qsizetype>(i)];
      } else {
        manager.text = tr("%1: %2").arg(CheckText::name(steps[i]), state_text(*manager.state));
      }
      if (const ManagerCheck* check = model_->started_check(steps[i])) {
        manager.packages = packages_of(*check);
        const auto left = model_->not_updated(steps[i]);
        for (Package& package : manager.packages) {
          if (!left || package.kept_back) continue;
          package.updated = std::none_of(left->begin(), left->end(), [&](const std::string& name) {
            return from_bytes(name) == package.name;
          });
        }
      }
      managers.push_back(std::move(manager));
    }
  }
  return managers;
}

void UpdateItems::refresh() {
  std::vector<Manager> now = read();
  const bool same_shape = std::equal(
      now.begin(), now.end(), managers_.begin(), managers_.end(),
      [](const Manager& a, const Manager& b) {
        return a.step == b.step && a.packages.size() == b.packages.size() &&
               std::equal(a.packages.begin(), a.packages.end(), b.packages.begin(),
                          [](const Package& x, const Package& y) { return x.name == y.name; });
      });
  if (!same_shape) {
    beginResetModel();
    managers_ = std::move(now);
    endResetModel();
    return;
  }
  managers_ = std::move(now);
  if (managers_.empty()) return;
  const int last = static_cast<int>(managers_.size()) - 1;
  emit dataChanged(index(0, 0), index(last, COLUMNS - 1));
  for (int row = 0; row <= last; ++row) {
    const int packages = static_cast<int>(managers_[static_cast<size_t>(row)].packages.size());
    if (packages == 0) continue;
    const QModelIndex parent = index(row, 0);
    emit dataChanged(index(0, 0, parent), index(packages - 1, COLUMNS - 1, parent));
  }
}

QModelIndex UpdateItems::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  if (!parent.isValid()) return createIndex(row, column, TOP);
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex UpdateItems::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == TOP) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, TOP);
}

int UpdateItems::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(managers_.size());
  if (parent.internalId() != TOP || parent.column() != 0) return 0;
  return static_cast<int>(managers_.at(static_cast<size_t>(parent.row())).packages.size());
}

int UpdateItems::columnCount(const QModelIndex& /*parent*/) const {
  return COLUMNS;
}

int UpdateItems::package_count() const {
  int count = 0;
  for (const Manager& manager : managers_) count += static_cast<int>(manager.packages.size());
  return count;
}

QVariant UpdateItems::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case Name: return tr("Name");
    case Version: return tr("Version");
    case Status: return tr("Status");
    default: return {};
  }
}

QVariant UpdateItems::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (index.internalId() == TOP) {
    return manager_data(managers_.at(static_cast<size_t>(index.row())), index.row(), index.column(),
                        role);
  }
  const Manager& manager = managers_.at(static_cast<size_t>(index.internalId() - 1));
  if (role == StepRole) return static_cast<int>(manager.step);
  if (role == PackageRole) return manager.packages.at(static_cast<size_t>(index.row())).name;
  return package_data(manager.packages.at(static_cast<size_t>(index.row())), index.column(), role);
}

// A manager's row is one line of words (its first column spans the
// row); its state is told by icon and by those words.
QVariant UpdateItems::manager_data(const Manager& manager, int row, int column, int role) {
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
      if (column == Name) return manager.text;
      if (column == Status && manager.state) return state_text(*manager.state);
      return {};
    case Qt::DecorationRole:
      if (column != Name) return {};
      return manager.state ? state_icon(*manager.state) : manager_icon(manager.step);
    case SortRole: return row;
    case StateRole: return manager.state ? QVariant(static_cast<int>(*manager.state)) : QVariant();
    case ProgressRole: return manager.progress ? QVariant(*manager.progress) : QVariant();
    default: return {};
  }
}

QString UpdateItems::package_status(const Package& package) {
  if (package.kept_back) return tr("kept back: %1").arg(package.held);
  if (package.updated) return *package.updated ? tr("updated") : tr("not updated");
  return package.security ? tr("security update") : QString();
}

QVariant UpdateItems::package_data(const Package& package, int column, int role) {
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
      switch (column) {
        case Name: return package.name;
        case Version:
          if (package.to.isEmpty()) return {};
          return package.from.isEmpty() ? package.to : tr("%1 → %2").arg(package.from, package.to);
        case Status: return package_status(package);
        default: return {};
      }
    case Qt::DecorationRole:
      if (column != Status) return {};
      if (package.updated) {
        return state_icon(*package.updated ? UpdateModel::StepState::Finished
                                           : UpdateModel::StepState::NotRun);
      }
      return package.security ? security_icon() : QVariant();
    case SortRole: {
      // Security updates first in every column's order.
      const QString rank = package.security ? QStringLiteral("0") : QStringLiteral("1");
      return rank + package_data(package, column, Qt::DisplayRole).toString();
    }
    case SecurityRole: return package.security;
    default: return {};
  }
}

}  // namespace sorvane::gui
