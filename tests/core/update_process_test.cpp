#include "update_process.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <csignal>

#include "past_update.hpp"
#include "secret.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::CarelessWindow;
using test::Monitored;
using test::TempDir;

// The claim goes with the monitor's last descriptor: under a sanitizer its
// leak checker, which shares them, may outlive it by a moment.
bool claim_gone(const std::string& base) {
  for (int i = 0; i < 200; ++i) {
    if (!running_update_log(base, ::geteuid())) return true;
    ::usleep(50'000);
  }
  return false;
}

TEST(UpdateProcess, KeepsOnlyTheFiveVariables) {
  std::array<std::string, 8> variables = {
      "LD_PRELOAD=/x.so", "HOME=/home/u",
      "BASH_ENV=/x",      "USERX=no",
      "USER=u",           "DBUS_SESSION_BUS_ADDRESS=unix:path=/x",
      "LANG=de_DE.UTF-8", "XDG_RUNTIME_DIR=/run/user/1"};
  std::vector<char*> environ;
  for (auto& variable : variables) environ.push_back(variable.data());
  environ.push_back(nullptr);
  EXPECT_EQ(kept_environment(environ.data()),
            (std::vector<std::string>{"HOME=/home/u", "USER=u", "LANG=de_DE.UTF-8",
                                      "XDG_RUNTIME_DIR=/run/user/1"}));
}

// A language variable reaches the script (and, through an odd sudoers,
// root's managers) or the monitor only when it names a locale: glibc reads
// the locale data and translated format strings of a directory it names.
TEST(UpdateProcess, LanguageVariablesThatNameAPathAreDropped) {
  struct Case {
    std::string variable;
    bool kept;
  };
  const std::vector<Case> cases = {
      {"LANG=de_DE.UTF-8", true},       {"LANG=C", true},
      {"LANG=sr_RS.UTF-8@latin", true}, {"LANG=/home/u/evil", false},
      {"LANG=../../../tmp/x", false},   {"LANG=de_DE.UTF-8/../../x", false},
      {"LANG=de%n%n", false},           {"LANG=de DE", false},
      {"LANGUAGE=en:de", true},         {"LANGUAGE=/tmp/x:de", false},
      {"LC_ALL=/tmp/locale", false},    {"LC_MESSAGES=pt_BR.UTF-8", true},
      {"LC_MESSAGES=..", false},        {"LANG=" + std::string(300, 'a'), false},
      {"HOME=/home/u/a/../b", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variable);
    std::string variable = c.variable;
    std::array<char*, 2> environ = {variable.data(), nullptr};
    const auto kept = [&](std::vector<std::string> got) {
      return std::find(got.begin(), got.end(), c.variable) != got.end();
    };
    const bool for_monitor = !c.variable.starts_with("LANG=") && !c.variable.starts_with("HOME=");
    EXPECT_EQ(kept(for_monitor ? monitor_extras(environ.data()) : kept_environment(environ.data())),
              c.kept);
  }
}

// What the script can see of its own start, one fact a line; the signal
// state as the programs it starts get it (bash keeps some of its own).
constexpr std::string_view SELF_REPORT = R"SCRIPT(read -r line
printf 'input=%s\n' "$line"
read -r -t 60 more
printf 'then=%s\n' "$?"
printf 'umask=%s\n' "$(umask)"
printf 'cwd=%s\n' "$PWD"
printf 'env=%s\n' "$(tr '\0' ' ' </proc/$$/environ)"
(cd /proc/$$/fd && fds=(*) && echo "fds=${fds[*]}")
read -r -a stat </proc/$$/stat
[[ ${stat[5]} == "$$" && ${stat[6]} == 0 ]] && echo "own session, no terminal"
grep -E '^Sig(Ign|Blk)' /proc/self/status
{ printf x >>/dev/fd/3 || printf x 1<>/dev/fd/3; } 2>/dev/null || echo "script sealed"
)SCRIPT";

SecretBytes secret_of(std::string_view text) {
  SecretBytes secret;
  for (const char c : text) secret.append_byte(c);
  return secret;
}

// A log as a run directory makes one: new, appended to, readable.
UniqueFd new_log(const std::string& path) {
  return UniqueFd(
      ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

TEST(UpdateProcess, RunsTheSealedScriptInACleanChildThatKeepsItsInputToItself) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = [&] {
    const CarelessWindow careless(077);
    return monitored.start(SELF_REPORT, {"HOME=/home/u", "LANG=C.UTF-8"});
  }();
  ASSERT_TRUE(started.ok()) << started.error().text();
  StartedUpdate& update = started.value();

  // Another process of the user cannot open the script's input. Another
  // that opens the script's bytes (/dev/fd/3, as /proc/<pid>/fd/3) can
  // neither add to them nor rewrite them in place ("script sealed"); a
  // second read of the input sees its end, so a sudo that asks again (a
  // wrong password) fails rather than hangs ("then=1"; 60 s bound it).
  const std::string input_link = "/proc/" + std::to_string(update.pid) + "/fd/0";
  EXPECT_LT(::open(input_link.c_str(), O_RDONLY | O_CLOEXEC), 0);
  EXPECT_EQ(errno, ENXIO);

  EXPECT_FALSE(send_password(update, secret_of("pass word")).has_value());
  const auto status = monitored.ended(update);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->wait_status, 0);
  EXPECT_EQ(unread_input(update), 0U);
  EXPECT_EQ(monitored.log(),
            "input=pass word\n"
            "then=1\n"
            "umask=0022\n"
            "cwd=/\n"
            "env=HOME=/home/u LANG=C.UTF-8 \n"
            "fds=0 1 2 255 3\n"
            "own session, no terminal\n"
            "SigBlk:\t0000000000000000\n"
            "SigIgn:\t0000000000000000\n"
            "script sealed\n");
}

// The monitor keeps the descriptors the update lives by: the script never
// sees the inhibitor, the log or the run, and whatever the script leaves
// running (a daemon a package starts, holding the pipe) keeps none of
// them: once the script ended the claim is gone and the inhibitor closed.
TEST(UpdateProcess, WhatTheScriptLeavesBehindKeepsNoClaim) {
  const TempDir dir;
  std::array<int, 2> held{};
  ASSERT_EQ(::pipe2(held.data(), O_CLOEXEC), 0);
  const UniqueFd held_read(held[0]);
  UniqueFd held_write(held[1]);
  Monitored monitored(dir.path());
  auto started = monitored.start(
      // In a subshell of no pipe: a pipeline's ends are the script's own a moment.
      "(cd /proc/$$/fd && fds=(*) && echo \"${fds[*]} \")\n"
      "(trap '' HUP; exec sleep 600) & echo \"daemon $!\"\n"
      "echo 'Update complete.'\n",
      {}, held_write.get());
  ASSERT_TRUE(started.ok()) << started.error().text();
  held_write.reset();
  const auto status = monitored.ended(started.value());
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->wait_status, 0);
  const std::string log = monitored.log();
  EXPECT_TRUE(log.starts_with("0 1 2 255 3 \ndaemon ")) << log;
  const pid_t daemon = std::stoi(log.substr(log.find("daemon ") + 7));
  // The daemon still runs and holds the pipe, yet nothing runs any more.
  EXPECT_EQ(::kill(daemon, 0), 0);
  EXPECT_TRUE(claim_gone(dir.path()));
  std::array<char, 1> byte{};
  EXPECT_EQ(::read(held_read.get(), byte.data(), byte.size()), 0);  // closed by everyone
  ::kill(daemon, SIGKILL);
}

// Only the recorded status tells how the update ended: a manager killed
// after a package printed the script's last line is a failure; a status
// file planted, linked or foreign is no status at all.
TEST(UpdateProcess, TheRecordedStatusIsTheOnlyEnd) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start(
      "echo 'Starting system update...'\necho 'Updating apt packages...'\n"
      "bash -c 'echo \"Update complete.\"; kill -KILL $$'\nexit $?\n");
  ASSERT_TRUE(started.ok()) << started.error().text();
  const auto status = monitored.ended(started.value());
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(status->wait_status));
  EXPECT_EQ(WEXITSTATUS(status->wait_status), 137);
  EXPECT_NE(monitored.log().find("\nUpdate complete.\n"), std::string::npos) << monitored.log();
  EXPECT_LE(status->started, status->ended);
  // Read as the next start reads it, once the window is closed.
  ::flock(monitored.run.fd(), LOCK_UN);
  const auto last = unshown_run(dir.path(), ::geteuid());
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->wait_status, status->wait_status);
  const PastUpdate past = read_past_update(last->log.get(), last->wait_status, last->started,
                                           last->ended, "/", last->sudo_end);
  EXPECT_EQ(past.finish.outcome, Outcome::Failed);
  EXPECT_EQ(past.finish.failed_step, Step::Apt);
  // The monitor creates it, never over one that is there.
  EXPECT_TRUE(record_status(monitored.run.fd(), {}).has_value());

  const uid_t me = ::geteuid();
  const std::string good = "wait-status 0\nstarted 1\nended 2\n";
  const struct {
    const char* name;
    std::string contents;
    mode_t mode;
    bool link;
    bool other_owner;
    bool believed;
  } cases[] = {
      {"as the monitor writes it", good, 0400, false, false, true},
      {"writable", good, 0600, false, false, false},
      {"a link to a good one", good, 0400, true, false, false},
      {"another user's", good, 0400, false, true, false},
      {"cut short", "wait-status 0\nstarted 1\n", 0400, false, false, false},
      {"with more after it", good + "x", 0400, false, false, false},
      {"not a number", "wait-status zero\nstarted 1\nended 2\n", 0400, false, false, false},
      {"empty", "", 0400, false, false, false},
  };
  for (const auto& c : cases) {
    const TempDir run;
    const std::string target = c.link ? run.path() + "/elsewhere" : run.path() + "/update.status";
    test::write_file(target, c.contents, c.mode);
    if (c.link) {
      ASSERT_EQ(::symlink("elsewhere", (run.path() + "/update.status").c_str()), 0);
    }
    // Only root can give a file away.
    if (c.other_owner && me != 0) continue;
    if (c.other_owner) {
      ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    const UniqueFd fd(::open(run.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    EXPECT_EQ(recorded_status(fd.get(), me).has_value(), c.believed) << c.name;
  }
}

// A package may print what the script prints after sudo. The monitor
// holds the script still while sudo runs and counts such lines up to
// sudo's end, so that every reader tells the package's from the script's.
// The stand-in for sudo is bash under sudo's name, which is how the
// monitor knows it.
TEST(UpdateProcess, WhatSudosCommandsPrintCannotStartTheStepsAfterIt) {
  const TempDir bin;
  ASSERT_EQ(::symlink("/usr/bin/bash", (bin / "sudo").c_str()), 0);
  const std::string faked =
      "echo 'Updating apt packages...'; sleep 0.3; read -r _ _ held _ </proc/$PPID/stat\n"
      "echo \"script: $held\"; echo 'Updating Flatpak packages...'; echo 'Update complete.'\n";
  const struct {
    const char* name;
    std::string after_fake;  // what sudo's command does then
    int status;
    std::optional<Step> blamed;
  } cases[] = {
      {"apt killed after a package's lines", "kill -KILL $$", 137, Step::Apt},
      {"flatpak fails after sudo succeeded", "exit 0", 1, Step::Flatpak},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    test::write_file(bin / "commands", faked + c.after_fake + "\n", 0644);
    Monitored monitored(dir.path());
    auto started = monitored.start("set -e\necho 'Starting system update...'\necho\n" +
                                   bin / "sudo" + " --norc " + bin / "commands" +
                                   "\necho 'Updating Flatpak packages...'\nexit 1\n");
    ASSERT_TRUE(started.ok()) << started.error().text();
    const auto status = monitored.ended(started.value());
    ASSERT_TRUE(status.has_value()) << c.name;
    EXPECT_EQ(WEXITSTATUS(status->wait_status), c.status) << c.name << monitored.log();
    // Held while sudo ran.
    EXPECT_NE(monitored.log().find("\nscript: T\n"), std::string::npos)
        << c.name << monitored.log();
    const auto sudo_end = recorded_sudo_end(monitored.run.fd(), ::geteuid());
    ASSERT_TRUE(sudo_end.has_value()) << c.name;
    EXPECT_EQ(sudo_end->step_lines, 1U) << c.name;
    ::flock(monitored.run.fd(), LOCK_UN);
    const auto last = unshown_run(dir.path(), ::geteuid());
    ASSERT_TRUE(last.has_value()) << c.name;
    const PastUpdate past = read_past_update(last->log.get(), last->wait_status, last->started,
                                             last->ended, "/", last->sudo_end);
    EXPECT_EQ(past.finish.failed_step, c.blamed) << c.name << monitored.log();
  }
}

TEST(UpdateProcess, APasswordNobodyReadIsSeenAndDrained) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start("sleep 0.2\n");
  ASSERT_TRUE(started.ok());
  // Storage the test can look at: once written, nothing of it is left.
  std::array<char, SecretBytes::CAPACITY> storage{};
  SecretBytes secret(storage);
  for (const char c : std::string_view("secret")) secret.append_byte(c);
  EXPECT_FALSE(send_password(started.value(), std::move(secret)).has_value());
  EXPECT_EQ(std::count(storage.begin(), storage.end(), '\0'), std::ssize(storage));
  EXPECT_EQ(unread_input(started.value()), 7U);
  drain_unread_input(started.value());
  EXPECT_EQ(unread_input(started.value()), 0U);
  EXPECT_EQ(monitored.ended(started.value())->wait_status, 0);
}

TEST(UpdateProcess, WithNoPasswordAQuestionStillSeesTheEnd) {
  // Under a NOPASSWD rule nothing is written, and a manager that asks must
  // not wait for ever.
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start("read -r answer\necho \"read=$?\"\n");
  ASSERT_TRUE(started.ok());
  EXPECT_FALSE(end_input(started.value()).has_value());
  EXPECT_EQ(monitored.ended(started.value())->wait_status, 0);
  EXPECT_EQ(monitored.log(), "read=1\n");
}

TEST(UpdateProcess, AProgramThatCannotStartIsAnError) {
  const TempDir dir;
  Monitored monitored(dir.path());
  const auto missing = monitored.start("true\n", {}, -1, dir.path() + "/no-bash");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), ENOENT);
  // Nothing ran: no status, and the claim went with the monitor.
  EXPECT_FALSE(recorded_status(monitored.run.fd(), ::geteuid()).has_value());
  EXPECT_TRUE(claim_gone(dir.path()));
  const UniqueFd log = new_log(dir.path() + "/log");
  EXPECT_EQ(start_update(SORVANE_CORE_MONITOR, "/usr/bin/bash", "true\n", log.get(), -1, {})
                .error()
                .code(),
            EBADF);
}

}  // namespace
}  // namespace sorvane::gui
