#include "bounded_run.hpp"

namespace sorvane::gui {

Result<BoundedRun, OsError> run_bounded(const std::vector<std::string>& argv,
                                        const std::vector<std::string>& environment,
                                        std::chrono::milliseconds limit) {
  return run_captured(argv, environment, limit, MAX_OUTPUT);
}

}  // namespace sorvane::gui
