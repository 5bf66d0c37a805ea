#include "update_tree.hpp"

#include <QHeaderView>
#include <QVBoxLayout>

#include "step_delegate.hpp"

namespace sorvane::gui {

UpdateTree::UpdateTree(UpdateItems* items, const QString& name, QWidget* parent)
    : QWidget(parent),
      items_(items),
      sorted_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)),
      view_(new QTreeView(this)) {
  sorted_->setSourceModel(items_);
  sorted_->setSortRole(UpdateItems::SortRole);
  sorted_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  sorted_->setFilterKeyColumn(UpdateItems::Name);
  // A manager stays while any of its packages match.
  sorted_->setRecursiveFilteringEnabled(true);
  sorted_->setAutoAcceptChildRows(true);
  filter_->setPlaceholderText(tr("Filter packages"));
  filter_->setAccessibleName(tr("Filter packages"));
  filter_->setClearButtonEnabled(true);
  connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    sorted_->setFilterFixedString(text);
    if (!text.isEmpty()) view_->expandAll();
  });
  view_->setObjectName(name);
  view_->setModel(sorted_);
  view_->setItemDelegate(new StepDelegate(view_));
  view_->setAccessibleName(name);
  view_->setSortingEnabled(true);
  view_->sortByColumn(UpdateItems::Name, Qt::AscendingOrder);
  // A manager's row wraps its words, and may say more on a line of its own.
  view_->setWordWrap(true);
  view_->setAllColumnsShowFocus(true);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTextElideMode(Qt::ElideRight);
  view_->header()->setStretchLastSection(false);
  view_->header()->setSectionResizeMode(UpdateItems::Name, QHeaderView::Stretch);
  view_->header()->setSectionResizeMode(UpdateItems::Version, QHeaderView::ResizeToContents);
  view_->header()->setSectionResizeMode(UpdateItems::Status, QHeaderView::ResizeToContents);
  // Its width is the window's, never the longest name's.
  view_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  // A few rows at least, then it scrolls.
  view_->setMinimumHeight(view_->fontMetrics().lineSpacing() * 4);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(filter_);
  layout->addWidget(view_, 1);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  connect(sorted_, &QAbstractItemModel::modelReset, this, &UpdateTree::arrange);
  connect(sorted_, &QAbstractItemModel::layoutChanged, this, &UpdateTree::arrange);
  connect(sorted_, &QAbstractItemModel::rowsInserted, this, &UpdateTree::arrange);
  arrange();
}

// A manager's words take the whole row; the filter is there when the list
// is long.
void UpdateTree::arrange() {
  for (int row = 0; row < sorted_->rowCount(); ++row) view_->setFirstColumnSpanned(row, {}, true);
  filter_->setVisible(items_->package_count() > FILTERED_FROM || !filter_->text().isEmpty());
}

void UpdateTree::show_packages(bool shown) {
  if (shown) {
    view_->expandAll();
  } else {
    view_->collapseAll();
  }
}

QStringList UpdateTree::rows() const {
  QStringList rows;
  for (int row = 0; row < sorted_->rowCount(); ++row) {
    rows << sorted_->index(row, UpdateItems::Name).data().toString();
  }
  return rows;
}

QStringList UpdateTree::packages() const {
  QStringList lines;
  for (int row = 0; row < sorted_->rowCount(); ++row) {
    const QModelIndex manager = sorted_->index(row, 0);
    for (int child = 0; child < sorted_->rowCount(manager); ++child) {
      QStringList cells;
      for (int column = 0; column < UpdateItems::COLUMNS; ++column) {
        const QString cell = sorted_->index(child, column, manager).data().toString();
        if (!cell.isEmpty()) cells << cell;
      }
      lines << cells.join(QLatin1Char(' '));
    }
  }
  return lines;
}

}  // namespace sorvane::gui
