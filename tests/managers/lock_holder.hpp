// A lock held as apt holds its locks, for the tests that name its holder.
#pragma once

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>

namespace sorvane::test {

// A process of its own holding a write lock on `file`, as apt holds its
// locks, until it is killed; -1 when none could be started.
inline pid_t hold_write_lock(const std::filesystem::path& file) {
  const pid_t holder = ::fork();
  if (holder != 0) return holder;
  const int fd = ::open(file.c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0) ::_exit(1);
  ::pause();
  ::_exit(0);
}

}  // namespace sorvane::test
