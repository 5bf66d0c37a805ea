#include "update_progress.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <system_error>

#include "files.hpp"
#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

constexpr string_view DPKG_LOG = "var/log/dpkg.log";
constexpr string_view PACMAN_LOG = "var/log/pacman.log";
constexpr string_view APT_CACHE = "var/cache/apt/archives";
constexpr string_view PACMAN_CACHE = "var/cache/pacman/pkg";
constexpr string_view SYSTEM_FLATPAK = "var/lib/flatpak";
constexpr string_view USER_FLATPAK = ".local/share/flatpak";
// What one poll reads of a log at most: an update writes a few lines per
// package, and the rest waits for the next poll.
constexpr size_t MAX_LOG_READ = size_t{4} * 1024 * 1024;
// Units each package counts for, by how its manager is followed.
constexpr size_t APT_UNITS = 3;     // downloaded, unpacked, installed
constexpr size_t PACMAN_UNITS = 2;  // downloaded, installed
constexpr size_t DNF_UNITS = 2;     // the download counter, the transaction counter

std::vector<string_view> words(string_view line) {
  std::vector<string_view> found;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) found.push_back(line.substr(start, i - start));
  }
  return found;
}

// Each line of `log` whose time (from `time_at`, in dpkg's form) lies
// between `from` and `to`, passed to `take` without its time.
template <typename Take>
void lines_between(string_view log, string_view from, string_view to, size_t time_at, Take take) {
  while (!log.empty()) {
    const size_t end = std::min(log.find('\n'), log.size());
    const string_view line = log.substr(0, end);
    log.remove_prefix(std::min(end + 1, log.size()));
    if (line.size() < time_at + LOG_TIME_LENGTH) continue;
    std::string when(line.substr(time_at, LOG_TIME_LENGTH));
    std::replace(when.begin(), when.end(), 'T', ' ');  // pacman's ISO 8601
    if (when.compare(from) >= 0 && when.compare(to) <= 0)
      take(line.substr(time_at + LOG_TIME_LENGTH));
  }
}

std::optional<size_t> number(string_view text) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "n/m" with 0 < n <= m.
std::optional<std::pair<size_t, size_t>> fraction(string_view text) {
  const size_t slash = text.find('/');
  if (slash == string_view::npos) return std::nullopt;
  const auto at = number(text.substr(0, slash));
  const auto of = number(text.substr(slash + 1));
  if (!at || !of || *at == 0 || *at > *of) return std::nullopt;
  return std::pair{*at, *of};
}

// A version as it appears in a file name: apt writes an epoch's ":" as "%3a".
std::string apt_file_version(string_view version) {
  std::string text;
  for (const char c : version) {
    if (c == ':') {
      text += "%3a";
    } else {
      text += c;
    }
  }
  return text;
}

string_view without_epoch(string_view version) {
  const size_t colon = version.find(':');
  return colon == string_view::npos ? version : version.substr(colon + 1);
}

// dnf's "name-version-release.arch" (maybe ending ".rpm") for this package.
bool is_nevra_of(string_view word, string_view name, string_view to) {
  if (!word.starts_with(name) || word.size() <= name.size() || word[name.size()] != '-') {
    return false;
  }
  return word.substr(name.size() + 1).starts_with(without_epoch(to));
}

std::vector<std::string> file_names(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(dir, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    names.push_back(entry->path().filename());
  }
  return names;
}

std::string link_target(const std::string& path) {
  constexpr size_t MAX_DEPLOYMENT = 512;
  auto target = read_link(path, MAX_DEPLOYMENT);
  return target ? std::move(target.value()) : std::string();
}

// A flatpak name is "id//branch"; its deployment may be an app or a
// runtime, of any architecture, in either installation.
std::string flatpak_active_link(const ProgressPlaces& places, string_view name) {
  const size_t slashes = name.find("//");
  if (slashes == string_view::npos) return {};
  const std::string id(name.substr(0, slashes));
  const std::string branch(name.substr(slashes + 2));
  std::vector<std::string> bases = {join(places.root, SYSTEM_FLATPAK)};
  if (!places.home.empty()) bases.push_back(join(places.home, USER_FLATPAK));
  for (const std::string& base : bases) {
    for (const char* kind : {"app", "runtime"}) {
      const std::string dir = join(join(base, kind), id);
      for (const std::string& arch : file_names(dir)) {
        std::string active = join(join(join(dir, arch), branch), "active");
        struct stat st {};
        if (::lstat(active.c_str(), &st) == 0) return active;
      }
    }
  }
  return {};
}

// "conffile /etc/x keep", after the time. A path may hold spaces: all
// between the two words is the path.
std::optional<KeptConfig> dpkg_kept(string_view rest) {
  constexpr string_view WORD = "conffile ";
  constexpr string_view KEEP = " keep";
  while (rest.starts_with(' ')) rest.remove_prefix(1);
  if (!rest.starts_with(WORD) || !rest.ends_with(KEEP)) return std::nullopt;
  const string_view path = rest.substr(WORD.size(), rest.size() - WORD.size() - KEEP.size());
  if (!path.starts_with('/')) return std::nullopt;
  return KeptConfig{std::string(path), std::string(path) + ".dpkg-dist"};
}

// "warning: /etc/x installed as /etc/x.pacnew" or "warning: extracting
// /etc/x as /etc/x.pacnew", after pacman's "[ALPM] ". The new name is the
// old one and ".pacnew", which finds the path even when it holds spaces.
std::optional<KeptConfig> pacman_kept(string_view text) {
  constexpr string_view WARNING = "warning: ";
  constexpr string_view PACNEW = ".pacnew";
  if (!text.starts_with(WARNING)) return std::nullopt;
  text.remove_prefix(WARNING.size());
  for (const auto& [before, between] :
       {std::pair<string_view, string_view>{"", " installed as "},
        std::pair<string_view, string_view>{"extracting ", " as "}}) {
    if (!text.starts_with(before) || !text.ends_with(PACNEW)) continue;
    const string_view rest = text.substr(before.size());
    if (rest.size() < between.size() + PACNEW.size()) continue;
    const size_t length = (rest.size() - between.size() - PACNEW.size()) / 2;
    const string_view path = rest.substr(0, length);
    if (path.empty() || path.front() != '/' || rest.substr(length, between.size()) != between ||
        rest.substr(length + between.size()) != std::string(path) + std::string(PACNEW)) {
      continue;
    }
    return KeptConfig{std::string(path), std::string(path) + std::string(PACNEW)};
  }
  return std::nullopt;
}

// pacman's line after its time: "+0000] [ALPM] warning: …".
std::optional<KeptConfig> pacman_kept_after_time(string_view rest) {
  constexpr string_view ALPM = "] [ALPM] ";
  const size_t at = rest.find(ALPM);
  if (at == string_view::npos) return std::nullopt;
  return pacman_kept(rest.substr(at + ALPM.size()));
}

void keep_once(std::vector<KeptConfig>& kept, std::optional<KeptConfig> found) {
  if (found && std::find(kept.begin(), kept.end(), *found) == kept.end()) {
    kept.push_back(std::move(*found));
  }
}

}  // namespace

std::optional<KeptConfig> read_dpkg_conffile_line(string_view line) {
  // "2026-12-09 19:20:57 conffile /etc/sorvane-probe/edited.conf keep"
  if (line.size() <= LOG_TIME_LENGTH) return std::nullopt;
  return dpkg_kept(line.substr(LOG_TIME_LENGTH));
}

std::optional<KeptConfig> read_pacman_pacnew_line(string_view line) {
  // "[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/x installed as /etc/x.pacnew"
  if (!line.starts_with('[')) return std::nullopt;
  return pacman_kept_after_time(line.substr(1));
}

std::int64_t now_in_nanoseconds() {
  // The clock file times are taken from: a file changed after this has a
  // time no earlier, even where the file system keeps finer times.
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

std::vector<KeptConfig> rpm_kept_configs(const std::string& root, std::int64_t from,
                                         std::int64_t to) {
  constexpr string_view RPMNEW = ".rpmnew";
  // /etc holds a few thousand entries; a tree far larger is not walked on.
  constexpr size_t MAX_ENTRIES = 200'000;
  namespace fs = std::filesystem;
  std::vector<KeptConfig> kept;
  const fs::path etc = fs::path(join(root, "etc"));
  std::error_code error;
  fs::recursive_directory_iterator entry(etc, fs::directory_options::skip_permission_denied, error);
  for (size_t seen = 0; !error && entry != fs::recursive_directory_iterator() && seen < MAX_ENTRIES;
       entry.increment(error), ++seen) {
    const std::string name = entry->path().filename();
    if (!name.ends_with(RPMNEW) || name.size() == RPMNEW.size()) continue;
    struct stat st {};
    if (::lstat(entry->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const std::int64_t changed =
        std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec;
    if (changed < from || changed > to) continue;
    const std::string beside = "/" + entry->path().lexically_relative(fs::path(root)).string();
    kept.push_back({beside.substr(0, beside.size() - RPMNEW.size()), beside});
  }
  std::sort(kept.begin(), kept.end(),
            [](const KeptConfig& a, const KeptConfig& b) { return a.path < b.path; });
  return kept;
}

std::vector<KeptConfig> dpkg_kept_configs(string_view log, string_view from, string_view to) {
  std::vector<KeptConfig> kept;
  lines_between(log, from, to, 0, [&](string_view rest) { keep_once(kept, dpkg_kept(rest)); });
  return kept;
}

std::vector<KeptConfig> pacman_kept_configs(string_view log, string_view from, string_view to) {
  std::vector<KeptConfig> kept;
  lines_between(log, from, to, 1,
                [&](string_view rest) { keep_once(kept, pacman_kept_after_time(rest)); });
  return kept;
}

LogEvent read_dpkg_log_line(string_view line) {
  // "2026-12-09 10:00:01 status installed libssl3:amd64 3.0.22-1~deb12u2"
  const auto found = words(line);
  if (found.size() < 6 || found[2] != "status") return {};
  const Stage stage = found[3] == "installed"  ? Stage::Installed
                      : found[3] == "unpacked" ? Stage::Unpacked
                                               : Stage::None;
  if (stage == Stage::None) return {};
  const string_view package = found[4].substr(0, found[4].find(':'));
  return {package, found[5], stage};
}

LogEvent read_pacman_log_line(string_view line) {
  // "[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)"
  const auto found = words(line);
  if (found.size() < 4 || found[1] != "[ALPM]") return {};
  // The new version: after "->" for an upgrade, alone for an install.
  string_view version = found.back();
  if (found[2] == "upgraded" && found.size() >= 7 && found[5] == "->" && version.ends_with(')')) {
    version.remove_suffix(1);
  } else if (found[2] == "installed" && found.size() == 5 && version.size() > 2 &&
             version.front() == '(' && version.back() == ')') {
    version = version.substr(1, version.size() - 2);
  } else {
    return {};
  }
  return {found[3], version, Stage::Installed};
}

std::optional<DnfCounter> read_dnf_counter(string_view line) {
  const auto found = words(line);
  if (found.size() < 2) return std::nullopt;
  const string_view first = found.front();
  if (first.size() > 4 && first.front() == '(' && first.ends_with("):")) {
    if (const auto counted = fraction(first.substr(1, first.size() - 3))) {
      return DnfCounter{true, counted->first, counted->second, found[1]};
    }
  }
  // "Upgrading : name 3/10", the verb translated and maybe of several
  // words, the colon spaced or not: the counter last, the package before it.
  if (found.size() >= 3 && found[found.size() - 3].ends_with(':')) {
    if (const auto counted = fraction(found.back())) {
      return DnfCounter{false, counted->first, counted->second, found[found.size() - 2]};
    }
  }
  return std::nullopt;
}

std::vector<std::string> dpkg_upgraded(string_view log, string_view from, string_view to) {
  // "2026-12-09 12:03:05 upgrade libssl3:amd64 3.0.11-1 3.0.15-1"
  std::set<string_view> packages;
  lines_between(log, from, to, 0, [&](string_view rest) {
    const auto found = words(rest);
    if (found.size() == 4 && found[0] == "upgrade") {
      packages.insert(found[1].substr(0, found[1].find(':')));
    }
  });
  return {packages.begin(), packages.end()};
}

size_t dpkg_upgrades(string_view log, string_view from, string_view to) {
  return dpkg_upgraded(log, from, to).size();
}

size_t pacman_upgrades(string_view log, string_view from, string_view to) {
  // "[2026-12-09T12:03:05+0100] [ALPM] upgraded linux (6.1-1 -> 6.2-1)"
  std::set<string_view> packages;
  lines_between(log, from, to, 1, [&](string_view rest) {
    const auto found = words(rest);
    if (found.size() >= 4 && found[1] == "[ALPM]" && found[2] == "upgraded") {
      packages.insert(found[3]);
    }
  });
  return packages.size();
}

UpdateProgress::UpdateProgress(const std::vector<ManagerCheck>& checks, ProgressPlaces places)
    : places_(std::move(places)), began_(now_in_nanoseconds()) {
  for (const ManagerCheck& check : checks) {
    Tracked tracked{check.step, {}, {}, {}, 0, 0, false, {}, Phase::Busy, {}};
    for (const PendingUpdate& update : check.updates) {
      tracked.by_name.try_emplace(update.name, tracked.packages.size());
      tracked.packages.push_back({update.name, update.to, false, false, false, {}, {}});
    }
    const string_view log = check.step == Step::Apt      ? DPKG_LOG
                            : check.step == Step::Pacman ? PACMAN_LOG
                                                         : string_view();
    if (!log.empty()) {
      Followed followed{join(places_.root, log), 0, 0, {}};
      struct stat st {};
      // What the log holds already happened before this update.
      if (::stat(followed.path.c_str(), &st) == 0) {
        followed.inode = st.st_ino;
        followed.offset = st.st_size;
      }
      tracked.log = std::move(followed);
    }
    if (check.step == Step::Flatpak) {
      for (Package& package : tracked.packages) {
        package.deployment = flatpak_active_link(places_, package.name);
        package.deployed = link_target(package.deployment);
        if (!package.deployed.empty()) tracked.observed = true;
      }
    }
    tracked_.push_back(std::move(tracked));
  }
  poll();
}

void UpdateProgress::poll() {
  for (Tracked& tracked : tracked_) {
    if (tracked.step == Step::Apt || tracked.step == Step::Pacman) {
      look_at_cache(tracked);
      read_log(tracked);
    } else if (tracked.step == Step::Flatpak) {
      look_at_deployments(tracked);
    }
  }
}

void UpdateProgress::look_at_cache(Tracked& tracked) const {
  const bool apt = tracked.step == Step::Apt;
  const std::vector<std::string> names =
      file_names(join(places_.root, apt ? APT_CACHE : PACMAN_CACHE));
  for (Package& package : tracked.packages) {
    if (package.downloaded) continue;
    const std::string prefix = apt ? package.name + "_" + apt_file_version(package.to) + "_"
                                   : package.name + "-" + package.to + "-";
    package.downloaded = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return name.starts_with(prefix) &&
             (apt ? name.ends_with(".deb")
                  : name.find(".pkg.tar") != std::string::npos && !name.ends_with(".part") &&
                        !name.ends_with(".sig"));
    });
    if (package.downloaded) {
      tracked.current = package.name;
      tracked.phase = Phase::Downloading;
    }
  }
}

void UpdateProgress::read_log(Tracked& tracked) {
  Followed& log = *tracked.log;
  UniqueFd fd(::open(log.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) return;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  if (st.st_ino != log.inode || st.st_size < log.offset) {
    // Rotated, or made by this update: all of it is new.
    log = {log.path, st.st_ino, 0, {}};
  }
  tracked.observed = true;
  std::string text;
  std::array<char, 16384> chunk{};
  while (text.size() < MAX_LOG_READ) {
    const ssize_t n = ::pread(fd.get(), chunk.data(), chunk.size(), log.offset);
    if (n <= 0) break;
    log.offset += n;
    text.append(chunk.data(), static_cast<size_t>(n));
  }
  log.partial += text;
  size_t start = 0;
  for (size_t end = log.partial.find('\n'); end != std::string::npos;
       start = end + 1, end = log.partial.find('\n', start)) {
    take_log_line(tracked, string_view(log.partial).substr(start, end - start));
  }
  log.partial.erase(0, start);
}

void UpdateProgress::take_log_line(Tracked& tracked, string_view text) {
  keep_once(tracked.kept, tracked.step == Step::Apt ? read_dpkg_conffile_line(text)
                                                    : read_pacman_pacnew_line(text));
  const LogEvent event =
      tracked.step == Step::Apt ? read_dpkg_log_line(text) : read_pacman_log_line(text);
  if (event.stage == Stage::None) return;
  const auto found = tracked.by_name.find(std::string(event.package));
  if (found == tracked.by_name.end()) return;
  Package& package = tracked.packages[found->second];
  // dpkg marks the old version unpacked again while it replaces it.
  if (event.version != package.to) return;
  // dpkg marks a package unpacked again as it begins to set it up: news
  // only the first time.
  const bool news = event.stage == Stage::Installed || !package.unpacked;
  package.downloaded = true;
  package.unpacked = true;
  if (event.stage == Stage::Installed) package.installed = true;
  if (!news) return;
  tracked.current = package.name;
  tracked.phase = tracked.step == Step::Pacman      ? Phase::Installing
                  : event.stage == Stage::Installed ? Phase::SettingUp
                                                    : Phase::Unpacking;
}

void UpdateProgress::look_at_deployments(Tracked& tracked) const {
  for (Package& package : tracked.packages) {
    if (package.installed) continue;
    // A ref new to the system has no deployment until it is installed.
    if (package.deployment.empty()) package.deployment = flatpak_active_link(places_, package.name);
    const std::string now = link_target(package.deployment);
    if (!now.empty() && now != package.deployed) {
      package.installed = true;
      tracked.current = package.name;
      tracked.phase = Phase::Installing;
    }
  }
}

void UpdateProgress::line(Step step, string_view text) {
  if (step != Step::Dnf) return;
  const auto counter = read_dnf_counter(text);
  if (!counter) return;
  for (Tracked& tracked : tracked_) {
    if (tracked.step != Step::Dnf) continue;
    // A fraction of the pending packages, so the two phases weigh the same.
    const size_t pending = std::max<size_t>(tracked.packages.size(), 1);
    const size_t share = pending * counter->at / counter->of;
    // Verifying counts again from 1 after the transaction: never backwards.
    tracked.observed = true;
    size_t& phase = counter->download ? tracked.dnf_downloaded : tracked.dnf_transaction;
    phase = std::max(phase, share);
    tracked.phase = counter->download ? Phase::Downloading : Phase::Installing;
    for (Package& package : tracked.packages) {
      if (is_nevra_of(counter->package, package.name, package.to)) {
        tracked.current = package.name;
        if (!counter->download) package.installed = true;
      }
    }
  }
}

const UpdateProgress::Tracked* UpdateProgress::find(Step step) const {
  const auto found = std::find_if(tracked_.begin(), tracked_.end(),
                                  [step](const Tracked& tracked) { return tracked.step == step; });
  return found == tracked_.end() ? nullptr : &*found;
}

StepProgress UpdateProgress::step(Step step) const {
  const Tracked* tracked = find(step);
  if (tracked == nullptr || step == Step::Snap) return {};
  StepProgress progress;
  progress.current = tracked->current;
  progress.phase = tracked->phase;
  const size_t count = tracked->packages.size();
  progress.phase_total = count;
  if (step == Step::Dnf) {
    const size_t pending = std::max<size_t>(count, 1);
    progress.total = DNF_UNITS * pending;
    const size_t downloaded = std::min(tracked->dnf_downloaded, pending);
    const size_t installed = std::min(tracked->dnf_transaction, pending);
    progress.done = downloaded + installed;
    progress.phase_done = tracked->phase == Phase::Downloading ? downloaded : installed;
    return progress;
  }
  progress.total = count * (step == Step::Apt      ? APT_UNITS
                            : step == Step::Pacman ? PACMAN_UNITS
                                                   : 1);
  size_t downloaded = 0;
  size_t unpacked = 0;
  size_t installed = 0;
  for (const Package& package : tracked->packages) {
    downloaded += size_t{package.downloaded};
    unpacked += size_t{package.unpacked};
    installed += size_t{package.installed};
  }
  progress.done = step == Step::Apt      ? downloaded + unpacked + installed
                  : step == Step::Pacman ? downloaded + installed
                                         : installed;
  progress.phase_done = tracked->phase == Phase::Downloading ? downloaded
                        : tracked->phase == Phase::Unpacking ? unpacked
                                                             : installed;
  return progress;
}

std::vector<std::string> UpdateProgress::updated(Step step) const {
  std::vector<std::string> names;
  if (const Tracked* tracked = find(step)) {
    for (const Package& package : tracked->packages) {
      if (package.installed) names.push_back(package.name);
    }
  }
  return names;
}

}  // namespace sorvane::gui

namespace sorvane::gui {

std::optional<std::vector<std::string>> UpdateProgress::not_updated(Step step) const {
  const Tracked* tracked = find(step);
  if (tracked == nullptr || !tracked->observed || step == Step::Snap) return std::nullopt;
  std::vector<std::string> names;
  for (const Package& package : tracked->packages) {
    if (!package.installed) names.push_back(package.name);
  }
  return names;
}

}  // namespace sorvane::gui

namespace sorvane::gui {

std::vector<KeptConfig> UpdateProgress::kept_configs() const {
  std::vector<KeptConfig> all;
  for (const Tracked& tracked : tracked_) {
    for (const KeptConfig& kept : tracked.kept) keep_once(all, kept);
    if (tracked.step == Step::Dnf) {
      // Files may bear times finer than the clock that says "now".
      const std::int64_t later = std::numeric_limits<std::int64_t>::max();
      for (KeptConfig& kept : rpm_kept_configs(places_.root, began_, later)) {
        keep_once(all, std::move(kept));
      }
    }
  }
  return all;
}

}  // namespace sorvane::gui
