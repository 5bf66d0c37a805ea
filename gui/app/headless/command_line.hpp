// sorvane-gui's command line, read in one place: every option it takes,
// with its words for --help, and which mode they ask for.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

enum class CallMode {
  Window,      // no option of Sorvane's: Qt's own may follow
  Help,        // --help: the option list on stdout, 0
  Version,     // --version
  Check,       // --check [--json]
  Notify,      // --check --notify
  Prometheus,  // --check --prometheus [--output FILE]
  Nagios,      // --check --nagios [thresholds]
  History,     // --history [--json] [--since DATE] [--package NAME]
  Wrong,       // exit 2 (3 for --nagios, as Nagios reads it)
};

struct CommandLine {
  CallMode mode = CallMode::Window;
  bool json = false;
  std::optional<std::string> output;  // --prometheus --output FILE
  // The thresholds as given, in order, for nagios_limits.
  std::vector<std::string> nagios_options;
  std::optional<std::string> since;  // --history --since, as given
  std::string package;
  // For Wrong: one line naming what is wrong; for Help: the option list.
  QString text;
  // For Wrong: it was a --check --nagios call, which answers as a plugin.
  bool nagios = false;
  // Arguments that are no option of Sorvane's (Qt's own, before
  // QApplication has taken them): only the window may have them.
  bool leftovers = false;
};

// `arguments` with the program's name first, as QCoreApplication::arguments().
// The words are translated once a Translations is installed.
CommandLine read_command_line(const QStringList& arguments);

// "sorvane-gui 0.1.0"
QString version_line();
// What follows a wrong command line's error on stderr.
QString help_hint();

// The arguments of main() as QStringList, before any QCoreApplication.
QStringList arguments_of(int argc, char* argv[]);

}  // namespace sorvane::gui
