// The history as scripts read it: the JSON's keys and fixed values, each
// entry's packages, Sorvane Update's own runs and the sources unread.
#include "history_text.hpp"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <cstdlib>

namespace sorvane::gui {
namespace {

History sample() {
  History history;
  history.entries = {
      {1796873057,
       1796873058,
       Step::Apt,
       "apt-get upgrade",
       Ended::Succeeded,
       {{"sorvane-hello", "1.0", "1.1", Change::Upgraded},
        {"sorvane-extra", "", "2.0", Change::Installed}},
       0,
       SorvaneRun{"/home/sam/.local/state/sorvane/sorvane-update-x/update.log",
                  Outcome::SuccessWithWarnings, 1, true}},
      {1796873000, 1796873000, Step::Dnf, "", Ended::Failed, {}, 3, {}},
  };
  history.unreadable = {{"/var/log/apt/history.log", "Permission denied"}};
  return history;
}

TEST(HistoryJson, KeysAndFixedValues) {
  ::setenv("TZ", "UTC", 1);
  const QJsonObject root = HistoryText::json(sample()).object();
  const QJsonArray entries = root[QStringLiteral("entries")].toArray();
  ASSERT_EQ(entries.size(), 2);
  const QJsonObject first = entries[0].toObject();
  EXPECT_EQ(first[QStringLiteral("time")].toString(), QStringLiteral("2026-12-10T03:24:17Z"));
  EXPECT_EQ(first[QStringLiteral("manager")].toString(), QStringLiteral("apt"));
  EXPECT_EQ(first[QStringLiteral("by")].toString(), QStringLiteral("sorvane"));
  EXPECT_EQ(first[QStringLiteral("outcome")].toString(), QStringLiteral("succeeded"));
  const QJsonArray packages = first[QStringLiteral("packages")].toArray();
  ASSERT_EQ(packages.size(), 2);
  EXPECT_EQ(packages[0].toObject(),
            (QJsonObject{{QStringLiteral("name"), QStringLiteral("sorvane-hello")},
                         {QStringLiteral("from"), QStringLiteral("1.0")},
                         {QStringLiteral("to"), QStringLiteral("1.1")},
                         {QStringLiteral("action"), QStringLiteral("upgraded")}}));
  EXPECT_EQ(packages[1].toObject()[QStringLiteral("action")].toString(),
            QStringLiteral("installed"));
  const QJsonObject sorvane = first[QStringLiteral("sorvane")].toObject();
  EXPECT_EQ(sorvane[QStringLiteral("outcome")].toString(), QStringLiteral("warnings"));
  EXPECT_EQ(sorvane[QStringLiteral("kept_configs")].toInt(), 1);
  EXPECT_TRUE(sorvane[QStringLiteral("restarted")].toBool());
  const QJsonObject second = entries[1].toObject();
  EXPECT_EQ(second[QStringLiteral("by")].toString(), QStringLiteral("other"));
  EXPECT_EQ(second[QStringLiteral("outcome")].toString(), QStringLiteral("failed"));
  EXPECT_EQ(second[QStringLiteral("unlisted")].toInt(), 3);
  EXPECT_FALSE(second.contains(QStringLiteral("sorvane")));
  EXPECT_EQ(root[QStringLiteral("unreadable")].toArray(),
            (QJsonArray{
                QJsonObject{{QStringLiteral("source"), QStringLiteral("/var/log/apt/history.log")},
                            {QStringLiteral("reason"), QStringLiteral("Permission denied")}}}));
}

TEST(HistoryReport, EachEntryThenItsPackagesThenTheUnreadSources) {
  ::setenv("TZ", "UTC", 1);
  const QString report = HistoryText::report(sample());
  const QStringList lines = report.split(QLatin1Char('\n'));
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("2026-12-10 03:24  apt  1 upgraded, 1 installed")))
      << lines[0].toStdString();
  EXPECT_TRUE(lines.contains(QStringLiteral("    sorvane-hello upgraded 1.0 → 1.1")));
  EXPECT_TRUE(report.contains(QStringLiteral("3 package(s) changed")) ||
              report.contains(QStringLiteral("3 packages changed")));
  EXPECT_TRUE(
      lines.contains(QStringLiteral("Could not read /var/log/apt/history.log: Permission denied")));
}

}  // namespace
}  // namespace sorvane::gui
