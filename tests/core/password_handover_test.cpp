#include "password_handover.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "managers.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

// A /proc of the test's own: each process's stat, comm, status and
// children, as the kernel writes them.
struct FakeProcess {
  pid_t pid;
  const char* name;
  char state;
  unsigned activity;  // its CPU time, here; the rest stays 0
  std::vector<pid_t> children;
};

void write_fake_proc(const std::string& proc, const std::vector<FakeProcess>& processes) {
  for (const FakeProcess& p : processes) {
    const std::string dir = proc + "/" + std::to_string(p.pid);
    std::filesystem::create_directories(dir + "/task/" + std::to_string(p.pid));
    test::write_file(dir + "/comm", std::string(p.name) + "\n");
    test::write_file(dir + "/stat", std::to_string(p.pid) + " (" + p.name + ") " + p.state +
                                        " 1 1 1 0 -1 4194304 0 0 0 0 " +
                                        std::to_string(p.activity) + " 0 0 0 20 0 1 0\n");
    test::write_file(dir + "/status", "Name:\t" + std::string(p.name) +
                                          "\nvoluntary_ctxt_switches:\t0\n"
                                          "nonvoluntary_ctxt_switches:\t0\n");
    std::string children;
    for (const pid_t child : p.children) children += std::to_string(child) + " ";
    test::write_file(dir + "/task/" + std::to_string(p.pid) + "/children", children);
  }
}

// The password is written only when sudo, below the window's child, waits
// with nothing moving between two looks; never once sudo runs a command,
// never when it never comes.
TEST(PasswordHandOver, WritesOnlyWhenSudoWaitsToRead) {
  using Step = PasswordHandOver::Step;
  struct Look {
    std::vector<FakeProcess> processes;
    int seconds;  // since the update started
    Step step;
  };
  struct Case {
    const char* name;
    std::vector<Look> looks;
  };
  const FakeProcess script{10, "bash", 'S', 1, {11}};
  const FakeProcess sudo_reading{11, "sudo", 'S', 5, {}};
  const FakeProcess sudo_busy{11, "sudo", 'R', 6, {}};
  const FakeProcess sudo_running_command{11, "sudo", 'S', 5, {12}};
  const FakeProcess command{12, "bash", 'S', 5, {}};
  const FakeProcess bash_alone{10, "bash", 'R', 1, {}};
  const std::vector<Case> cases = {
      {"sudo waits",
       {{{script, sudo_reading}, 0, Step::Wait}, {{script, sudo_reading}, 0, Step::Write}}},
      {"sudo still starts",
       {{{script, sudo_busy}, 0, Step::Wait}, {{script, sudo_busy}, 1, Step::Wait}}},
      {"sudo moved between looks",
       {{{script, sudo_reading}, 0, Step::Wait},
        {{script, FakeProcess{11, "sudo", 'S', 9, {}}}, 0, Step::Wait},
        {{script, FakeProcess{11, "sudo", 'S', 9, {}}}, 0, Step::Write}}},
      {"sudo never seems to wait",
       {{{script, sudo_busy}, 0, Step::Wait}, {{script, sudo_busy}, 10, Step::Write}}},
      {"sudo runs its command", {{{script, sudo_running_command, command}, 0, Step::Withhold}}},
      {"no sudo yet", {{{bash_alone}, 0, Step::Wait}, {{bash_alone}, 59, Step::Wait}}},
      {"no sudo ever", {{{bash_alone}, 0, Step::Wait}, {{bash_alone}, 60, Step::Withhold}}},
      {"the script ended", {{{}, 0, Step::Withhold}}},
      {"the script is a zombie", {{{FakeProcess{10, "bash", 'Z', 1, {}}}, 0, Step::Withhold}}},
      {"sudo three below",
       {{{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "sudo", 'S', 3, {}}},
         0,
         Step::Wait},
        {{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "sudo", 'S', 3, {}}},
         0,
         Step::Write}}},
      {"a sudo four below is not the script's",
       {{{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "bash", 'S', 1, {22}}, FakeProcess{22, "sudo", 'S', 3, {}}},
         0,
         Step::Wait}}},
  };
  for (const Case& c : cases) {
    const TempDir proc;
    const auto start = std::chrono::steady_clock::time_point{};
    PasswordHandOver handover(10, start, {}, proc.path());
    for (const Look& look : c.looks) {
      std::filesystem::remove_all(proc.path());
      std::filesystem::create_directories(proc.path());
      write_fake_proc(proc.path(), look.processes);
      EXPECT_EQ(handover.next(start + std::chrono::seconds(look.seconds)), look.step) << c.name;
    }
  }
}

}  // namespace
}  // namespace sorvane::gui
