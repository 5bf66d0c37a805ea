// The item model of what the window shows, fed by an UpdateModel that the
// test drives directly, watched throughout by Qt's own model tester.
#include "update_items.hpp"

#include <sys/wait.h>

#include <QAbstractItemModelTester>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <optional>

#include "step_delegate.hpp"
#include "update_model.hpp"
#include "update_tree.hpp"

namespace sorvane::gui {
namespace {

using StepState = UpdateModel::StepState;

ManagerCheck answer(Step step, std::vector<PendingUpdate> updates,
                    std::vector<std::string> kept = {}) {
  ManagerCheck check;
  check.step = step;
  check.updates = std::move(updates);
  for (std::string& name : kept) check.kept_back.push_back({std::move(name), {}, {}, {}});
  return check;
}

UpdateModel::Looked ready(std::vector<Step> steps, std::vector<ManagerCheck> checks) {
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.steps = std::move(steps);
  looked.checks = std::move(checks);
  looked.access = UpdateModel::Access::NoPassword;
  return looked;
}

// The model's words, states and children, row by row.
struct Row {
  QString starts;  // how the row's words begin
  std::optional<StepState> state;
  int packages;
};

struct Case {
  const char* name;
  std::vector<Step> steps;  // in the script's order; checks in the report's
  std::vector<ManagerCheck> checks;
  std::string output;      // the script's output, if the update ran
  std::optional<int> end;  // and how it ended
  std::vector<Row> rows;
};

}  // namespace

class UpdateItemsTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsFollowTheUpdate() {
    const std::vector<Case> cases = {
        {"looking", {}, {}, {}, std::nullopt, {}},
        {"ready, in the report's order",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Flatpak, {{"org.a//stable", "", "2", false}}),
          answer(Step::Apt, {{"zlib", "1", "2", false}, {"libssl", "1", "2", true}}, {"held"})},
         {},
         std::nullopt,
         {{"flatpak", std::nullopt, 1}, {"apt", std::nullopt, 3}}},
        {"updating: the first runs, the next waits",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Apt, {}), answer(Step::Flatpak, {})},
         "Starting system update...\n\nUpdating apt packages...\n",
         std::nullopt,
         {{"apt: running", StepState::Running, 0}, {"flatpak: waiting", StepState::Waiting, 0}}},
        {"failed: one failed, one not run",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Apt, {}), answer(Step::Flatpak, {})},
         "Starting system update...\n\nUpdating apt packages...\n",
         W_EXITCODE(100, 0),
         {{"apt: failed", StepState::Failed, 0}, {"flatpak: not run", StepState::NotRun, 0}}},
    };
    for (const Case& c : cases) {
      const QTemporaryDir base;
      UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                         "/usr/bin/bash",
                         base.path().toStdString(),
                         {}}};
      UpdateItems items(&model);
      const QAbstractItemModelTester tester(&items,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
      if (!c.steps.empty()) model.take_looked(ready(c.steps, c.checks));
      if (!c.output.empty()) model.take_output(c.output);
      if (c.end) model.take_end(*c.end);
      const QString name = QString::fromLatin1(c.name);
      QCOMPARE(items.rowCount(), static_cast<int>(c.rows.size()));
      for (size_t i = 0; i < c.rows.size(); ++i) {
        const Row& row = c.rows[i];
        const QModelIndex index = items.index(static_cast<int>(i), UpdateItems::Name);
        const QString text = index.data().toString();
        QVERIFY2(text.startsWith(row.starts), qPrintable(name + ": " + text));
        // Never by colour alone: an icon and words.
        QVERIFY2(!index.data(Qt::DecorationRole).value<QIcon>().isNull(), qPrintable(name));
        const QVariant state = index.data(UpdateItems::StateRole);
        QCOMPARE(state.isValid(), row.state.has_value());
        if (row.state) {
          QCOMPARE(state.toInt(), static_cast<int>(*row.state));
          QCOMPARE(items.index(static_cast<int>(i), UpdateItems::Status).data().toString(),
                   UpdateItems::state_text(*row.state));
        }
        QCOMPARE(items.rowCount(index), row.packages);
      }
    }
  }

  // Sorted, security updates come first; a package's columns are its
  // name, its versions and what is special about it.
  void securityUpdatesFirstAndFiltered() {
    const QTemporaryDir base;
    UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                       "/usr/bin/bash",
                       base.path().toStdString(),
                       {}}};
    UpdateItems items(&model);
    const QAbstractItemModelTester tester(&items,
                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.take_looked(ready({Step::Apt}, {answer(Step::Apt,
                                                 {{"zlib", "1", "2", false},
                                                  {"libssl", "1.1", "1.2", true},
                                                  {"bash", "", "5", false}},
                                                 {"held"})}));
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&items);
    sorted.setSortRole(UpdateItems::SortRole);
    sorted.setRecursiveFilteringEnabled(true);
    sorted.sort(UpdateItems::Name);
    const QModelIndex apt = sorted.index(0, 0);
    QStringList shown;
    for (int row = 0; row < sorted.rowCount(apt); ++row) {
      QStringList cells;
      for (int column = 0; column < UpdateItems::COLUMNS; ++column) {
        cells << sorted.index(row, column, apt).data().toString();
      }
      shown << cells.join('|');
    }
    QCOMPARE(shown, QStringList({"libssl|1.1 → 1.2|security update", "bash|5|",
                                 "held||kept back: its new version needs changes to other packages "
                                 "that this update does not make",
                                 "zlib|1 → 2|"}));
    QVERIFY(sorted.index(0, UpdateItems::Status, apt).data(UpdateItems::SecurityRole).toBool());
    QVERIFY(!sorted.index(0, UpdateItems::Status, apt).data(Qt::DecorationRole).isNull());
    QCOMPARE(items.package_count(), 4);
    // The same answer again changes nothing's shape; a new one resets.
    model.take_looked(ready({Step::Apt}, {answer(Step::Apt, {{"zlib", "1", "2", false}})}));
    QCOMPARE(items.rowCount(items.index(0, 0)), 1);
    sorted.setFilterFixedString("zl");
    QCOMPARE(sorted.rowCount(sorted.index(0, 0)), 1);
    sorted.setFilterFixedString("nothing like it");
    QCOMPARE(sorted.rowCount(), 0);
  }

  // The tree the pages show: a filter box only once the list is long; what
  // it holds keeps each match with its manager, and a manager with none
  // goes; cleared, everything is back.
  void theFilterBoxNarrowsALongList() {
    const QTemporaryDir base;
    UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                       "/usr/bin/bash",
                       base.path().toStdString(),
                       {}}};
    UpdateItems items(&model);
    UpdateTree tree(&items, QStringLiteral("updates"));
    std::vector<PendingUpdate> many;
    for (int i = 0; i < UpdateTree::FILTERED_FROM; ++i) {
      many.push_back({"libfoo" + std::to_string(i), "1", "2", false});
    }
    const std::vector<ManagerCheck> few = {answer(Step::Apt, {{"zlib", "1", "2", false}})};
    model.take_looked(ready({Step::Apt, Step::Flatpak}, few));
    QVERIFY(tree.filter()->isHidden());
    many.push_back({"zlib", "1", "2", false});
    model.take_looked(ready(
        {Step::Apt, Step::Flatpak},
        {answer(Step::Apt, many), answer(Step::Flatpak, {{"org.example.Zoo", "1", "2", false}})}));
    QVERIFY(!tree.filter()->isHidden());
    QCOMPARE(tree.packages().size(), UpdateTree::FILTERED_FROM + 2);
    tree.filter()->setText(QStringLiteral("ZLIB"));
    QCOMPARE(tree.packages(), QStringList({"zlib 1 → 2"}));
    QCOMPARE(tree.rows().size(), 1);
    QVERIFY(tree.rows()[0].startsWith("apt"));
    QVERIFY(tree.view()->isExpanded(tree.view()->model()->index(0, 0)));
    tree.filter()->setText(QStringLiteral("foo1"));
    QCOMPARE(tree.packages().size(), 3);  // libfoo1, libfoo10, libfoo11
    tree.filter()->clear();
    QCOMPARE(tree.packages().size(), UpdateTree::FILTERED_FROM + 2);
    QCOMPARE(tree.rows().size(), 2);
  }

  // Each manager's own bar under its words, once the update began: full
  // for a finished step, empty for one not begun or failed at its start.
  void eachManagerRowDrawsItsOwnBar() {
    const QTemporaryDir base;
    UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                       "/usr/bin/bash",
                       base.path().toStdString(),
                       {}}};
    UpdateItems items(&model);
    UpdateTree tree(&items, QStringLiteral("updates"));
    QWidget* view = tree.view();
    const StepDelegate delegate;
    model.take_looked(
        ready({Step::Apt, Step::Snap, Step::Flatpak},
              {answer(Step::Apt, {{"zlib", "1", "2", false}, {"libssl3", "1", "2", true}})}));
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.rect = QRect(0, 0, 200, 0);
    option.decorationSize = QSize(16, 16);  // as the view gives it
    const auto row = [&](Step step) {
      for (int i = 0; i < items.rowCount(); ++i) {
        const QModelIndex index = items.index(i, UpdateItems::Name);
        if (index.data().toString().startsWith(QString::fromLatin1(manager_name(step)))) {
          return index;
        }
      }
      return QModelIndex();
    };
    // A security update's status has an icon; the rows of others are as
    // tall, not packed closer.
    const QModelIndex apt_row = row(Step::Apt);
    QVERIFY(items.index(0, UpdateItems::Status, apt_row).data(Qt::DecorationRole).isValid() !=
            items.index(1, UpdateItems::Status, apt_row).data(Qt::DecorationRole).isValid());
    QCOMPARE(delegate.sizeHint(option, items.index(0, UpdateItems::Status, apt_row)).height(),
             delegate.sizeHint(option, items.index(1, UpdateItems::Status, apt_row)).height());
    const int before = delegate.sizeHint(option, row(Step::Apt)).height();
    model.take_output(
        "Starting system update...\n\nUpdating apt packages...\n"
        "Updating Snap packages...\n");
    model.take_end(W_EXITCODE(1, 0));
    QCOMPARE(delegate.sizeHint(option, row(Step::Apt)).height(),
             before + StepDelegate::BAR_HEIGHT + 2);
    // The bar's middle, as the row paints it.
    const auto bar_middle = [&](Step step) {
      QStyleOptionViewItem drawn = option;
      drawn.rect.setHeight(delegate.sizeHint(option, row(step)).height());
      QImage image(drawn.rect.size(), QImage::Format_ARGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      delegate.paint(&painter, drawn, row(step));
      painter.end();
      return image.pixel(150, drawn.rect.bottom() - StepDelegate::BAR_HEIGHT / 2);
    };
    const QRgb finished = bar_middle(Step::Apt);
    const QRgb failed = bar_middle(Step::Snap);
    const QRgb not_run = bar_middle(Step::Flatpak);
    QCOMPARE(failed, not_run);
    QVERIFY(finished != not_run);
  }
};

}  // namespace sorvane::gui

QTEST_MAIN(sorvane::gui::UpdateItemsTest)
#include "update_items_test.moc"
