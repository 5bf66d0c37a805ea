// pacman. Asked before the password: `pacman-conf` for its repositories,
// then `checkupdates` (a fresh private sync, from pacman-contrib) or what
// the last sync knows (`pacman -Qu`); its lock file says another pacman
// runs. During the update: its package file in /var/cache/pacman/pkg,
// then its log, /var/log/pacman.log: "[ALPM] upgraded" or "[ALPM]
// installed". A config file the user changed is kept: "[ALPM] warning:
// /etc/x installed as /etc/x.pacnew" in its log, or "warning: extracting
// /etc/x as /etc/x.pacnew" for a file the user told pacman not to
// upgrade. After it: the running kernel's modules,
// /usr/lib/modules/<release>, are gone once its package was upgraded: a
// restart is due.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

// `checkupdates` or `pacman -Qu`: "name old -> new"; lines ending in
// "[ignored]" are not pending.
std::vector<PendingUpdate> parse_pacman_updates(std::string_view out);
// `pacman-conf --repo-list`: one repository name per line.
std::vector<std::string> parse_pacman_repo_list(std::string_view out);
// `pacman -Qi NAME…` in the C locale: each package's "Name" and
// "Description" fields, in order.
std::vector<std::pair<std::string, std::string>> parse_pacman_descriptions(std::string_view out);

// One line of pacman's log: "[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)".
LogEvent read_pacman_log_line(std::string_view line);
// "[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/x installed as /etc/x.pacnew".
std::optional<KeptConfig> read_pacman_pacnew_line(std::string_view line);
// The packages upgraded in pacman's log between two local times
// ("YYYY-MM-DD HH:MM:SS"), each counted once.
size_t pacman_upgrades(std::string_view log, std::string_view from, std::string_view to);
// The config files kept in pacman's log between two such times.
std::vector<KeptConfig> pacman_kept_configs(std::string_view log, std::string_view from,
                                            std::string_view to);

}  // namespace sorvane::gui
