#include "history_page.hpp"

#include <QComboBox>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "history_items.hpp"
#include "history_text.hpp"
#include "page_parts.hpp"

namespace sorvane::gui {

HistoryPage::HistoryPage(UpdateSetup setup, QWidget* parent)
    : QWidget(parent),
      setup_(std::move(setup)),
      items_(new HistoryItems(this)),
      tree_(new QTreeView(this)),
      package_(new QLineEdit(this)),
      manager_(new QComboBox(this)),
      count_(new QLabel(this)),
      unreadable_(new QLabel(this)),
      open_log_(new QPushButton(tr("Open log"), this)) {
  setWindowTitle(tr("History"));
  setAccessibleName(tr("History"));
  package_->setPlaceholderText(tr("Filter by package name"));
  package_->setAccessibleName(tr("Filter by package name"));
  package_->setClearButtonEnabled(true);
  manager_->setAccessibleName(tr("Manager"));
  manager_->addItem(tr("All managers"));
  for (const Manager& row : MANAGERS) {
    manager_->addItem(QString::fromLatin1(row.name), static_cast<int>(row.step));
  }
  tree_->setModel(items_);
  tree_->setAccessibleName(tr("Updates, newest first"));
  tree_->setUniformRowHeights(true);
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  count_->setAccessibleName(tr("Updates shown"));
  unreadable_->setWordWrap(true);
  unreadable_->setTextFormat(Qt::PlainText);
  unreadable_->setAccessibleName(tr("Sources that could not be read"));
  unreadable_->setVisible(false);
  open_log_->setAccessibleDescription(
      tr("Opens the folder the log of the selected update is kept in"));
  open_log_->setEnabled(false);

  auto* filters = new QHBoxLayout;
  filters->addWidget(package_, 1);
  filters->addWidget(manager_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(count_, 1);
  bottom->addWidget(open_log_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(filters);
  column->addWidget(tree_, 1);
  column->addWidget(unreadable_);
  column->addLayout(bottom);

  connect(package_, &QLineEdit::textChanged, this, &HistoryPage::filter);
  connect(manager_, &QComboBox::currentIndexChanged, this, &HistoryPage::filter);
  connect(items_, &QAbstractItemModel::modelReset, this, &HistoryPage::shown);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &HistoryPage::selected);
  connect(open_log_, &QPushButton::clicked, this, [this] {
    const QString log =
        tree_->currentIndex().siblingAtColumn(0).data(HistoryItems::LogRole).toString();
    if (!log.isEmpty()) open_log_folder(this, log);
  });
  count_->setText(tr("Reading the history…"));
  reload();
}

// The uncompressed logs first, shown at once; then every rotation, each
// through a gzip of its own, which may take seconds on years of logs.
void HistoryPage::reload() {
  read(false);
}

void HistoryPage::read(bool whole) {
  auto* watcher = new QFutureWatcher<History>(this);
  connect(watcher, &QFutureWatcher<History>::finished, this, [this, watcher, whole] {
    whole_ = whole;
    items_->set_history(watcher->result());
    watcher->deleteLater();
    if (whole) {
      emit loaded();
      return;
    }
    emit first_screen();
    read(true);
  });
  watcher->setFuture(
      QtConcurrent::run([setup = setup_, whole] { return read_machine_history(setup, whole); }));
}

void HistoryPage::filter() {
  const QVariant step = manager_->currentData();
  items_->set_filter(package_->text(), step.isValid()
                                           ? std::optional<Step>(static_cast<Step>(step.toInt()))
                                           : std::nullopt);
}

void HistoryPage::shown() {
  count_->setText(whole_ ? items_->shown_text()
                         : tr("%1 (reading older logs…)").arg(items_->shown_text()));
  const QStringList unread = items_->unreadable();
  unreadable_->setText(unread.join(QLatin1Char('\n')));
  unreadable_->setVisible(!unread.isEmpty());
  selected();
}

void HistoryPage::selected() {
  const QModelIndex entry = tree_->currentIndex();
  const QString log = entry.isValid() && !entry.parent().isValid()
                          ? entry.siblingAtColumn(0).data(HistoryItems::LogRole).toString()
                          : QString();
  open_log_->setEnabled(!log.isEmpty());
  open_log_->setToolTip(log);
}

}  // namespace sorvane::gui
