#include "command_line.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace sorvane::gui {
namespace {

CommandLine read(const QStringList& args) {
  return read_command_line(QStringList{QStringLiteral("sorvane-gui")} + args);
}

TEST(CommandLine, EachModeIsReadFromItsOptions) {
  struct Case {
    QStringList args;
    CallMode mode;
    bool json;
  };
  const std::vector<Case> cases = {
      {{}, CallMode::Window, false},
      {{"--help"}, CallMode::Help, false},
      {{"-h"}, CallMode::Help, false},
      {{"--check", "--json", "--help"}, CallMode::Help, false},
      {{"--version"}, CallMode::Version, false},
      {{"-v"}, CallMode::Version, false},
      {{"--check"}, CallMode::Check, false},
      {{"--check", "--json"}, CallMode::Check, true},
      {{"--json", "--check"}, CallMode::Check, true},
      {{"--check", "--notify"}, CallMode::Notify, false},
      {{"--check", "--prometheus"}, CallMode::Prometheus, false},
      {{"--check", "--prometheus", "--output", "/m.prom"}, CallMode::Prometheus, false},
      {{"--check", "--nagios"}, CallMode::Nagios, false},
      {{"--check", "--nagios", "-w", "5", "--critical=1:"}, CallMode::Nagios, false},
      {{"--history"}, CallMode::History, false},
      {{"--history", "--json", "--since", "2026-01-02", "--package", "zip"},
       CallMode::History,
       true},
  };
  for (const Case& c : cases) {
    const CommandLine line = read(c.args);
    EXPECT_EQ(line.mode, c.mode) << c.args.join(' ').toStdString() << ": "
                                 << line.text.toStdString();
    EXPECT_EQ(line.json, c.json) << c.args.join(' ').toStdString();
    EXPECT_FALSE(line.leftovers) << c.args.join(' ').toStdString();
  }
}

TEST(CommandLine, KeepsWhatEachModeIsGiven) {
  const CommandLine prometheus = read({"--check", "--prometheus", "--output", "/m.prom"});
  EXPECT_EQ(prometheus.output, "/m.prom");
  // In order, a threshold given twice too, for nagios_limits to read.
  const CommandLine nagios =
      read({"--check", "--nagios", "-w", "5", "--critical-age=60:", "--warning", "7"});
  EXPECT_TRUE(nagios.nagios);
  EXPECT_EQ(nagios.nagios_options, (std::vector<std::string>{"--warning", "5", "--critical-age",
                                                             "60:", "--warning", "7"}));
  const CommandLine history = read({"--history", "--since", "2026-01-02", "--package", "zip"});
  EXPECT_EQ(history.since, "2026-01-02");
  EXPECT_EQ(history.package, "zip");
}

TEST(CommandLine, RefusesWrongCallsInOneLine) {
  struct Case {
    QStringList args;
    QString text;
    bool nagios;
  };
  const std::vector<Case> cases = {
      {{"--check", "--bogus"}, "unknown option: --bogus", false},
      {{"--json"}, "--json needs --check or --history", false},
      {{"--output", "f"}, "--output needs --check or --history", false},
      {{"--check", "--json", "--json"}, "--json is given twice", false},
      {{"--check", "--json", "--notify"}, "--json cannot be used with --notify", false},
      {{"--check", "--history"}, "--check cannot be used with --history", false},
      {{"--check", "--since", "2026-01-02"}, "--since cannot be used with --check", false},
      {{"--check", "--output", "f"}, "--output cannot be used with --check", false},
      {{"--check", "extra"}, "unexpected argument: extra", false},
      {{"--check", "--prometheus", "--output"}, "Missing value after '--output'.", false},
      {{"--history", "--package", ""}, "--package needs a package name", false},
      {{"--history", "--since", "1", "--since", "2"}, "--since is given twice", false},
      {{"--check", "--nagios", "--bogus"}, "unknown option: --bogus", true},
      {{"--check", "--nagios", "--json"}, "--json cannot be used with --nagios", true},
      {{"--check", "--prometheus", "--nagios"}, "--prometheus cannot be used with --nagios", true},
  };
  for (const Case& c : cases) {
    const CommandLine line = read(c.args);
    EXPECT_EQ(line.mode, CallMode::Wrong) << c.args.join(' ').toStdString();
    EXPECT_EQ(line.text, c.text) << c.args.join(' ').toStdString();
    EXPECT_FALSE(line.text.contains('\n'));
    EXPECT_EQ(line.nagios, c.nagios) << c.args.join(' ').toStdString();
  }
}

// Qt's options are not Sorvane's: they go to the window, whose
// QApplication takes them before the rest is read again.
TEST(CommandLine, LeavesQtsOptionsToTheWindow) {
  for (const QStringList& args : {QStringList{"-platform", "offscreen"}, QStringList{"-reverse"},
                                  QStringList{"-style", "fusion", "-display", ":1"}}) {
    const CommandLine line = read(args);
    EXPECT_EQ(line.mode, CallMode::Window) << args.join(' ').toStdString();
    EXPECT_TRUE(line.leftovers) << args.join(' ').toStdString();
  }
  EXPECT_EQ(read({"-platform", "offscreen"}).text, "unknown option: -platform");
  // Refused only once QApplication has taken its own.
  const CommandLine bogus = read({"--bogus"});
  EXPECT_EQ(bogus.mode, CallMode::Window);
  EXPECT_TRUE(bogus.leftovers);
  EXPECT_EQ(bogus.text, "unknown option: --bogus");
  // With a mode, they are as wrong as any other.
  EXPECT_EQ(read({"--check", "-reverse"}).mode, CallMode::Wrong);
}

TEST(CommandLine, HelpListsEveryOption) {
  int argc = 1;
  char name[] = "sorvane-gui";
  char* argv[] = {name, nullptr};
  const QCoreApplication app(argc, argv);
  const QString help = read({"--help"}).text;
  for (const char* option :
       {"--help", "--version", "--check", "--json", "--notify", "--prometheus", "--output <FILE>",
        "--nagios", "--warning <RANGE>", "--critical <RANGE>", "--warning-age <RANGE>",
        "--critical-age <RANGE>", "--history", "--since <YYYY-MM-DD>", "--package <NAME>"}) {
    EXPECT_TRUE(help.contains(QLatin1String("  ") + QLatin1String(option)) ||
                help.contains(QLatin1String(", ") + QLatin1String(option)))
        << option << "\n"
        << help.toStdString();
  }
  EXPECT_TRUE(help.startsWith("Usage: sorvane-gui")) << help.toStdString();
  EXPECT_TRUE(version_line().startsWith("sorvane-gui ")) << version_line().toStdString();
}

}  // namespace
}  // namespace sorvane::gui
