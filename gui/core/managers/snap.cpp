#include "snap.hpp"

#include <unistd.h>

#include "manager_query.hpp"
#include "snap_history.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::for_each_line;
using text::has_blank;
using text::is_blank;
using text::number;
using text::trim;
using text::words;

constexpr string_view SNAPD_SOCKET = "run/snapd.socket";

bool is_snap_error_line(string_view line) {
  return line.starts_with("error:");
}

// snap: snapd answers for the store, live; without it, `snap refresh`
// fails. snapd asks the store for every answer: not allowed the network,
// snap is not asked.
ManagerCheck check_snap(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Snap;
  check.refreshed_first = true;
  if (::access(under(setup.places, SNAPD_SOCKET).c_str(), F_OK) != 0) {
    return with_problem(check, {Problem::SnapdNotRunning, {}});
  }
  if (!setup.network_allowed) return with_problem(check, {Problem::Metered, {}});
  const auto pending = ask(setup, "snap", {"refresh", "--list"}, setup.network_limit);
  if (!pending) return with_problem(check, pending.error());
  if (pending.value().status != 0) {
    const std::string words = first_words(pending.value().run);
    if (words.find("cannot communicate with server") != std::string::npos) {
      return with_problem(check, {Problem::SnapdNotRunning, words});
    }
    return with_problem(check, failed("snap", pending.value()));
  }
  check.updates = parse_snap_refresh_list(pending.value().run.out);
  check.fetched_for_check = true;
  check.data_age_seconds = 0;
  return check;
}

}  // namespace

std::vector<PendingUpdate> parse_snap_refresh_list(string_view out) {
  std::vector<PendingUpdate> updates;
  bool table = false;
  for_each_line(out, [&](string_view line) {
    const auto found = words(line, 6);
    if (!table) {
      table = found.size() >= 2 && found[0] == "Name" && found[1] == "Version";
      return true;
    }
    // Name Version Rev Size Publisher Notes: Notes is "-" when there are none.
    if (found.size() == 6)
      updates.push_back({std::string{found[0]}, {}, std::string{found[1]}, false});
    return true;
  });
  return updates;
}

const ManagerFacts SNAP = {
    check_snap, {}, {is_snap_error_line, false, {}, nullptr, nullptr}, nullptr, snap_history,
};

}  // namespace sorvane::gui
