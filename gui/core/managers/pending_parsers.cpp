#include "pending_parsers.hpp"

#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "manager_text.hpp"

namespace sorvane::gui {

namespace {

using std::string_view;
using text::for_each_line;
using text::number;
using text::words;

// --- /proc ---

bool all_zero_hex(string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; });
}

constexpr unsigned ROUTE_UP = 0x1;
constexpr unsigned ROUTE_REJECT = 0x200;

bool usable_route(string_view flags_hex, string_view device) {
  const auto flags = number<unsigned>(flags_hex, 16);
  return flags && (*flags & ROUTE_UP) && !(*flags & ROUTE_REJECT) && device != "lo";
}

}  // namespace

std::optional<pid_t> lock_line_holder(string_view line, const LockedFile& locked) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto found = words(line, 8);
  if (found.size() < 6 || !found[0].ends_with(':') || found[1] == "->") return std::nullopt;
  const string_view file = found[5];
  const size_t first = file.find(':');
  const size_t second = first == string_view::npos ? first : file.find(':', first + 1);
  if (second == string_view::npos) return std::nullopt;
  const auto major_number = number<unsigned>(file.substr(0, first), 16);
  const auto minor_number = number<unsigned>(file.substr(first + 1, second - first - 1), 16);
  const auto file_inode = number<ino_t>(file.substr(second + 1));
  if (!major_number || !minor_number || !file_inode || *file_inode != locked.inode) {
    return std::nullopt;
  }
  const bool on_its_device =
      std::any_of(locked.devices.begin(), locked.devices.end(), [&](dev_t device) {
        return *major_number == major(device) && *minor_number == minor(device);
      });
  if (!on_its_device) return std::nullopt;
  const auto pid = number<pid_t>(found[4]);
  return pid && *pid > 0 ? *pid : 0;  // 0: held, by no process this can name
}

std::optional<pid_t> lock_holder(string_view proc_locks, dev_t device, ino_t inode) {
  const LockedFile locked{{device}, inode};
  std::optional<pid_t> holder;
  for_each_line(proc_locks, [&](string_view line) {
    const auto pid = lock_line_holder(line, locked);
    if (pid) holder = std::max(holder.value_or(0), *pid);
    return !(holder && *holder > 0);
  });
  return holder;
}

std::optional<MountLine> parse_mountinfo_line(string_view line) {
  const auto found = words(line, 5);
  if (found.size() < 5) return std::nullopt;
  const auto id = number<std::uint64_t>(found[0]);
  const size_t colon = found[2].find(':');
  if (!id || colon == string_view::npos) return std::nullopt;
  const auto major_number = number<unsigned>(found[2].substr(0, colon));
  const auto minor_number = number<unsigned>(found[2].substr(colon + 1));
  if (!major_number || !minor_number) return std::nullopt;
  MountLine mount{*id, makedev(*major_number, *minor_number), {}};
  // The kernel writes space, tab, newline and backslash as \ooo.
  const string_view point = found[4];
  for (size_t i = 0; i < point.size(); ++i) {
    const auto code = i + 3 < point.size() && point[i] == '\\'
                          ? number<unsigned>(point.substr(i + 1, 3), 8)
                          : std::nullopt;
    if (code && *code < 256) {
      mount.mount_point += static_cast<char>(*code);
      i += 3;
    } else {
      mount.mount_point += point[i];
    }
  }
  return mount;
}

bool has_default_route(string_view ipv4_routes, string_view ipv6_routes) {
  bool found = false;
  // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
  for_each_line(ipv4_routes, [&](string_view line) {
    const auto f = words(line, 16);
    found = f.size() >= 8 && all_zero_hex(f[1]) && f[1].size() == 8 && all_zero_hex(f[7]) &&
            usable_route(f[3], f[0]);
    return !found;
  });
  // Destination PrefixLength Source PrefixLength NextHop Metric RefCnt Use Flags Device
  for_each_line(ipv6_routes, [&](string_view line) {
    const auto f = words(line, 16);
    found = found || (f.size() == 10 && f[0].size() == 32 && all_zero_hex(f[0]) &&
                      all_zero_hex(f[1]) && usable_route(f[8], f[9]));
    return !found;
  });
  return found;
}

}  // namespace sorvane::gui
