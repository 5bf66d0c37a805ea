#include "history_items.hpp"

#include "history_text.hpp"

namespace sorvane::gui {
namespace {

// A package row's internal id: its entry's row, plus one (0 is an entry).
constexpr quintptr ENTRY = 0;

QString plain(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistoryItems::HistoryItems(QObject* parent) : QAbstractItemModel(parent) {}

QModelIndex HistoryItems::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  if (!parent.isValid()) return createIndex(row, column, ENTRY);
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex HistoryItems::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == ENTRY) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, ENTRY);
}

int HistoryItems::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(shown_.size());
  if (parent.internalId() != ENTRY || parent.column() != 0) return 0;
  return static_cast<int>(shown_.at(static_cast<size_t>(parent.row())).packages.size());
}

int HistoryItems::columnCount(const QModelIndex&) const {
  return COLUMNS;
}

QVariant HistoryItems::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (index.internalId() != ENTRY) {
    const HistoryEntry& entry = shown_.at(index.internalId() - 1);
    const PackageChange& change = entry.packages.at(static_cast<size_t>(index.row()));
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
      case When: return plain(change.name);
      case Manager: return HistoryText::action(change.action);
      case Changes: return HistoryText::versions(change);
      default: return {};
    }
  }
  const HistoryEntry& entry = shown_.at(static_cast<size_t>(index.row()));
  if (role == LogRole) return entry.sorvane ? plain(entry.sorvane->log_path) : QString();
  if (role == Qt::ToolTipRole && !entry.command.empty()) return plain(entry.command);
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case When: return HistoryText::when(entry.time);
    case Manager: return QString::fromLatin1(manager_name(entry.manager));
    case Changes: return HistoryText::summary(entry);
    case Outcome: return HistoryText::outcome(entry.ended);
    case Through: return HistoryText::by(entry);
    default: return {};
  }
}

QVariant HistoryItems::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case When: return tr("When");
    case Manager: return tr("Manager");
    case Changes: return tr("Changes");
    case Outcome: return tr("Outcome");
    case Through: return tr("Through");
    default: return {};
  }
}

void HistoryItems::set_history(History history) {
  history_ = std::move(history);
  apply();
}

void HistoryItems::set_filter(const QString& package, std::optional<Step> manager) {
  package_ = package.trimmed();
  manager_ = manager;
  apply();
}

void HistoryItems::apply() {
  beginResetModel();
  shown_.clear();
  for (const HistoryEntry& entry : history_.entries) {
    if (manager_ && entry.manager != *manager_) continue;
    if (package_.isEmpty()) {
      shown_.push_back(entry);
      continue;
    }
    HistoryEntry kept = entry;
    std::erase_if(kept.packages, [&](const PackageChange& change) {
      return !plain(change.name).contains(package_, Qt::CaseInsensitive);
    });
    kept.unlisted = 0;
    if (!kept.packages.empty()) shown_.push_back(std::move(kept));
  }
  endResetModel();
}

QStringList HistoryItems::unreadable() const {
  QStringList lines;
  for (const Unreadable& source : history_.unreadable) lines << HistoryText::unreadable(source);
  return lines;
}

QString HistoryItems::shown_text() const {
  if (shown_.size() == history_.entries.size()) {
    return tr("%n update(s)", nullptr, static_cast<int>(shown_.size()));
  }
  return tr("%1 of %n update(s)", nullptr, static_cast<int>(history_.entries.size()))
      .arg(shown_.size());
}

}  // namespace sorvane::gui
