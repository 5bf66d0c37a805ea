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
#include "manager_facts.hpp"
#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// What one poll reads of a log at most: an update writes a few lines per
// package, and the rest waits for the next poll.
constexpr size_t MAX_LOG_READ = size_t{4} * 1024 * 1024;
// A manager followed by its counters counts each package twice: the
// download counter and the transaction counter.
constexpr size_t COUNTER_UNITS = 2;

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

}  // namespace

std::int64_t now_in_nanoseconds() {
  // The clock file times are taken from: a file changed after this has a
  // time no earlier, even where the file system keeps finer times.
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

UpdateProgress::UpdateProgress(const std::vector<ManagerCheck>& checks, ProgressPlaces places)
    : places_(std::move(places)), began_(now_in_nanoseconds()) {
  for (const ManagerCheck& check : checks) {
    Tracked tracked{check.step, {}, {}, {}, 0, 0, false, {}, Phase::Busy, {}};
    for (const PendingUpdate& update : check.updates) {
      tracked.by_name.try_emplace(update.name, tracked.packages.size());
      tracked.packages.push_back({update.name, update.to, false, false, false, {}, {}});
    }
    const ProgressSignals& signals = facts(check.step).progress;
    const string_view log = signals.log.path;
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
    if (signals.deployment != nullptr) {
      for (Package& package : tracked.packages) {
        package.deployment = signals.deployment(places_, package.name);
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
    const ProgressSignals& signals = facts(tracked.step).progress;
    if (!signals.cache.empty()) look_at_cache(tracked);
    if (tracked.log) read_log(tracked);
    if (signals.deployment != nullptr) look_at_deployments(tracked);
  }
}

void UpdateProgress::look_at_cache(Tracked& tracked) const {
  const ProgressSignals& signals = facts(tracked.step).progress;
  const std::vector<std::string> names = file_names(join(places_.root, signals.cache));
  for (Package& package : tracked.packages) {
    if (package.downloaded) continue;
    package.downloaded = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return signals.cached(name, package.name, package.to);
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
  const ProgressSignals& signals = facts(tracked.step).progress;
  keep_once(tracked.kept, signals.log.kept(text));
  const LogEvent event = signals.log.event(text);
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
  tracked.phase = !signals.unpacks_first            ? Phase::Installing
                  : event.stage == Stage::Installed ? Phase::SettingUp
                                                    : Phase::Unpacking;
}

void UpdateProgress::look_at_deployments(Tracked& tracked) const {
  for (Package& package : tracked.packages) {
    if (package.installed) continue;
    // A ref new to the system has no deployment until it is installed.
    if (package.deployment.empty()) {
      package.deployment = facts(tracked.step).progress.deployment(places_, package.name);
    }
    const std::string now = link_target(package.deployment);
    if (!now.empty() && now != package.deployed) {
      package.installed = true;
      tracked.current = package.name;
      tracked.phase = Phase::Installing;
    }
  }
}

void UpdateProgress::line(Step step, string_view text) {
  const ProgressSignals& signals = facts(step).progress;
  if (signals.counter == nullptr) return;
  const auto counter = signals.counter(text);
  if (!counter) return;
  for (Tracked& tracked : tracked_) {
    if (tracked.step != step) continue;
    // A fraction of the pending packages, so the two phases weigh the same.
    const size_t pending = std::max<size_t>(tracked.packages.size(), 1);
    const size_t share = pending * counter->at / counter->of;
    // Verifying counts again from 1 after the transaction: never backwards.
    tracked.observed = true;
    size_t& phase = counter->download ? tracked.downloads_counted : tracked.transaction_counted;
    phase = std::max(phase, share);
    tracked.phase = counter->download ? Phase::Downloading : Phase::Installing;
    for (Package& package : tracked.packages) {
      if (signals.counts(counter->package, package.name, package.to)) {
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
  const ProgressSignals& signals = facts(step).progress;
  if (tracked == nullptr || !signals.countable()) return {};
  StepProgress progress;
  progress.current = tracked->current;
  progress.phase = tracked->phase;
  const size_t count = tracked->packages.size();
  progress.phase_total = count;
  if (signals.counter != nullptr) {
    const size_t pending = std::max<size_t>(count, 1);
    progress.total = COUNTER_UNITS * pending;
    const size_t downloaded = std::min(tracked->downloads_counted, pending);
    const size_t installed = std::min(tracked->transaction_counted, pending);
    progress.done = downloaded + installed;
    progress.phase_done = tracked->phase == Phase::Downloading ? downloaded : installed;
    return progress;
  }
  // Each package counts once installed, and once for each step before
  // that its manager shows: downloaded, unpacked.
  const bool downloads = !signals.cache.empty();
  const size_t units = 1 + (downloads ? 1U : 0U) + (signals.unpacks_first ? 1U : 0U);
  progress.total = count * units;
  size_t downloaded = 0;
  size_t unpacked = 0;
  size_t installed = 0;
  for (const Package& package : tracked->packages) {
    downloaded += size_t{package.downloaded};
    unpacked += size_t{package.unpacked};
    installed += size_t{package.installed};
  }
  progress.done = (downloads ? downloaded : 0) + (signals.unpacks_first ? unpacked : 0) + installed;
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
  if (tracked == nullptr || !tracked->observed || !facts(step).progress.countable()) {
    return std::nullopt;
  }
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
    if (const auto kept_files = facts(tracked.step).progress.kept_files) {
      // Files may bear times finer than the clock that says "now".
      const std::int64_t later = std::numeric_limits<std::int64_t>::max();
      for (KeptConfig& kept : kept_files(places_.root, began_, later)) {
        keep_once(all, std::move(kept));
      }
    }
  }
  return all;
}

}  // namespace sorvane::gui
