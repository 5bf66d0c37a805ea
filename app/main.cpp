#include "run.hpp"

int main() {
  sorvane::prepare_process();
  auto outcome = sorvane::run();
  if (outcome) return 0;
  sorvane::report_error(outcome.error());
  return 1;
}
