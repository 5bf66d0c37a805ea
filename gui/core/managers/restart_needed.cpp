#include "restart_needed.hpp"

#include <algorithm>

#include "manager_facts.hpp"

namespace sorvane::gui {

const std::vector<std::string>& RestartQuestion::updated_by(Step step) const {
  static const std::vector<std::string> none;
  const auto found = std::find_if(updated.begin(), updated.end(),
                                  [step](const auto& names) { return names.first == step; });
  return found == updated.end() ? none : found->second;
}

RestartNeed restart_needed(const RestartQuestion& question, const CheckSetup& setup) {
  RestartNeed need;
  for (const Manager& row : MANAGERS) {
    const auto restart = row.facts->restart;
    if (restart == nullptr ||
        std::find(question.steps.begin(), question.steps.end(), row.step) == question.steps.end()) {
      continue;
    }
    const auto because = restart(question, setup);
    if (!because) continue;
    need.needed = true;
    for (const std::string& why : *because) {
      if (std::find(need.because.begin(), need.because.end(), why) == need.because.end()) {
        need.because.push_back(why);
      }
    }
  }
  return need;
}

}  // namespace sorvane::gui
