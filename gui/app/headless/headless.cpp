#include "headless.hpp"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QJsonObject>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <ctime>
#include <string_view>
#include <vector>

#include "check_text.hpp"
#include "command_line.hpp"
#include "fleet_mode.hpp"
#include "history_mode.hpp"
#include "installation.hpp"
#include "look.hpp"
#include "metered_skip.hpp"
#include "notifier.hpp"
#include "own_scope.hpp"
#include "power_watch.hpp"
#include "system_words.hpp"
#include "translations.hpp"
#include "update_end.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace sorvane::gui {
namespace {

void say(std::string_view text) {
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

// The check with no display: what is pending, and the exit status scripts
// read (0 up to date, 100 pending, 1 a check failed).
int check_headless(const UpdateSetup& setup, bool json) {
  const Looked looked = look_for_update(setup, false);
  QTextStream out(stdout);
  if (looked.state == UpdateState::NothingFound) {
    if (json) {
      out << CheckText::json({}).toJson(QJsonDocument::Indented);
    } else {
      out << sorvane::gui::UpdateWindow::tr("No supported package managers found") << '\n';
    }
    return 0;
  }
  if (looked.state != UpdateState::Ready) {
    QTextStream(stderr) << "sorvane-gui: " << looked.message << '\n';
    return 1;
  }
  const auto checks = check_all(looked.steps, setup.check);
  const PowerAndNetwork power = read_power_and_network(QDBusConnection::systemBus());
  const std::int64_t now = ::time(nullptr);
  // Offline too, as the window would refuse.
  if (json) {
    QJsonObject whole = CheckText::json(checks, looked.online).object();
    whole.insert(QStringLiteral("power"), SystemWords::power_json(power));
    whole.insert(QStringLiteral("metered"), power.metered);
    whole.insert(QStringLiteral("support"), SystemWords::support_json(looked.support, now));
    out << QJsonDocument(whole).toJson(QJsonDocument::Indented);
  } else {
    out << CheckText::report(checks, looked.online);
    // One line, whatever the window was told to hide: a terminal has no
    // memory of its own, and a script reads the same facts as JSON.
    if (const auto note =
            looked.support ? SystemWords::support(*looked.support, now) : std::nullopt) {
      out << CheckText::terminal_line(SystemWords::support_line(*note)) << '\n';
    }
  }
  return check_exit_status(checks, looked.online);
}

// `sorvane-gui --check --notify`: its exit status, or (on "Open Sorvane
// Update") never returns: the window's own executable takes its place.
int notify_headless(const UpdateSetup& setup) {
  const NoticeSetup notice{desktop_notice_places()};
  // A metered connection is not used for a check no one asked for; the
  // window says so when it next opens.
  if (notice_wanted(notice.places.settings) && metered_connection(QDBusConnection::systemBus())) {
    note_metered_skip(metered_skip_path(notice.places));
    QTextStream(stdout) << CheckText::terminal_line(SystemWords::notice_skipped()) << '\n';
    return 0;
  }
  const NoticeRun run = run_notice(QDBusConnection::sessionBus(), notice,
                                   [&setup]() -> Result<std::vector<ManagerCheck>, QString> {
                                     const Looked looked = look_for_update(setup, false);
                                     if (looked.state == UpdateState::NothingFound) {
                                       return std::vector<ManagerCheck>{};
                                     }
                                     if (looked.state != UpdateState::Ready) return looked.message;
                                     return check_all(looked.steps, setup.check);
                                   });
  {
    QTextStream out(stdout);
    // One row per manager, as --check starts (a daily journal needs no
    // package list), and one line about the notice.
    for (const ManagerCheck& check : run.checks)
      out << CheckText::terminal_line(CheckText::summary(check)) << '\n';
    if (!run.detail.isEmpty() && run.outcome == NoticeOutcome::CheckFailed) {
      QTextStream(stderr) << "sorvane-gui: " << run.detail << '\n';
    }
    out << CheckText::terminal_line(Notifier::line(run)) << '\n';
  }
  if (run.outcome == NoticeOutcome::Opened) {
    // Out of this timer's unit first: the update the window starts must
    // outlive the window, and the unit ends with it.
    const ScopeMove scope = move_to_own_scope(QDBusConnection::sessionBus());
    if (scope.outcome != ScopeOutcome::Moved && scope.outcome != ScopeOutcome::NoUserManager) {
      QTextStream(stderr) << "sorvane-gui: " << scope.unit << ": "
                          << CheckText::terminal_line(scope.detail) << '\n';
    }
    // The window takes this process's place: nothing is left behind to own.
    if (const auto self = own_executable()) {
      std::string path = self.value();
      const std::array<char*, 2> window = {path.data(), nullptr};
      ::execv(path.c_str(), window.data());
    }
    QTextStream(stderr) << "sorvane-gui: " << Notifier::tr("Sorvane Update could not be opened.")
                        << '\n';
  }
  return notice_facts(run.outcome).exit_status;
}

// A wrong command line: what is wrong, where to look, and 2.
int refuse_arguments(const CommandLine& line) {
  QTextStream(stderr) << "sorvane-gui: " << line.text << '\n' << help_hint() << '\n';
  return 2;
}

// Whether QApplication could start at all: with no display, what it does
// not take is refused here, with 2, rather than ending in Qt's abort.
bool display_named(const QStringList& arguments) {
  constexpr std::array<const char*, 3> DISPLAYS = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  const QStringList given = arguments.mid(1);
  return std::ranges::any_of(DISPLAYS,
                             [](const char* name) { return !qEnvironmentVariableIsEmpty(name); }) ||
         std::ranges::any_of(given, [](const QString& argument) {
           const QString bare = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
           return bare == QStringLiteral("platform") || bare == QStringLiteral("display");
         });
}

}  // namespace

std::optional<int> run_headless(int argc, char* argv[]) {
  // The update's monitor, started by a window: no window of its own. It
  // runs what it is handed on descriptor 3 with whoever started it, so
  // as root it gives nothing that root does not have.
  if (is_monitor_call(argc, argv)) return run_update_monitor(argc, argv);
  if (::geteuid() == 0) {
    // Run as root, it would hand root's environment to the update and ask
    // for no password: refuse before any window exists.
    say("sorvane-gui: Sorvane Update runs as you, not as root; it asks for your password "
        "when it needs it.\n");
    return 1;
  }
  const QStringList arguments = arguments_of(argc, argv);
  // Read once to choose: nothing of Sorvane's is the window, whose
  // QApplication takes Qt's options before the rest is read again.
  CommandLine line = read_command_line(arguments);
  if (line.mode == CallMode::Window && (!line.leftovers || display_named(arguments))) {
    return std::nullopt;
  }
  const QCoreApplication app(argc, argv);
  // The fleet engines read one fixed form; everything else, people too:
  // in their language, all but the JSON keys.
  if (line.mode == CallMode::Nagios || line.mode == CallMode::Prometheus ||
      (line.mode == CallMode::Wrong && line.nagios)) {
    return run_fleet_check(line);
  }
  const Translations translations;
  line = read_command_line(arguments);
  switch (line.mode) {
    case CallMode::Help: QTextStream(stdout) << line.text; return 0;
    case CallMode::Version: QTextStream(stdout) << version_line() << '\n'; return 0;
    case CallMode::History: return run_history(line);
    case CallMode::Check:
    case CallMode::Notify: break;
    default: return refuse_arguments(line);
  }
  auto setup = desktop_setup();
  if (!setup) {
    QTextStream(stderr) << "sorvane-gui: " << setup.error() << '\n';
    return 1;
  }
  if (line.mode == CallMode::Notify) return notify_headless(setup.value());
  return check_headless(setup.value(), line.json);
}

std::optional<int> wrong_window_call(const QStringList& arguments) {
  const CommandLine line = read_command_line(arguments);
  if (line.mode == CallMode::Window && !line.leftovers) return std::nullopt;
  return refuse_arguments(line);
}

}  // namespace sorvane::gui
