#include "history_mode.hpp"

#include <QCoreApplication>
#include <QTextStream>
#include <optional>
#include <string>

#include "history_text.hpp"
#include "look.hpp"

namespace sorvane::gui {

int run_history(const CommandLine& line) {
  std::optional<std::int64_t> since;
  if (line.since) {
    // A day (from its start, local time), or a day and time.
    std::string when = *line.since;
    if (when.size() == 10) when += " 00:00:00";
    since = local_seconds(when);
    if (!since) {
      QTextStream(stderr) << "sorvane-gui: "
                          << QCoreApplication::translate("CommandLine", "not a date: %1")
                                 .arg(QString::fromStdString(*line.since))
                          << '\n'
                          << help_hint() << '\n';
      return 2;
    }
  }
  auto setup = desktop_setup();
  if (!setup) {
    QTextStream(stderr) << "sorvane-gui: " << setup.error() << '\n';
    return 1;
  }
  const History history = filtered(read_machine_history(setup.value()), since, line.package);
  QTextStream out(stdout);
  if (line.json) {
    out << HistoryText::json(history).toJson(QJsonDocument::Indented);
  } else {
    out << HistoryText::report(history);
  }
  return 0;
}

}  // namespace sorvane::gui
