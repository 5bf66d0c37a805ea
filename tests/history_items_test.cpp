// The History page's item model, watched throughout by Qt's own model
// tester: entries as rows, packages as children, its filters, and the
// unreadable sources said.
#include "history_items.hpp"

#include <QAbstractItemModelTester>
#include <QtTest/QtTest>

namespace sorvane::gui {
namespace {

History sample() {
  History history;
  history.entries = {
      {300,
       301,
       Step::Apt,
       "apt-get upgrade",
       Ended::Succeeded,
       {{"libssl3", "3.0.11", "3.0.13", Change::Upgraded}, {"curl", "7", "8", Change::Upgraded}},
       0,
       SorvaneRun{"/state/sorvane-update-a/update.log", Outcome::Success, 0, false}},
      {200,
       200,
       Step::Flatpak,
       "",
       Ended::Failed,
       {{"org.gnome.Calculator", "", "stable", Change::Installed}},
       0,
       {}},
      {100,
       100,
       Step::Apt,
       "",
       Ended::Succeeded,
       {{"libssl3", "", "3.0.11", Change::Installed}},
       0,
       {}},
  };
  history.unreadable = {{"dnf history list", "dnf exited with status 1"}};
  return history;
}

}  // namespace

class HistoryItemsTest : public QObject {
  Q_OBJECT

 private slots:
  void entriesAreRowsAndPackagesTheirChildren() {
    HistoryItems items;
    QAbstractItemModelTester tester(&items, QAbstractItemModelTester::FailureReportingMode::QtTest);
    items.set_history(sample());
    QCOMPARE(items.rowCount(), 3);
    const QModelIndex first = items.index(0, 0);
    QCOMPARE(items.rowCount(first), 2);
    QCOMPARE(items.index(0, HistoryItems::Manager).data().toString(), QStringLiteral("apt"));
    QCOMPARE(items.index(0, HistoryItems::Changes).data().toString(), QStringLiteral("2 upgraded"));
    QCOMPARE(items.index(1, HistoryItems::Outcome).data().toString(), QStringLiteral("failed"));
    QCOMPARE(items.index(0, 0).data(HistoryItems::LogRole).toString(),
             QStringLiteral("/state/sorvane-update-a/update.log"));
    QVERIFY(items.index(1, 0).data(HistoryItems::LogRole).toString().isEmpty());
    const QModelIndex package = items.index(0, HistoryItems::When, first);
    QCOMPARE(package.data().toString(), QStringLiteral("libssl3"));
    QCOMPARE(items.index(0, HistoryItems::Changes, first).data().toString(),
             QStringLiteral("3.0.11 → 3.0.13"));
    QCOMPARE(items.parent(package), first);
    QCOMPARE(items.rowCount(package), 0);
    QCOMPARE(
        items.unreadable(),
        QStringList{QStringLiteral("Could not read dnf history list: dnf exited with status 1")});
  }

  void filtersByPackageAndManager() {
    HistoryItems items;
    QAbstractItemModelTester tester(&items, QAbstractItemModelTester::FailureReportingMode::QtTest);
    items.set_history(sample());
    items.set_filter(QStringLiteral("SSL"), std::nullopt);
    QCOMPARE(items.rowCount(), 2);
    QCOMPARE(items.rowCount(items.index(0, 0)), 1);  // curl is not shown
    QCOMPARE(items.index(0, HistoryItems::Changes).data().toString(), QStringLiteral("1 upgraded"));
    items.set_filter(QString(), Step::Flatpak);
    QCOMPARE(items.rowCount(), 1);
    QCOMPARE(items.index(0, HistoryItems::Manager).data().toString(), QStringLiteral("flatpak"));
    items.set_filter(QStringLiteral("ssl"), Step::Flatpak);
    QCOMPARE(items.rowCount(), 0);
    items.set_filter(QString(), std::nullopt);
    QCOMPARE(items.rowCount(), 3);
    // A new history keeps the filter the user set.
    items.set_filter(QStringLiteral("curl"), std::nullopt);
    items.set_history(sample());
    QCOMPARE(items.rowCount(), 1);
  }
};

}  // namespace sorvane::gui

QTEST_GUILESS_MAIN(sorvane::gui::HistoryItemsTest)
#include "history_items_test.moc"
