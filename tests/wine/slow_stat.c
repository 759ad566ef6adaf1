/* A drive that answers slowly, as a network drive on a bad line does, for the
 * Wine suite: preloaded into Wine (LD_PRELOAD), it holds every look-up of one
 * file's Unix path for a while before answering it. Wine turns a file test
 * (GetFileAttributesW) into stat calls on the path under dosdevices, so the
 * program's test of that one file takes as long as the suite says, and
 * nothing else is touched.
 *   KELDO_SLOW_PATH  the end of the Unix path to hold, e.g.
 *                    "/dosdevices/d:/Keldo6/GENDATA/GeneralKeldo6data.mdb"
 *   KELDO_SLOW_MS    how long each look-up of it is held (at most 10000)
 * Built by run-wine-suite.sh with the host's C compiler. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

static void hold_if_slow(const char *path) {
  const char *slow = getenv("KELDO_SLOW_PATH");
  const char *ms_text = getenv("KELDO_SLOW_MS");
  if (!path || !slow || !*slow || !ms_text) return;
  size_t length = strlen(path), tail = strlen(slow);
  if (length < tail || strcmp(path + length - tail, slow) != 0) return;
  long ms = strtol(ms_text, NULL, 10);
  if (ms <= 0) return;
  if (ms > 10000) ms = 10000;
  struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&pause, &pause) != 0) {
  }
}

int stat(const char *path, struct stat *buffer) {
  static int (*real)(const char *, struct stat *);
  if (!real) real = (int (*)(const char *, struct stat *))dlsym(RTLD_NEXT, "stat");
  hold_if_slow(path);
  return real(path, buffer);
}

int lstat(const char *path, struct stat *buffer) {
  static int (*real)(const char *, struct stat *);
  if (!real) real = (int (*)(const char *, struct stat *))dlsym(RTLD_NEXT, "lstat");
  hold_if_slow(path);
  return real(path, buffer);
}

int fstatat(int folder, const char *path, struct stat *buffer, int flags) {
  static int (*real)(int, const char *, struct stat *, int);
  if (!real) real = (int (*)(int, const char *, struct stat *, int))dlsym(RTLD_NEXT, "fstatat");
  hold_if_slow(path);
  return real(folder, path, buffer, flags);
}
