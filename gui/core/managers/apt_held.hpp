// Why apt keeps a package back: dpkg's own status database says whether the
// user holds it (what `apt-mark showhold` reads, readable without root);
// apt's simulation says which upgrades phasing defers; `apt-cache policy`
// and `apt-cache show` (C locale) give the candidate and its
// Phased-Update-Percentage. Anything else kept back by `apt upgrade`
// needs new packages it will not install.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "held_back.hpp"

namespace sorvane::gui {

// The packages dpkg's status file marks with the hold selection
// ("Status: hold ok installed").
std::vector<std::string> parse_dpkg_holds(std::string_view status);
// What the held packages of dpkg's status file depend on at exactly one
// version ("Depends: libjq1 (= 1.6-2.1)"): (that package, the held one).
// `apt upgrade` keeps such a package back for the hold's sake.
std::vector<std::pair<std::string, std::string>> parse_dpkg_hold_pins(std::string_view status);
// apt-get -s upgrade: the names under "The following upgrades have been
// deferred due to phasing:".
std::vector<std::string> parse_apt_phasing_deferred(std::string_view simulation);
// `apt-cache policy a b …`: each package's candidate version, in order
// (name, version); "(none)" candidates are left out.
std::vector<std::pair<std::string, std::string>> parse_apt_policy_candidates(std::string_view out);
// The same answer: the packages whose candidate version comes from a
// security archive (a suite ending in "-security"), in order.
std::vector<std::string> parse_apt_policy_security(std::string_view out);
// `apt-cache show a=1 b=2 …`: each record's package and its
// Phased-Update-Percentage, for records that have one.
std::vector<std::pair<std::string, int>> parse_apt_phased_percentages(std::string_view out);

// Asks apt (through `ask`: tool, arguments; its output or nothing) why each
// of `kept` is kept back.
using AptAsk =
    std::function<std::optional<std::string>(std::string_view, std::vector<std::string>)>;
HeldBacks apt_held_reasons(const std::vector<std::string>& kept, std::string_view dpkg_status,
                           std::string_view simulation, const AptAsk& ask);

}  // namespace sorvane::gui
