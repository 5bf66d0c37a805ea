// The history as scripts read it: the JSON's keys and fixed values, each
// entry's packages, Sorvane Update's own runs and the sources unread.
#include "history_text.hpp"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <cstdlib>
#include <string>
#include <vector>

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
// Outside bytes in every field the report prints: a flatpak row from the
// journal, a dnf header, the store's words. None may reach the terminal as
// a control: the clipboard (OSC 52), a window title, a cleared screen, a
// line faked with cursor-up and a carriage return, reordered text.
struct HostileField {
  const char* name;
  void (*plant)(History&, const std::string&);
};

TEST(HistoryReport, OutsideBytesNeverActOnTheTerminal) {
  ::setenv("TZ", "UTC", 1);
  const std::vector<std::string> attacks = {
      "\x1b]52;c;aWQgLXUK\x07",        // set the clipboard
      "\x1b]0;root@host: ~\x1b\\",     // set the window title
      "\x1b[2J\x1b[H",                 // clear the screen
      "ok\x1b[1A\r2026-12-10 apt ok",  // overwrite the line above
      "\xc2\x9b"
      "2J",  // C1 CSI
      "\xe2\x80\xae"
      "gpj.exe",      // right-to-left override
      "a\rb\bc\x7f",  // carriage return, backspace, DEL
  };
  const std::vector<HostileField> fields = {
      {"command", [](History& h, const std::string& s) { h.entries[0].command = s; }},
      {"name", [](History& h, const std::string& s) { h.entries[0].packages[0].name = s; }},
      {"from", [](History& h, const std::string& s) { h.entries[0].packages[0].from = s; }},
      {"to", [](History& h, const std::string& s) { h.entries[0].packages[1].to = s; }},
      {"log", [](History& h, const std::string& s) { h.entries[0].sorvane->log_path = s; }},
      {"source", [](History& h, const std::string& s) { h.unreadable[0].source = s; }},
      {"reason", [](History& h, const std::string& s) { h.unreadable[0].reason = s; }},
  };
  for (const HostileField& field : fields) {
    for (const std::string& attack : attacks) {
      History history = sample();
      field.plant(history, attack);
      const QString report = HistoryText::report(history);
      for (const QChar c : report) {
        const char16_t u = c.unicode();
        const bool control = (u < 0x20 && u != '\n') || (u >= 0x7f && u <= 0x9f);
        const bool reorders = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) ||
                              u == 0x2028 || u == 0x2029;
        EXPECT_FALSE(control || reorders) << field.name << ": U+" << std::hex << static_cast<int>(u)
                                          << " in " << report.toStdString();
      }
    }
  }
  History history = sample();
  history.entries[0].command = "\x1b]52;c;aWQK\x07";
  EXPECT_TRUE(HistoryText::report(history).contains(QStringLiteral("\\x1b]52;c;aWQK\\x07")))
      << "the escape is shown, not hidden";
}

}  // namespace sorvane::gui
