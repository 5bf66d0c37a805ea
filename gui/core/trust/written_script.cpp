#include "written_script.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

constexpr mode_t SCRIPT_MODE = 0600;
constexpr mode_t PERMISSION_BITS = 07777;

ScriptRefusal refusal(ScriptRefusal::Why why) {
  return {why};
}
ScriptRefusal unreadable() {
  return {ScriptRefusal::Why::Unreadable, OsError::last()};
}

}  // namespace

Result<std::string, ScriptRefusal> read_checked_script(const std::string& dir,
                                                       const std::string& name, uid_t user,
                                                       std::string_view payload) {
  const UniqueFd dir_fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir_fd.valid()) return unreadable();
  return read_checked_script(dir_fd.get(), name, user, payload);
}

Result<std::string, ScriptRefusal> read_checked_script(int dir_fd, const std::string& name,
                                                       uid_t user, std::string_view payload) {
  struct stat dir_st {};
  if (::fstat(dir_fd, &dir_st) != 0) return unreadable();
  if (dir_st.st_uid != user) return refusal(ScriptRefusal::Why::DirectoryNotTheUsers);
  if ((dir_st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return refusal(ScriptRefusal::Why::DirectoryWritableByOthers);
  }

  // O_NONBLOCK: a FIFO planted under the name must not hang the window.
  const UniqueFd fd(::openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ELOOP) return refusal(ScriptRefusal::Why::NotARegularFile);
    return unreadable();
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return unreadable();
  if (!S_ISREG(st.st_mode)) return refusal(ScriptRefusal::Why::NotARegularFile);
  if (st.st_uid != user) return refusal(ScriptRefusal::Why::FileNotTheUsers);
  if ((st.st_mode & PERMISSION_BITS) != SCRIPT_MODE) return refusal(ScriptRefusal::Why::WrongMode);
  if (static_cast<size_t>(st.st_size) != payload.size()) {
    return refusal(ScriptRefusal::Why::Changed);
  }

  // One byte more than expected is asked for, so a file that grew after the
  // fstat is caught too.
  std::string bytes(payload.size() + 1, '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        retry_on_eintr([&] { return ::read(fd.get(), bytes.data() + done, bytes.size() - done); });
    if (n < 0) return unreadable();
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  if (bytes != payload) return refusal(ScriptRefusal::Why::Changed);
  return bytes;
}

}  // namespace sorvane::gui
