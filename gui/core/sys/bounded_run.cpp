#include "bounded_run.hpp"

namespace sorvane::gui {

Result<BoundedRun, OsError> run_bounded(const std::vector<std::string>& argv,
                                        const std::vector<std::string>& environment,
                                        std::chrono::milliseconds limit, size_t max_output) {
  return run_captured(argv, environment, limit, max_output);
}

}  // namespace sorvane::gui
