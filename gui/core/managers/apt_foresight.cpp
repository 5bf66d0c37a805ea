#include "apt_foresight.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

#include "path.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {
namespace {

constexpr std::uint64_t KIB = 1024;
constexpr std::string_view KERNEL_IMAGE = "linux-image-";

// "linux-image-6.1.0-18-amd64" is a kernel; "linux-image-amd64", which only
// depends on the newest, is not.
bool kernel_image(std::string_view name) {
  name = name.substr(0, name.find(':'));
  return name.starts_with(KERNEL_IMAGE) && name.size() > KERNEL_IMAGE.size() &&
         name[KERNEL_IMAGE.size()] >= '0' && name[KERNEL_IMAGE.size()] <= '9';
}

std::optional<std::uint64_t> size_of(const std::vector<InstalledSize>& sizes, std::string_view name,
                                     std::string_view version) {
  const size_t colon = name.find(':');
  const std::string_view package = name.substr(0, colon);
  const std::string_view arch =
      colon == std::string_view::npos ? std::string_view{} : name.substr(colon + 1);
  const auto found = std::find_if(sizes.begin(), sizes.end(), [&](const InstalledSize& s) {
    return s.package == package && s.version == version && (arch.empty() || s.architecture == arch);
  });
  if (found == sizes.end()) return std::nullopt;
  return found->kib;
}

// A package name apt could take for an option is never asked about.
bool plain_name(std::string_view name) {
  return !name.empty() &&
         ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'));
}

void add_need(AptForesight& foresight, const CheckPlaces& places, std::string_view where,
              std::uint64_t bytes) {
  if (bytes == 0) return;
  if (auto need = space_need(places.proc, places.root, where, bytes)) {
    foresight.space.push_back(std::move(*need));
  }
}

std::vector<std::string> changed_conffiles(const CheckPlaces& places, std::string_view status,
                                           const std::vector<PendingUpdate>& updates,
                                           const AptQuery& query) {
  std::vector<std::string> upgraded;
  for (const PendingUpdate& update : updates) {
    if (!update.from.empty()) upgraded.push_back(update.name);
  }
  const std::vector<Conffile> conffiles = parse_dpkg_conffiles(status, upgraded);
  if (conffiles.empty()) return {};
  std::vector<std::string> args = {"-z", "--"};
  std::map<std::string, const Conffile*> by_path;
  for (const Conffile& conffile : conffiles) {
    const std::string path = join(places.root, conffile.path.substr(1));
    if (by_path.emplace(path, &conffile).second) args.push_back(path);
  }
  const auto sums = query("md5sum", std::move(args));
  if (!sums) return {};
  std::vector<std::string> changed;
  for (const Conffile& sum : parse_md5sum_z(*sums)) {
    const auto found = by_path.find(sum.path);
    if (found != by_path.end() && found->second->md5 != sum.md5 &&
        std::find(changed.begin(), changed.end(), found->second->path) == changed.end()) {
      changed.push_back(found->second->path);
    }
  }
  return changed;
}

}  // namespace

std::uint64_t largest_kernel_bytes(const std::string& boot) {
  constexpr std::array<std::string_view, 4> FILES = {"vmlinuz-", "initrd.img-", "System.map-",
                                                     "config-"};
  std::map<std::string, std::uint64_t> by_release;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(boot, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename();
    const auto* kind = std::find_if(FILES.begin(), FILES.end(), [&](std::string_view prefix) {
      return name.starts_with(prefix);
    });
    struct stat st {};
    if (kind == FILES.end() || ::lstat(entry->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      continue;
    }
    by_release[name.substr(kind->size())] += static_cast<std::uint64_t>(st.st_size);
  }
  std::uint64_t largest = 0;
  for (const auto& [release, bytes] : by_release) largest = std::max(largest, bytes);
  return largest;
}

AptForesight foresee_apt(const CheckPlaces& places, std::string_view status,
                         const std::vector<PendingUpdate>& updates,
                         std::optional<std::uint64_t> download_bytes, const AptQuery& query) {
  AptForesight foresight;
  if (updates.empty()) return foresight;
  if (download_bytes) add_need(foresight, places, "var/cache/apt/archives", *download_bytes);

  // One question for every version, old and new.
  std::vector<std::string> args = {"show"};
  for (const PendingUpdate& update : updates) {
    if (!plain_name(update.name)) continue;
    args.push_back(update.name + "=" + update.to);
    if (!update.from.empty()) args.push_back(update.name + "=" + update.from);
  }
  const auto shown = query("apt-cache", std::move(args));
  const std::vector<InstalledSize> sizes =
      shown ? parse_apt_installed_sizes(*shown) : std::vector<InstalledSize>{};
  std::int64_t growth_kib = 0;
  std::uint64_t largest_kib = 0;
  size_t kernels = 0;
  for (const PendingUpdate& update : updates) {
    if (kernel_image(update.name)) ++kernels;
    const auto to = size_of(sizes, update.name, update.to);
    if (!to) continue;  // unknown: nothing is made up
    const auto from = update.from.empty() ? std::optional<std::uint64_t>(0)
                                          : size_of(sizes, update.name, update.from);
    if (!from) continue;
    growth_kib += static_cast<std::int64_t>(*to) - static_cast<std::int64_t>(*from);
    largest_kib = std::max(largest_kib, *to);
  }
  if (shown) {
    const std::uint64_t usr_kib =
        static_cast<std::uint64_t>(std::max<std::int64_t>(growth_kib, 0)) + largest_kib;
    add_need(foresight, places, "usr", usr_kib * KIB);
  }
  if (kernels > 0) {
    add_need(foresight, places, "boot", kernels * largest_kernel_bytes(join(places.root, "boot")));
  }
  foresight.kept_conffiles = changed_conffiles(places, status, updates, query);
  return foresight;
}

}  // namespace sorvane::gui
