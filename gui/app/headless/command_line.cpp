#include "command_line.hpp"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <array>
#include <utility>

namespace sorvane::gui {
namespace {

// Each mode an option may be given in.
enum Modes : unsigned {
  CHECK = 1U << 0U,
  NOTIFY = 1U << 1U,
  PROMETHEUS = 1U << 2U,
  NAGIOS = 1U << 3U,
  HISTORY = 1U << 4U,
  ANY = ~0U,
};

struct Declared {
  const char* name;
  const char* short_name;  // or nullptr
  const char* value;       // nullptr: a flag
  const char* description;
  unsigned modes;
};

// Every option sorvane-gui takes (the update's monitor aside, which the
// window alone starts): the one list --help shows and the parse reads.
constexpr std::array<Declared, 15> OPTIONS = {{
    {"help", "h", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Show these options and exit."), ANY},
    {"version", "v", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Show the version and exit."), ANY},
    {"check", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine",
                       "Check for updates without a window. Exit status: 0 up to date, "
                       "100 updates pending, 101 only held-back security updates, 1 the "
                       "check failed."),
     CHECK | NOTIFY | PROMETHEUS | NAGIOS},
    {"json", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "With --check or --history: write JSON."), CHECK | HISTORY},
    {"notify", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --check: show a desktop notice when updates are waiting."),
     NOTIFY},
    {"prometheus", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "With --check: write the check as Prometheus metrics."),
     PROMETHEUS},
    {"output", nullptr, QT_TRANSLATE_NOOP("CommandLine", "FILE"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --prometheus: write the metrics to FILE (for the node "
                       "exporter's textfile collector) rather than to stdout."),
     PROMETHEUS},
    {"nagios", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "With --check: answer as a Nagios or Icinga plugin."),
     NAGIOS},
    {"warning", "w", QT_TRANSLATE_NOOP("CommandLine", "RANGE"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --nagios: warn when the pending updates are in RANGE (default 0)."),
     NAGIOS},
    {"critical", "c", QT_TRANSLATE_NOOP("CommandLine", "RANGE"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --nagios: critical when the security updates are in RANGE "
                       "(default 0)."),
     NAGIOS},
    {"warning-age", nullptr, QT_TRANSLATE_NOOP("CommandLine", "RANGE"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --nagios: warn when the package lists' age in seconds is in RANGE."),
     NAGIOS},
    {"critical-age", nullptr, QT_TRANSLATE_NOOP("CommandLine", "RANGE"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "With --nagios: critical when the package lists' age in seconds is in "
                       "RANGE."),
     NAGIOS},
    {"history", nullptr, nullptr,
     QT_TRANSLATE_NOOP("CommandLine",
                       "List every package manager's past transactions, newest first."),
     HISTORY},
    {"since", nullptr, QT_TRANSLATE_NOOP("CommandLine", "YYYY-MM-DD"),
     QT_TRANSLATE_NOOP("CommandLine", "With --history: only transactions from that day on."),
     HISTORY},
    {"package", nullptr, QT_TRANSLATE_NOOP("CommandLine", "NAME"),
     QT_TRANSLATE_NOOP("CommandLine", "With --history: only transactions that touched NAME."),
     HISTORY},
}};

QString translated(const char* text) {
  return QCoreApplication::translate("CommandLine", text);
}

QString dashed(const QString& name) {
  return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The declared option a found name ("w", "warning") is.
const Declared* declared(const QString& found) {
  for (const Declared& option : OPTIONS) {
    if (found == QLatin1String(option.name) ||
        (option.short_name != nullptr && found == QLatin1String(option.short_name))) {
      return &option;
    }
  }
  return nullptr;
}

// As the user wrote it: "-platform" rather than "--platform".
QString as_given(const QStringList& arguments, const QString& name) {
  for (const QString& argument : arguments.mid(1)) {
    QString bare = argument.section(QLatin1Char('='), 0, 0);
    if (bare == QLatin1Char('-') + name || bare == QStringLiteral("--") + name) return bare;
  }
  return dashed(name);
}

QString help_text(const QCommandLineParser& parser) {
  // Qt's first line names the executable by its path and no mode.
  const QString options = parser.helpText().section(QLatin1Char('\n'), 1);
  const QString usage = translated(QT_TRANSLATE_NOOP("CommandLine", "Usage:"));
  const QString qt_options = translated(QT_TRANSLATE_NOOP("CommandLine", "Qt's options"));
  const QStringList calls = {
      QStringLiteral("sorvane-gui [%1: -platform NAME, -style NAME, -reverse, ...]")
          .arg(qt_options),
      QStringLiteral("sorvane-gui --check [--json | --notify]"),
      QStringLiteral("sorvane-gui --check --prometheus [--output FILE]"),
      QStringLiteral("sorvane-gui --check --nagios [--warning RANGE] [--critical RANGE]"),
      QStringLiteral("            [--warning-age RANGE] [--critical-age RANGE]"),
      QStringLiteral("sorvane-gui --history [--json] [--since YYYY-MM-DD] [--package NAME]"),
      QStringLiteral("sorvane-gui --help | --version"),
  };
  const QString indent(usage.size() + 1, QLatin1Char(' '));
  return usage + QLatin1Char(' ') + calls.join(QLatin1Char('\n') + indent) + QLatin1Char('\n') +
         options;
}

CommandLine wrong(CommandLine line, const QString& text) {
  line.mode = CallMode::Wrong;
  line.text = text;
  return line;
}

}  // namespace

CommandLine read_command_line(const QStringList& arguments) {
  QCommandLineParser parser;
  // -platform, -style: one word each, as Qt reads them, not -p -l -a ...
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(translated(QT_TRANSLATE_NOOP(
      "CommandLine",
      "Sorvane Update: the window that updates every package manager at once, and the same "
      "check without a window, for scripts, notices and monitoring.")));
  for (const Declared& option : OPTIONS) {
    QStringList names;
    if (option.short_name != nullptr) names << QLatin1String(option.short_name);
    names << QLatin1String(option.name);
    parser.addOption(
        option.value == nullptr
            ? QCommandLineOption(names, translated(option.description))
            : QCommandLineOption(names, translated(option.description), translated(option.value)));
  }
  const bool parsed = parser.parse(arguments);
  const QStringList found = parser.optionNames();
  const auto is_set = [&parser](const char* name) {
    return parser.isSet(QString::fromLatin1(name));
  };
  CommandLine line;
  line.nagios = is_set("check") && is_set("nagios");
  QString error;
  if (!parser.unknownOptionNames().isEmpty()) {
    error = translated(QT_TRANSLATE_NOOP("CommandLine", "unknown option: %1"))
                .arg(as_given(arguments, parser.unknownOptionNames().constFirst()));
  } else if (!parsed) {
    error = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    error = translated(QT_TRANSLATE_NOOP("CommandLine", "unexpected argument: %1"))
                .arg(parser.positionalArguments().constFirst());
  }
  if (found.isEmpty()) {
    // Only the window may take what Sorvane does not know: Qt's options,
    // which QApplication removes before this is read again.
    line.leftovers = !error.isEmpty();
    line.text = error;
    return line;
  }
  if (!error.isEmpty()) return wrong(line, error);
  if (is_set("help")) {
    line.mode = CallMode::Help;
    if (QCoreApplication::instance() != nullptr) line.text = help_text(parser);
    return line;
  }
  if (is_set("version")) {
    line.mode = CallMode::Version;
    return line;
  }

  // The mode, from the option that names it; every other one found must
  // belong to it.
  const char* named_by = nullptr;
  unsigned mode = 0;
  if (is_set("history")) {
    named_by = "history";
    mode = HISTORY;
    line.mode = CallMode::History;
  } else if (is_set("check")) {
    named_by = "check";
    mode = CHECK;
    line.mode = CallMode::Check;
    constexpr std::array<std::pair<const char*, CallMode>, 3> KINDS = {{
        {"nagios", CallMode::Nagios},
        {"prometheus", CallMode::Prometheus},
        {"notify", CallMode::Notify},
    }};
    for (const auto& [name, kind] : KINDS) {
      if (is_set(name)) {
        named_by = name;
        mode = declared(QLatin1String(name))->modes;
        line.mode = kind;
        break;
      }
    }
  } else {
    return wrong(line, translated(QT_TRANSLATE_NOOP("CommandLine", "%1 needs --check or --history"))
                           .arg(dashed(QLatin1String(declared(found.constFirst())->name))));
  }
  std::array<int, OPTIONS.size()> times{};
  for (const QString& name : found) {
    const Declared* option = declared(name);
    const auto index = static_cast<size_t>(option - OPTIONS.data());
    if ((option->modes & mode) == 0) {
      return wrong(line,
                   translated(QT_TRANSLATE_NOOP("CommandLine", "%1 cannot be used with %2"))
                       .arg(dashed(QLatin1String(option->name)), dashed(QLatin1String(named_by))));
    }
    // A threshold given again replaces the first, as plugins do.
    if (option->modes == NAGIOS && option->value != nullptr) {
      const QStringList values = parser.values(QLatin1String(option->name));
      line.nagios_options.push_back("--" + std::string(option->name));
      line.nagios_options.push_back(values.at(times[index]).toStdString());
    } else if (times[index] > 0) {
      return wrong(line, translated(QT_TRANSLATE_NOOP("CommandLine", "%1 is given twice"))
                             .arg(dashed(QLatin1String(option->name))));
    }
    ++times[index];
  }
  line.json = is_set("json");
  if (is_set("output")) line.output = parser.value(QStringLiteral("output")).toStdString();
  if (is_set("since")) line.since = parser.value(QStringLiteral("since")).toStdString();
  if (is_set("package")) {
    line.package = parser.value(QStringLiteral("package")).toStdString();
    if (line.package.empty()) {
      return wrong(line,
                   translated(QT_TRANSLATE_NOOP("CommandLine", "--package needs a package name")));
    }
  }
  return line;
}

QString version_line() {
  return QStringLiteral("sorvane-gui " SORVANE_VERSION);
}

QString help_hint() {
  return translated(QT_TRANSLATE_NOOP("CommandLine", "Try 'sorvane-gui --help' for the options."));
}

QStringList arguments_of(int argc, char* argv[]) {
  QStringList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace sorvane::gui
