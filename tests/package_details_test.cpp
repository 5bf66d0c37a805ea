// The Details pane's words for the selected package, and what is new in
// it, fetched in the background by a stand-in for its manager.
#include "package_details.hpp"

#include <QThreadPool>
#include <QtTest/QtTest>
#include <future>

namespace sorvane::gui {
namespace {

ManagerCheck apt_check() {
  ManagerCheck apt;
  apt.step = Step::Apt;
  apt.updates = {{"libssl3", "3.0.11-1", "3.0.13-1", true}, {"zip", "", "3.0-14", false}};
  apt.about["libssl3"] = {"Secure Sockets Layer toolkit", {"DSA-5890-1"}, true};
  apt.about["zip"] = {"Archiver for .zip files", {}, true};
  apt.kept_back = {{"held", HeldReason::HeldByUser, {}, {}}};
  return apt;
}

ManagerCheck one_update(Step step, const std::string& name) {
  ManagerCheck check;
  check.step = step;
  check.updates = {{name, "1", "2", false}};
  return check;
}

std::vector<ManagerCheck> checks() {
  return {apt_check(), one_update(Step::Snap, "firefox"), one_update(Step::Dnf, "bash")};
}

// Waits for every fetch to end and its answer to be taken.
void settle() {
  QThreadPool::globalInstance()->waitForDone();
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

}  // namespace

class PackageDetailsTest : public QObject {
  Q_OBJECT

 private slots:
  // What is said of each selection before anything is fetched.
  void eachSelectionSaysItsOwn() {
    struct Case {
      std::optional<Step> step;
      std::string name;
      QString heading;
      QString description;
      QString advisories;
      QString news;
      bool offered;
    };
    const QString none = "Select an update to see what is new in it.";
    const Case cases[] = {
        {std::nullopt, "", none, "", "", "", false},
        {Step::Apt, "libssl3", "libssl3 3.0.11-1 → 3.0.13-1", "Secure Sockets Layer toolkit",
         "Advisories: DSA-5890-1", "", true},
        {Step::Apt, "zip", "zip 3.0-14", "Archiver for .zip files", "", "", true},
        {Step::Apt, "held", "held", "", "", "", false},
        {Step::Apt, "missing", none, "", "", "", false},
        {Step::Pacman, "libssl3", none, "", "", "", false},
        {Step::Snap, "firefox", "firefox 1 → 2", "", "",
         "snap does not say what is new in its updates.", false},
        {Step::Dnf, "bash", "bash 1 → 2", "", "",
         "dnf has nothing to say about what is new in this update.", false},
    };
    int fetched = 0;
    PackageDetails details([&fetched](Step, const PendingUpdate&) {
      ++fetched;
      return WhatIsNew{};
    });
    for (const Case& c : cases) {
      details.select(checks(), c.step, c.name);
      QCOMPARE(details.heading(), c.heading);
      QCOMPARE(details.description(), c.description);
      QCOMPARE(details.advisories(), c.advisories);
      QCOMPARE(details.news(), c.news);
      QCOMPARE(details.fetch_offered(), c.offered);
      if (!c.offered) details.fetch();  // does nothing
    }
    settle();
    QCOMPARE(fetched, 0);
  }

  // "Fetching…" while it is asked, then its text and the advisories it
  // names beside those known; or why there is none.
  void aFetchShowsWhatItBrought() {
    struct Case {
      WhatIsNew answer;
      QString news;
      QString advisories;
    };
    const Case cases[] = {
        {{"openssl (3.0.13-1) bookworm-security; urgency=high\n  * CVE-2024-1",
          {"CVE-2024-1"},
          {},
          {}},
         "openssl (3.0.13-1) bookworm-security; urgency=high\n  * CVE-2024-1",
         "Advisories: DSA-5890-1, CVE-2024-1"},
        {{{}, {}, "E: Failed to fetch changelog", {}},
         "What is new could not be fetched: E: Failed to fetch changelog",
         "Advisories: DSA-5890-1"},
        {{}, "Nothing is written about this version.", "Advisories: DSA-5890-1"},
    };
    for (const Case& c : cases) {
      std::vector<std::string> asked;
      PackageDetails details([&c, &asked](Step step, const PendingUpdate& update) {
        asked.push_back(std::string(manager_name(step)) + " " + update.name + " " + update.to);
        return c.answer;
      });
      QSignalSpy changed(&details, &PackageDetails::changed);
      details.select(checks(), Step::Apt, "libssl3");
      details.fetch();
      QVERIFY(details.fetching());
      QCOMPARE(details.news(), QString("Fetching what is new…"));
      QVERIFY(!details.fetch_offered());
      settle();
      QCOMPARE(asked, std::vector<std::string>{"apt libssl3 3.0.13-1"});
      QVERIFY(!details.fetching());
      QCOMPARE(details.news(), c.news);
      QCOMPARE(details.advisories(), c.advisories);
      QCOMPARE(changed.count(), 3);  // selected, fetching, fetched
      // Asked once: selected again, it is there at once.
      details.select(checks(), Step::Apt, "zip");
      details.select(checks(), Step::Apt, "libssl3");
      QCOMPARE(details.news(), c.news);
      QVERIFY(!details.fetch_offered());
    }
  }

  // A slow answer for a package no longer selected never takes the place
  // of the one selected since; it is kept for when it is selected again.
  void aStaleFetchIsNotShown() {
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    PackageDetails details([released](Step, const PendingUpdate& update) {
      if (update.name == "libssl3") released.wait();
      return WhatIsNew{"news of " + update.name, {}, {}, {}};
    });
    details.select(checks(), Step::Apt, "libssl3");
    details.fetch();
    details.select(checks(), Step::Apt, "zip");
    QVERIFY(!details.fetching());
    QVERIFY(details.fetch_offered());
    details.fetch();
    QTRY_COMPARE(details.news(), QString("news of zip"));
    QSignalSpy changed(&details, &PackageDetails::changed);
    release.set_value();
    settle();
    QCOMPARE(details.news(), QString("news of zip"));
    QCOMPARE(changed.count(), 0);
    details.select(checks(), Step::Apt, "libssl3");
    QCOMPARE(details.news(), QString("news of libssl3"));
    // A newer version found by checking again is asked anew.
    std::vector<ManagerCheck> newer = checks();
    newer[0].updates[0].to = "3.0.14-1";
    details.select(newer, Step::Apt, "libssl3");
    QCOMPARE(details.news(), QString());
    QVERIFY(details.fetch_offered());
  }
};

}  // namespace sorvane::gui

QTEST_GUILESS_MAIN(sorvane::gui::PackageDetailsTest)
#include "package_details_test.moc"
