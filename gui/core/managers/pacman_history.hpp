// pacman's history: /var/log/pacman.log (and rotations, where logrotate
// keeps them), "[ALPM] transaction started", its "upgraded", "installed",
// "removed", "downgraded", "reinstalled" lines, then "transaction
// completed", "failed" or "interrupted"; the "[PACMAN] Running" line
// before it says what was asked. Untranslated.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

class PacmanLogReader {
 public:
  void line(std::string_view line);
  void end();
  std::vector<HistoryEntry> entries;

 private:
  std::optional<HistoryEntry> open_;
  std::string asked_;  // the last "[PACMAN] Running" command
};

void pacman_history(const HistorySetup& setup, History& into);

}  // namespace sorvane::gui
