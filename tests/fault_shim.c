/* Fault injection for the update-script writer, loaded with LD_PRELOAD.
 *
 * SORVANE_FAULT=<call>:<errno number>  makes that call fail with the error;
 * SORVANE_FAULT=write:zero              makes write() report 0 bytes written;
 * SORVANE_FAULT=write:eintr             interrupts the first write with EINTR;
 * SORVANE_FAULT=write:short             writes at most 100 bytes per call.
 * <call> is one of open, fchmod, write, fsync, renameat. Only calls on the
 * writer's temporary file are touched (renameat: every call), so the
 * program's own output is unaffected; open fails only the first time. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char TEMP_PREFIX[] = ".update-script-";

/* The fault's argument for this call, or NULL when it is not the target. */
static const char* fault_for(const char* call) {
  const char* setting = getenv("SORVANE_FAULT");
  size_t len = strlen(call);
  if (setting == NULL || strncmp(setting, call, len) != 0 || setting[len] != ':') return NULL;
  return setting + len + 1;
}

static int fail_with(const char* arg) {
  errno = atoi(arg);
  return -1;
}

static int is_temp_name(const char* path) {
  const char* name = strrchr(path, '/');
  return strncmp(name != NULL ? name + 1 : path, TEMP_PREFIX, sizeof TEMP_PREFIX - 1) == 0;
}

static int is_temp_file(int fd) {
  char link[64];
  char target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  if (n < 0) return 0;
  target[n] = '\0';
  return is_temp_name(target);
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static int open_with_fault(const char* path, int flags, mode_t mode,
                           int (*next)(const char*, int, ...)) {
  static int failed = 0;
  const char* arg = fault_for("open");
  if (arg != NULL && !failed && is_temp_name(path)) {
    failed = 1;
    return fail_with(arg);
  }
  return next(path, flags, mode);
}

/* open and open64 take a mode only with O_CREAT or O_TMPFILE. */
#define DEFINE_OPEN(name)                                  \
  int name(const char* path, int flags, ...) {             \
    mode_t mode = 0;                                       \
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {            \
      va_list args;                                        \
      va_start(args, flags);                               \
      mode = va_arg(args, mode_t);                         \
      va_end(args);                                        \
    }                                                      \
    return open_with_fault(path, flags, mode, NEXT(name)); \
  }

DEFINE_OPEN(open)
DEFINE_OPEN(open64)

int fchmod(int fd, mode_t mode) {
  const char* arg = fault_for("fchmod");
  if (arg != NULL && is_temp_file(fd)) return fail_with(arg);
  return NEXT(fchmod)(fd, mode);
}

ssize_t write(int fd, const void* buf, size_t count) {
  static int interrupted = 0;
  const char* arg = fault_for("write");
  if (arg != NULL && is_temp_file(fd)) {
    if (strcmp(arg, "zero") == 0) return 0;
    if (strcmp(arg, "short") == 0) return NEXT(write)(fd, buf, count < 100 ? count : 100);
    if (strcmp(arg, "eintr") != 0) return fail_with(arg);
    if (!interrupted) {
      interrupted = 1;
      errno = EINTR;
      return -1;
    }
  }
  return NEXT(write)(fd, buf, count);
}

int fsync(int fd) {
  const char* arg = fault_for("fsync");
  if (arg != NULL && is_temp_file(fd)) return fail_with(arg);
  return NEXT(fsync)(fd);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
  const char* arg = fault_for("renameat");
  if (arg != NULL) return fail_with(arg);
  return NEXT(renameat)(olddirfd, oldpath, newdirfd, newpath);
}
