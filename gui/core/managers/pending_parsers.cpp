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

namespace sorvane::gui {

namespace {

using std::string_view;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

string_view trim(string_view text) {
  while (!text.empty() && (is_blank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Calls `each` with every line, without its end of line (a "\r" too).
template <typename F>
void for_each_line(string_view out, F&& each) {
  while (!out.empty()) {
    const size_t end = out.find('\n');
    string_view line = out.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!each(line)) return;
    if (end == string_view::npos) return;
    out.remove_prefix(end + 1);
  }
}

// The blank-separated words of a line; no more than `limit` are kept, and
// a line with more gives limit + 1 so that callers can tell.
std::vector<string_view> words(string_view line, size_t limit = 16) {
  std::vector<string_view> found;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    found.push_back(line.substr(start, i - start));
    if (found.size() > limit) break;
  }
  return found;
}

bool has_blank(string_view text) {
  return std::any_of(text.begin(), text.end(), is_blank);
}

template <typename T>
std::optional<T> number(string_view text, int base = 10) {
  T value{};
  const char* const end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

bool add(std::uint64_t& sum, std::uint64_t value) {
  return !__builtin_add_overflow(sum, value, &sum);
}

// --- apt ---

// One origin of an "Inst" line: "[label:][version/]archive".
bool security_origin(string_view origin) {
  const size_t colon = origin.find(':');
  if (colon != string_view::npos && origin.substr(0, colon) == "Debian-Security") return true;
  const size_t slash = origin.rfind('/');
  string_view archive = origin;
  if (slash != string_view::npos)
    archive = origin.substr(slash + 1);
  else if (colon != string_view::npos)
    archive = origin.substr(colon + 1);
  return archive.size() > 9 && archive.ends_with("-security");
}

std::optional<PendingUpdate> apt_inst(string_view line) {
  constexpr string_view INST = "Inst ";
  if (!line.starts_with(INST)) return std::nullopt;
  line.remove_prefix(INST.size());
  PendingUpdate update;
  const size_t name_end = line.find(' ');
  if (name_end == 0 || name_end == string_view::npos) return std::nullopt;
  update.name = line.substr(0, name_end);
  line = line.substr(name_end + 1);
  if (line.starts_with('[')) {
    const size_t close = line.find("] ");
    if (close == string_view::npos) return std::nullopt;
    update.from = line.substr(1, close - 1);
    if (update.from.empty() || has_blank(update.from)) return std::nullopt;
    line = line.substr(close + 2);
  }
  if (!line.starts_with('(')) return std::nullopt;
  line.remove_prefix(1);
  // The arch in brackets closes the parenthesis; a label may hold anything.
  const size_t close = line.find("])");
  if (close == string_view::npos) return std::nullopt;
  line = line.substr(0, close);
  const size_t arch = line.rfind(" [");
  if (arch == string_view::npos) return std::nullopt;
  line = line.substr(0, arch);
  const size_t version_end = line.find(' ');
  update.to = line.substr(0, version_end);
  if (update.to.empty()) return std::nullopt;
  string_view origins =
      version_end == string_view::npos ? string_view{} : line.substr(version_end + 1);
  while (!origins.empty() && !update.security) {
    const size_t comma = origins.find(", ");
    update.security = security_origin(origins.substr(0, comma));
    if (comma == string_view::npos) break;
    origins.remove_prefix(comma + 2);
  }
  return update;
}

// --- dnf ---

constexpr std::array<string_view, 17> RPM_ARCHES = {
    "noarch",  "x86_64",  "i686",        "i586",   "i486",    "i386",
    "aarch64", "armv7hl", "armv7hnl",    "armhfp", "ppc64le", "ppc64",
    "s390x",   "riscv64", "loongarch64", "src",    "athlon"};

bool rpm_arch(string_view arch) {
  return std::find(RPM_ARCHES.begin(), RPM_ARCHES.end(), arch) != RPM_ARCHES.end();
}

// "name.arch" split at its last dot; nullopt without a name or an arch.
std::optional<string_view> name_of_name_arch(string_view name_arch) {
  const size_t dot = name_arch.rfind('.');
  if (dot == 0 || dot == string_view::npos || dot + 1 == name_arch.size()) return std::nullopt;
  return name_arch.substr(0, dot);
}

// The name of "name-[epoch:]version-release.arch", for a known arch.
std::optional<string_view> name_of_nevra(string_view nevra) {
  const size_t dot = nevra.rfind('.');
  if (dot == string_view::npos || !rpm_arch(nevra.substr(dot + 1))) return std::nullopt;
  const string_view nevr = nevra.substr(0, dot);
  const size_t release = nevr.rfind('-');
  if (release == string_view::npos || release + 1 == nevr.size()) return std::nullopt;
  const size_t version = nevr.rfind('-', release == 0 ? 0 : release - 1);
  if (version == string_view::npos || version == 0 || version + 1 == release) return std::nullopt;
  return nevr.substr(0, version);
}

// --- flatpak ---

// "app/org.example.App/x86_64/stable" as "org.example.App//stable".
std::optional<std::string> flatpak_name(string_view ref) {
  std::array<string_view, 4> parts{};
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t slash = ref.find('/');
    if ((slash == string_view::npos) != (i + 1 == parts.size())) return std::nullopt;
    parts.at(i) = ref.substr(0, slash);
    if (parts.at(i).empty() || has_blank(parts.at(i))) return std::nullopt;
    if (slash != string_view::npos) ref.remove_prefix(slash + 1);
  }
  if (parts[0] != "app" && parts[0] != "runtime") return std::nullopt;
  std::string name{parts[1]};
  name.append("//").append(parts[3]);
  return name;
}

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

std::vector<PendingUpdate> parse_apt_simulation(string_view out) {
  std::vector<PendingUpdate> updates;
  for_each_line(out, [&](string_view line) {
    if (auto update = apt_inst(line)) updates.push_back(std::move(*update));
    return true;
  });
  return updates;
}

std::vector<std::string> parse_apt_kept_back(string_view out) {
  std::vector<std::string> names;
  bool in_list = false;
  for_each_line(out, [&](string_view line) {
    if (!in_list) {
      in_list = trim(line) == "The following packages have been kept back:";
      return true;
    }
    if (line.empty() || !is_blank(line.front())) return false;
    const auto found = words(line, line.size());
    names.insert(names.end(), found.begin(), found.end());
    return true;
  });
  return names;
}

std::optional<std::uint64_t> parse_apt_download_size(string_view out) {
  std::uint64_t total = 0;
  bool understood = true;
  for_each_line(out, [&](string_view line) {
    if (trim(line).empty()) return true;
    // 'uri' file size hash: the uri is quoted, the rest are single words.
    const size_t uri_end = line.find("' ", 1);
    if (!line.starts_with('\'') || uri_end == string_view::npos) return understood = false;
    const auto rest = words(line.substr(uri_end + 2), 3);
    const auto size =
        rest.size() >= 2 && rest.size() <= 3 ? number<std::uint64_t>(rest[1]) : std::nullopt;
    understood = size && add(total, *size);
    return understood;
  });
  if (!understood) return std::nullopt;
  return total;
}

std::vector<PendingUpdate> parse_dnf_check_update(string_view out) {
  std::vector<PendingUpdate> updates;
  // A long name (or version) ends its line; the rest follows indented.
  std::vector<string_view> pending;
  for_each_line(out, [&](string_view line) {
    if (trim(line).starts_with("Obsoleting Packages")) return false;
    const auto found = words(line, 3);
    if (found.empty()) {
      pending.clear();
      return true;
    }
    if (!is_blank(line.front()))
      pending.clear();
    else if (pending.empty())
      return true;
    pending.insert(pending.end(), found.begin(), found.end());
    if (pending.size() < 3) return true;
    const auto name = pending.size() == 3 ? name_of_name_arch(pending[0]) : std::nullopt;
    if (name && pending[1].find('-') != string_view::npos)
      updates.push_back({std::string{*name}, {}, std::string{pending[1]}, false});
    pending.clear();
    return true;
  });
  return updates;
}

std::vector<std::string> parse_dnf_security(string_view out) {
  std::vector<std::string> names;
  std::unordered_set<string_view> seen;  // views into `out`, which outlives it
  for_each_line(out, [&](string_view line) {
    for (const string_view word : words(line)) {
      const auto name = name_of_nevra(word);
      if (name && seen.insert(*name).second) names.emplace_back(*name);
    }
    return true;
  });
  return names;
}

std::vector<std::string> parse_dnf_repolist(string_view out) {
  std::vector<std::string> ids;
  for_each_line(out, [&](string_view line) {
    if (line.starts_with("repo id")) return true;
    if (line.empty() || is_blank(line.front())) return true;
    ids.emplace_back(words(line, 1).front());
    return true;
  });
  return ids;
}

std::vector<PendingUpdate> parse_pacman_updates(string_view out) {
  std::vector<PendingUpdate> updates;
  for_each_line(out, [&](string_view line) {
    const auto found = words(line, 4);
    if (found.size() == 4 && found[2] == "->")
      updates.push_back(
          {std::string{found[0]}, std::string{found[1]}, std::string{found[3]}, false});
    return true;
  });
  return updates;
}

std::vector<std::string> parse_pacman_repo_list(string_view out) {
  std::vector<std::string> repos;
  for_each_line(out, [&](string_view line) {
    line = trim(line);
    if (!line.empty() && !has_blank(line)) repos.emplace_back(line);
    return true;
  });
  return repos;
}

std::optional<std::uint64_t> parse_flatpak_size(string_view text) {
  text = trim(text);
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0) return std::nullopt;
  auto whole = number<std::uint64_t>(text.substr(0, digits));
  text.remove_prefix(digits);
  std::uint64_t tenths = 0;
  bool has_tenths = false;
  if (text.starts_with('.') && text.size() >= 2 && text[1] >= '0' && text[1] <= '9') {
    tenths = static_cast<std::uint64_t>(text[1] - '0');
    has_tenths = true;
    text.remove_prefix(2);
  }
  // "bytes" follows a space; a unit follows a no-break space, which the C
  // locale's ASCII shows as "?".
  if (text.starts_with(' ') || text.starts_with('?'))
    text.remove_prefix(1);
  else if (text.starts_with("\xC2\xA0"))
    text.remove_prefix(2);
  else
    return std::nullopt;
  if (!has_tenths && (text == "bytes" || text == "byte")) return whole;
  // g_format_size's decimal units.
  constexpr std::array<std::pair<string_view, std::uint64_t>, 6> UNITS = {{
      {"kB", 1000U},
      {"MB", 1000000U},
      {"GB", 1000000000U},
      {"TB", 1000000000000U},
      {"PB", 1000000000000000U},
      {"EB", 1000000000000000000U},
  }};
  const auto* const unit = std::find_if(UNITS.begin(), UNITS.end(),
                                        [&](const auto& entry) { return entry.first == text; });
  if (unit == UNITS.end() || !whole) return std::nullopt;
  const std::uint64_t scale = unit->second;
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow(*whole, scale, &bytes) || !add(bytes, tenths * (scale / 10)))
    return std::nullopt;
  return bytes;
}

FlatpakPending parse_flatpak_updates(string_view out) {
  FlatpakPending pending;
  pending.download_bytes = 0;
  for_each_line(out, [&](string_view line) {
    std::array<string_view, 4> cells{};
    size_t count = 0;
    for (; count < cells.size(); ++count) {
      const size_t tab = line.find('\t');
      cells.at(count) = line.substr(0, tab);
      if (tab == string_view::npos) break;
      line.remove_prefix(tab + 1);
    }
    if (count + 1 != cells.size()) return true;  // too few cells, or too many
    auto name = flatpak_name(trim(cells[0]));
    const string_view version = trim(cells[1]);
    const string_view commit = trim(cells[2]);
    if (!name || (version.empty() && commit.empty())) return true;
    pending.updates.push_back(
        {std::move(*name), {}, std::string{version.empty() ? commit : version}, false});
    const auto size = parse_flatpak_size(cells[3]);
    if (!size || !pending.download_bytes || !add(*pending.download_bytes, *size))
      pending.download_bytes = std::nullopt;
    return true;
  });
  return pending;
}

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

std::vector<std::string> parse_dpkg_unfinished(const std::vector<string_view>& in_order) {
  return parse_dpkg_left(in_order).packages;
}

DpkgLeft parse_dpkg_left(const std::vector<string_view>& in_order) {
  constexpr std::array<string_view, 5> UNFINISHED = {
      "half-installed", "unpacked", "half-configured", "triggers-awaited", "triggers-pending"};
  std::vector<std::string> seen;  // "name:arch", in the order first seen
  std::vector<bool> unfinished;
  std::vector<bool> broken;  // reinstreq or half-installed
  std::unordered_map<std::string, size_t> index;
  const auto record = [&](string_view name, string_view arch, string_view status) {
    if (name.empty() || status.empty()) return;
    const auto word = words(status, 3);
    if (word.size() != 3) return;
    const bool reinstall = word[1] == "reinstreq" || word[2] == "half-installed";
    const bool left =
        reinstall || std::find(UNFINISHED.begin(), UNFINISHED.end(), word[2]) != UNFINISHED.end();
    std::string key = std::string(name) + ':' + std::string(arch);
    const auto [at, added] = index.try_emplace(key, seen.size());
    if (added) {
      seen.push_back(std::move(key));
      unfinished.push_back(left);
      broken.push_back(reinstall);
    } else {
      unfinished[at->second] = left;
      broken[at->second] = reinstall;
    }
  };
  for (const string_view text : in_order) {
    string_view name;
    string_view arch;
    string_view status;
    const auto field = [](string_view line, string_view key) {
      return line.starts_with(key) ? std::optional(trim(line.substr(key.size()))) : std::nullopt;
    };
    for_each_line(text, [&](string_view line) {
      if (trim(line).empty()) {
        record(name, arch, status);
        name = arch = status = {};
      } else if (const auto package = field(line, "Package:")) {
        name = *package;
      } else if (const auto architecture = field(line, "Architecture:")) {
        arch = *architecture;
      } else if (const auto state = field(line, "Status:")) {
        status = *state;
      }
      return true;
    });
    record(name, arch, status);
  }
  DpkgLeft left;
  for (size_t i = 0; i < seen.size(); ++i) {
    if (unfinished[i]) left.packages.push_back(seen[i].substr(0, seen[i].rfind(':')));
    left.reinstall = left.reinstall || broken[i];
  }
  return left;
}

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

std::vector<Conffile> parse_dpkg_conffiles(string_view status,
                                           const std::vector<std::string>& packages) {
  // Wanted by name, and by architecture when the name carries one.
  std::unordered_map<string_view, std::vector<string_view>> wanted;
  for (const std::string& name : packages) {
    const size_t colon = name.find(':');
    auto& arches = wanted[string_view(name).substr(0, colon)];
    arches.push_back(colon == std::string::npos ? string_view{}
                                                : string_view(name).substr(colon + 1));
  }
  std::vector<Conffile> found;
  string_view package;
  string_view arch;
  std::vector<Conffile> stanza;
  bool in_conffiles = false;
  const auto end_stanza = [&] {
    const auto entry = wanted.find(package);
    const bool is_wanted =
        entry != wanted.end() && std::any_of(entry->second.begin(), entry->second.end(),
                                             [&](string_view a) { return a.empty() || a == arch; });
    if (is_wanted) found.insert(found.end(), stanza.begin(), stanza.end());
    package = arch = {};
    stanza.clear();
    in_conffiles = false;
  };
  for_each_line(status, [&](string_view line) {
    if (trim(line).empty()) {
      end_stanza();
      return true;
    }
    if (is_blank(line.front())) {
      if (!in_conffiles) return true;
      const auto entry = words(line, 3);
      const bool hex = entry.size() == 2 && entry[1].size() == 32 &&
                       std::all_of(entry[1].begin(), entry[1].end(), [](char c) {
                         return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                       });
      if (hex && entry[0].starts_with('/')) {
        stanza.push_back({std::string(entry[0]), std::string(entry[1])});
      }
      return true;
    }
    in_conffiles = line.starts_with("Conffiles:");
    if (line.starts_with("Package:")) package = trim(line.substr(8));
    if (line.starts_with("Architecture:")) arch = trim(line.substr(13));
    return true;
  });
  end_stanza();
  return found;
}

std::vector<Conffile> parse_md5sum_z(string_view out) {
  std::vector<Conffile> sums;
  while (!out.empty()) {
    const size_t end = out.find('\0');
    const string_view record = out.substr(0, end);
    // "md5  path": two spaces (a star for binary mode) between them.
    if (record.size() > 34 && (record.substr(32, 2) == "  " || record.substr(32, 2) == " *")) {
      sums.push_back({std::string(record.substr(34)), std::string(record.substr(0, 32))});
    }
    if (end == string_view::npos) break;
    out.remove_prefix(end + 1);
  }
  return sums;
}

std::vector<InstalledSize> parse_apt_installed_sizes(string_view out) {
  std::vector<InstalledSize> sizes;
  InstalledSize stanza;
  std::optional<std::uint64_t> kib;
  const auto end_stanza = [&] {
    if (!stanza.package.empty() && !stanza.version.empty() && kib) {
      stanza.kib = *kib;
      sizes.push_back(std::move(stanza));
    }
    stanza = {};
    kib.reset();
  };
  for_each_line(out, [&](string_view line) {
    const auto field = [&](string_view key) -> std::optional<string_view> {
      if (!line.starts_with(key)) return std::nullopt;
      return trim(line.substr(key.size()));
    };
    if (trim(line).empty()) {
      end_stanza();
    } else if (const auto name = field("Package:")) {
      stanza.package = *name;
    } else if (const auto version = field("Version:")) {
      stanza.version = *version;
    } else if (const auto arch = field("Architecture:")) {
      stanza.architecture = *arch;
    } else if (const auto size = field("Installed-Size:")) {
      kib = number<std::uint64_t>(*size);
    }
    return true;
  });
  end_stanza();
  return sizes;
}

bool has_default_route(string_view ipv4_routes, string_view ipv6_routes) {
  bool found = false;
  // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
  for_each_line(ipv4_routes, [&](string_view line) {
    const auto f = words(line);
    found = f.size() >= 8 && all_zero_hex(f[1]) && f[1].size() == 8 && all_zero_hex(f[7]) &&
            usable_route(f[3], f[0]);
    return !found;
  });
  // Destination PrefixLength Source PrefixLength NextHop Metric RefCnt Use Flags Device
  for_each_line(ipv6_routes, [&](string_view line) {
    const auto f = words(line);
    found = found || (f.size() == 10 && f[0].size() == 32 && all_zero_hex(f[0]) &&
                      all_zero_hex(f[1]) && usable_route(f[8], f[9]));
    return !found;
  });
  return found;
}

}  // namespace sorvane::gui
