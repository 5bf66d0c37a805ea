// The update's monitor as sorvane-gui runs it, without telling the end:
// what the core's tests start instead of the window's executable.
#include <unistd.h>

#include "update_monitor.hpp"

int main(int argc, char* argv[]) {
  if (!sorvane::gui::is_monitor_call(argc, argv)) return 2;
  return sorvane::gui::monitor_update(argv[2], environ) ? 0 : 1;
}
