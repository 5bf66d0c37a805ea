// When the password is written. Written into the script's input as soon as
// the script starts, it waited there, in a socket that the script (an
// ordinary process of the user) holds, while bash and sudo started: another
// program of the same user could take it with pidfd_getfd. So it is
// written only once sudo is the one waiting to read it: a descendant of the
// process the window started (the script, or what starts it) is named
// "sudo", runs no command yet, and sleeps without doing anything between
// two looks. sudo is setuid root, so what it waits on (/proc's wchan,
// syscall) cannot be read; its state, its CPU time, its page faults and
// its context switches can, and a sleep in which none of them moved is the
// wait for the password (sudo -S reads its input, blocking, before
// anything else that sleeps). The window asks from a timer and never
// blocks.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::gui {

// What /proc says of one process that anyone may read, setuid or not.
struct ProcessLook {
  std::string name;          // its comm
  char state = '?';          // R, S, D...
  std::uint64_t activity{};  // CPU time, page faults, context switches: all that moves when it runs
  std::vector<pid_t> children;
};

std::optional<ProcessLook> look_at_process(const std::string& proc, pid_t pid);

// The first process named "sudo" among `ancestor`'s descendants, at most
// `depth` generations below it.
std::optional<pid_t> sudo_below(const std::string& proc, pid_t ancestor, int depth);

inline constexpr int SUDO_DEPTH = 3;  // the window's child, the script, sudo
// sudo starts at the script's first lines; one never seen in this time is
// not coming (the script failed first): the password is not written.
inline constexpr std::chrono::seconds SUDO_APPEARS_LIMIT{60};
// A sudo that never seems to wait (a busy machine) gets the password
// after this all the same, as it is sudo that reads it.
inline constexpr std::chrono::seconds SUDO_WAITS_LIMIT{10};

class PasswordHandOver {
 public:
  enum class Step : std::uint8_t {
    Wait,      // look again later
    Write,     // sudo waits for it: write it now
    Withhold,  // never write it: sudo runs its command already, never came, or the run ended
  };
  struct Limits {
    std::chrono::steady_clock::duration appears = SUDO_APPEARS_LIMIT;
    std::chrono::steady_clock::duration waits = SUDO_WAITS_LIMIT;
  };

  PasswordHandOver(pid_t started, std::chrono::steady_clock::time_point now, Limits limits,
                   std::string proc = "/proc");

  // One look; once it says Write or Withhold it says so again.
  Step next(std::chrono::steady_clock::time_point now);
  // The sudo it found, if any.
  [[nodiscard]] std::optional<pid_t> sudo() const { return sudo_; }

 private:
  pid_t started_;
  std::chrono::steady_clock::time_point since_;
  Limits limits_;
  std::string proc_;
  std::optional<pid_t> sudo_;
  std::optional<std::chrono::steady_clock::time_point> sudo_seen_;
  std::optional<std::uint64_t> last_activity_;
  std::optional<Step> decided_;
};

}  // namespace sorvane::gui
