#include "history_source.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "manager_query.hpp"
#include "manager_text.hpp"
#include "path.hpp"
#include "unique_fd.hpp"
#include "update_log.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// No log line a manager writes is longer; a longer one is cut.
constexpr size_t MAX_HISTORY_LINE = size_t{64} * 1024;
// A rotation past this, uncompressed, is read to here: years of dpkg's log
// are a few megabytes.
constexpr size_t MAX_ROTATION = size_t{32} << 20;
constexpr std::chrono::seconds HISTORY_LIMIT{30};

// The rotation number of `file` for `name`: 0 for the log itself,
// N for name.N and name.N.gz; nothing for any other name.
std::optional<unsigned> rotation_of(string_view file, string_view name) {
  if (file == name) return 0U;
  if (!file.starts_with(name) || file.size() < name.size() + 2 || file[name.size()] != '.') {
    return std::nullopt;
  }
  string_view rest = file.substr(name.size() + 1);
  if (rest.ends_with(".gz")) rest.remove_suffix(3);
  const auto n = text::number<unsigned>(rest);
  if (!n || *n == 0) return std::nullopt;
  return n;
}

std::string reason_of(int error) {
  return std::strerror(error);  // NOLINT(concurrency-mt-unsafe): glibc's is thread-safe
}

}  // namespace

std::vector<std::string> rotations(const HistorySetup& setup, string_view dir, string_view name) {
  const std::string at = under(setup.check.places, dir);
  const auto close_dir = [](DIR* d) { ::closedir(d); };
  const std::unique_ptr<DIR, decltype(close_dir)> listing(::opendir(at.c_str()), close_dir);
  std::vector<std::pair<unsigned, std::string>> found;
  if (!listing) return {};
  // This call owns the stream: readdir's one shared buffer is safe here.
  // NOLINTNEXTLINE(concurrency-mt-unsafe)
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view file = entry->d_name;
    if (!setup.compressed && file.ends_with(".gz")) continue;
    if (const auto n = rotation_of(file, name)) {
      found.emplace_back(*n, join(at, entry->d_name));
    }
  }
  // Oldest first: the highest number; name.N before name.N.gz never both.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  std::vector<std::string> paths;
  paths.reserve(found.size());
  for (auto& [n, path] : found) paths.push_back(std::move(path));
  return paths;
}

bool read_log_lines(const HistorySetup& setup, const std::string& path, History& into,
                    const TakeLine& take) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) {
    into.unreadable.push_back({path, reason_of(errno)});
    return false;
  }
  if (!path.ends_with(".gz")) {
    read_lines(fd.get(), take, MAX_HISTORY_LINE);
    return true;
  }
  // Compressed: the trusted gzip reads it, as the user, and its output is
  // read line by line once it has ended.
  const auto gzip = trusted_tool(setup.check.places, "gzip");
  if (!gzip) {
    into.unreadable.push_back({path, "gzip was not found where the update finds it"});
    return false;
  }
  auto ran = run_captured({*gzip, "-dc", "--", path}, {"LC_ALL=C"}, HISTORY_LIMIT, MAX_ROTATION);
  if (!ran) {
    into.unreadable.push_back({path, "gzip: " + ran.error().text()});
    return false;
  }
  const Captured& out = ran.value();
  if (out.timed_out || out.wait_status != 0) {
    const string_view err = out.err;
    into.unreadable.push_back(
        {path, out.timed_out ? std::string("gzip did not end in time")
                             : "gzip: " + std::string(text::trim(err.substr(0, err.find('\n'))))});
    return false;
  }
  text::for_each_line(out.out, [&](string_view line) {
    take(line.substr(0, MAX_HISTORY_LINE));
    return true;
  });
  return true;
}

std::optional<std::string> history_command(const HistorySetup& setup, string_view tool,
                                           std::vector<std::string> args, History& into) {
  // Not installed here: no source, and nothing to say.
  if (std::none_of(
          setup.check.places.path_dirs.begin(), setup.check.places.path_dirs.end(),
          [&](const std::string& dir) { return ::access(join(dir, tool).c_str(), X_OK) == 0; })) {
    return std::nullopt;
  }
  std::string asked(tool);
  for (const std::string& arg : args) asked += " " + arg;
  auto ran = ask(setup.check, tool, std::move(args), HISTORY_LIMIT);
  if (!ran) {
    into.unreadable.push_back({asked, ran.error().detail});
    return std::nullopt;
  }
  if (ran.value().status != 0) {
    into.unreadable.push_back({asked, failed(tool, ran.value()).detail});
    return std::nullopt;
  }
  return std::move(ran.value().run.out);
}

}  // namespace sorvane::gui
