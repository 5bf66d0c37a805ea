#include "test_support.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "unique_fd.hpp"

namespace sorvane::test {

bool in_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string_view(ci) == "true";
}

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}

TempDir::TempDir(const std::string& base) {
  std::string pattern = base + "/sorvane-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  set_mode(path_, 0755);
}

TempDir::~TempDir() {
  // Tests make some directories unwritable; give the owner back its rights.
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
  }
  ::chmod(path_.c_str(), 0700);
  std::filesystem::remove_all(path_, ec);
}

void write_file(const std::string& path, std::string_view contents, mode_t mode) {
  const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (!fd.valid()) throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd.get(), contents.data() + done, contents.size() - done);
    if (n <= 0) throw std::runtime_error("cannot write " + path);
    done += static_cast<size_t>(n);
  }
  set_mode(path, mode);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void make_dir(const std::string& path, mode_t mode) {
  if (::mkdir(path.c_str(), mode) != 0) throw std::runtime_error("cannot mkdir " + path);
  set_mode(path, mode);
}

void set_mode(const std::string& path, mode_t mode) {
  if (::chmod(path.c_str(), mode) != 0) throw std::runtime_error("cannot chmod " + path);
}

struct stat stat_of(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path);
  return st;
}

struct stat lstat_of(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) throw std::runtime_error("cannot lstat " + path);
  return st;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_dir(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

int ProcessResult::exit_code() const {
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t start_process(const std::vector<std::string>& argv, const ProcessOptions& options,
                    const std::string& out_path, const std::string& err_path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, options.stdin_file.value_or("/dev/null").c_str(),
                                   O_RDONLY, 0);
  if (options.stdout_fd) {
    posix_spawn_file_actions_adddup2(&actions, *options.stdout_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (!options.cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());

  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& e : options.env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  pid_t pid = -1;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
  return pid;
}

int wait_for(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
  // Output goes to files, so a chatty child can never block on a pipe.
  const TempDir capture;
  const std::string out_path = capture / "out";
  const std::string err_path = capture / "err";
  ProcessResult result;
  result.status = wait_for(start_process(argv, options, out_path, err_path));
  if (!options.stdout_fd) result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

bool in_child(const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body() ? 0 : 1);
  if (child < 0) return false;
  const int status = wait_for(child);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool drop_to_nobody() {
  constexpr uid_t NOBODY = 65534;
  return ::setgroups(0, nullptr) == 0 && ::setgid(NOBODY) == 0 && ::setuid(NOBODY) == 0;
}

void in_directory(const std::string& dir, const std::function<void()>& body) {
  // Goes back even when body throws, so no later test runs elsewhere.
  struct Return {
    UniqueFd saved{::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    Return() = default;
    Return(const Return&) = delete;
    Return& operator=(const Return&) = delete;
    Return(Return&&) = delete;
    Return& operator=(Return&&) = delete;
    ~Return() {
      if (saved.valid() && ::fchdir(saved.get()) != 0) std::abort();
    }
  } back;
  ASSERT_TRUE(back.saved.valid());
  ASSERT_EQ(::chdir(dir.c_str()), 0);
  body();
}

std::string sorvane_binary() {
  return SORVANE_BINARY;
}
std::string source_dir() {
  return SORVANE_SOURCE_DIR;
}
std::string fault_shim() {
  return SORVANE_FAULT_SHIM;
}

Layout::Layout(std::string_view detector) {
  make_dir(root / "app");
  make_dir(root / "app/bin");
  make_dir(root / "scripts");
  binary = root / "app/bin/sorvane";
  std::filesystem::copy_file(sorvane_binary(), binary);
  set_mode(binary, 0755);
  write_file(root / "scripts/detect-package-managers.sh", detector);
}

std::string make_trusted_manager(const TempDir& dir, std::string_view name) {
  const std::string path = dir / name;
  write_file(path, "#!/bin/sh\nexit 0\n", 0755);
  return path;
}

Monitored::Monitored(const std::string& base) : run(std::move(gui::RunDir::make(base).value())) {}

Result<gui::StartedUpdate, OsError> Monitored::start(std::string_view script,
                                                     const std::vector<std::string>& environment,
                                                     int held, const std::string& bash) {
  auto log = run.create_log();
  if (!log) return log.error();
  const UniqueFd dir(::openat(run.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return gui::start_update(SORVANE_CORE_MONITOR, bash, script, log.value().get(), dir.get(),
                           environment, {}, held);
}

std::optional<gui::RunStatus> Monitored::ended(gui::StartedUpdate& update) const {
  (void)update.monitor.wait_until();
  return gui::recorded_status(run.fd(), ::geteuid());
}

}  // namespace sorvane::test
