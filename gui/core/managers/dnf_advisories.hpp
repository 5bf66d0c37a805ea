// dnf's advisories: which ones its repositories name for each pending
// update (`dnf updateinfo list --updates`, read during the check), and on
// request what one says (`updateinfo info`: its text, and the CVEs it
// names), as the user, from the metadata the check just fetched.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

// One row of `dnf -q updateinfo list`: the advisory's id (FEDORA-…,
// RHSA-…) and the name of the package it updates. dnf 4 prints "id
// type/severity NEVRA", dnf 5 "id type severity NEVRA issued" under a
// header.
struct DnfAdvisory {
  std::string id;
  std::string package;
  friend bool operator==(const DnfAdvisory&, const DnfAdvisory&) = default;
};
std::vector<DnfAdvisory> parse_dnf_advisories(std::string_view out);

// The advisories of `check.updates`, into `check.about`: those named can
// tell what is new.
void name_dnf_advisories(const CheckSetup& setup, ManagerCheck& check);

// How much of an advisory's text is kept.
inline constexpr size_t MAX_ADVISORY_TEXT = size_t{64} * 1024;

// What the advisories of `update` say: `dnf updateinfo info --updates
// name` (dnf 4), else `dnf advisory info --updates --contains-pkgs=name`
// (dnf 5), as plain text.
WhatIsNew dnf_what_is_new(const CheckSetup& setup, const PendingUpdate& update);

}  // namespace sorvane::gui
