#include "history_mode.hpp"

#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>
#include <optional>
#include <string>

#include "history_text.hpp"
#include "translations.hpp"

namespace sorvane::gui {
namespace {

constexpr std::string_view USAGE =
    "usage: sorvane-gui --history [--json] [--since YYYY-MM-DD] [--package NAME]\n";

struct HistoryCall {
  bool json = false;
  std::optional<std::int64_t> since;
  std::string package;
};

// The one reading of its command line; nothing when it is wrong.
std::optional<HistoryCall> parse(const std::vector<std::string_view>& args) {
  HistoryCall call;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--json" && !call.json) {
      call.json = true;
    } else if (arg == "--since" && has_value && !call.since) {
      // A day (from its start, local time), or a day and time.
      std::string when(args[++i]);
      if (when.size() == 10) when += " 00:00:00";
      call.since = local_seconds(when);
      if (!call.since) return std::nullopt;
    } else if (arg == "--package" && has_value && call.package.empty() && !args[i + 1].empty()) {
      call.package = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return call;
}

}  // namespace

bool is_history_call(const std::vector<std::string_view>& args) {
  return !args.empty() && args[0] == "--history";
}

int run_history(int argc, char* argv[]) {
  const auto call = parse({argv + 1, argv + argc});
  if (!call) {
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, USAGE.data(), USAGE.size());
    return 2;
  }
  const QCoreApplication app(argc, argv);
  const Translations translations;
  auto setup = desktop_setup();
  if (!setup) {
    QTextStream(stderr) << "sorvane-gui: " << setup.error() << '\n';
    return 1;
  }
  const History history = filtered(read_machine_history(setup.value()), call->since, call->package);
  QTextStream out(stdout);
  if (call->json) {
    out << HistoryText::json(history).toJson(QJsonDocument::Indented);
  } else {
    out << HistoryText::report(history);
  }
  return 0;
}

}  // namespace sorvane::gui
