/* Fault injection for the update-script writer, loaded with LD_PRELOAD.
 *
 * SORVANE_FAULT=<call>:<errno number>  makes that call fail with the error;
 * SORVANE_FAULT=write:zero              makes write() report 0 bytes written.
 * <call> is one of fchmod, write, fsync, renameat. Only calls on the
 * writer's temporary file are touched (renameat: every call), so the
 * program's own output is unaffected. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char TEMP_PREFIX[] = ".update-script-";

static int fault_for(const char* call, int* zero) {
  const char* spec = getenv("SORVANE_FAULT");
  size_t len = strlen(call);
  if (spec == NULL || strncmp(spec, call, len) != 0 || spec[len] != ':') return 0;
  if (strcmp(spec + len + 1, "zero") == 0) {
    *zero = 1;
    return 0;
  }
  return atoi(spec + len + 1);
}

static int is_temp_file(int fd) {
  char link[64];
  char target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  if (n < 0) return 0;
  target[n] = '\0';
  const char* name = strrchr(target, '/');
  return name != NULL && strncmp(name + 1, TEMP_PREFIX, sizeof TEMP_PREFIX - 1) == 0;
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int fchmod(int fd, mode_t mode) {
  int zero = 0;
  int err = fault_for("fchmod", &zero);
  if (err != 0 && is_temp_file(fd)) {
    errno = err;
    return -1;
  }
  return NEXT(fchmod)(fd, mode);
}

ssize_t write(int fd, const void* buf, size_t count) {
  int zero = 0;
  int err = fault_for("write", &zero);
  if ((err != 0 || zero) && is_temp_file(fd)) {
    if (zero) return 0;
    errno = err;
    return -1;
  }
  return NEXT(write)(fd, buf, count);
}

int fsync(int fd) {
  int zero = 0;
  int err = fault_for("fsync", &zero);
  if (err != 0 && is_temp_file(fd)) {
    errno = err;
    return -1;
  }
  return NEXT(fsync)(fd);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
  int zero = 0;
  int err = fault_for("renameat", &zero);
  if (err != 0) {
    errno = err;
    return -1;
  }
  return NEXT(renameat)(olddirfd, oldpath, newdirfd, newpath);
}
