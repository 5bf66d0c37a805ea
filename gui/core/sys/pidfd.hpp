// Process descriptors: pidfd_open and pidfd_send_signal. Debian 12's glibc
// declares them without C linkage for C++, so they are included here alone.
#pragma once

extern "C" {
#include <sys/pidfd.h>
}
