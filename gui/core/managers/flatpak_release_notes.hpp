// What is new in a flatpak update: the release notes its remote publishes
// in its AppStream catalogue, which flatpak keeps deployed per remote and
// architecture. flatpak is asked which remote and architecture the
// installed ref came from and its version; the catalogue is read by the
// window's model.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

struct FlatpakInstalled {
  std::string id;
  std::string branch;
  std::string version;  // empty when its AppStream data gives none
  std::string arch;
  std::string origin;  // the remote it came from
  friend bool operator==(const FlatpakInstalled&, const FlatpakInstalled&) = default;
};
// The exact query, whose columns this reads in this order (the last cell
// is never empty: flatpak leaves out a trailing empty one).
inline constexpr std::string_view FLATPAK_INSTALLED_COLUMNS =
    "--columns=application,branch,version,arch,origin";
// `flatpak list --columns=application,branch,version,arch,origin`; rows
// whose remote or architecture could not name a directory are left out.
std::vector<FlatpakInstalled> parse_flatpak_installed(std::string_view out);

// Where the release notes of `update` ("id//branch") are, for the window's
// model to read; why_not when flatpak does not list it as installed.
WhatIsNew flatpak_what_is_new(const CheckSetup& setup, const PendingUpdate& update);

}  // namespace sorvane::gui
