/* A preload library for the torture sweep (tools/torture/sweep.py): it
 * counts the calls a process makes of the functions below and, when asked,
 * fails the N-th call of one of them as the system would, with a fitting
 * errno.
 *
 *   KELDO_TORTURE_FAIL=NAME:N[:ERRNO]  fail the N-th call of NAME (a name
 *                                      of the table; ERRNO a number)
 *   KELDO_TORTURE_EXE=NAME             count only in the program NAME
 *   KELDO_TORTURE_LOG=PATH             "fired" as the failure is injected;
 *                                      at exit "count NAME CALLS" for each
 *                                      function and "site NAME N" for the
 *                                      first call from each call stack of
 *                                      an allocation
 *
 * Only calls from outside the C library are seen: fopen's own open is not
 * counted. Everything here is async-signal-safe in spirit: no stdio, no
 * allocation of its own, raw system calls for the log. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

extern void *__libc_malloc(size_t);
extern void *__libc_calloc(size_t, size_t);
extern void *__libc_realloc(void *, size_t);

enum {
  F_MALLOC,
  F_CALLOC,
  F_REALLOC,
  F_STRDUP,
  F_OPEN,
  F_OPENAT,
  F_READ,
  F_FSTAT,
  F_STAT,
  F_LSTAT,
  F_OPENDIR,
  F_READDIR,
  F_FOPEN,
  F_FGETS,
  F_SOCKET,
  F_CONNECT,
  F_SEND,
  F_RECV,
  F_POLL,
  F_WRITE,
  F_RENAME,
  F_UNLINK,
  F_MKOSTEMP,
  F_ICONV_OPEN,
  F_PTHREAD_CREATE,
  F_COUNT
};

static const struct {
  const char *name;
  int error; /* the errno a failed call sets by default */
} kFunctions[F_COUNT] = {
    [F_MALLOC] = {"malloc", ENOMEM},
    [F_CALLOC] = {"calloc", ENOMEM},
    [F_REALLOC] = {"realloc", ENOMEM},
    [F_STRDUP] = {"strdup", ENOMEM},
    [F_OPEN] = {"open", EACCES},
    [F_OPENAT] = {"openat", EACCES},
    [F_READ] = {"read", EIO},
    [F_FSTAT] = {"fstat", EIO},
    [F_STAT] = {"stat", EACCES},
    [F_LSTAT] = {"lstat", EACCES},
    [F_OPENDIR] = {"opendir", EMFILE},
    [F_READDIR] = {"readdir", EIO},
    [F_FOPEN] = {"fopen", EMFILE},
    [F_FGETS] = {"fgets", EIO},
    [F_SOCKET] = {"socket", EMFILE},
    [F_CONNECT] = {"connect", ECONNREFUSED},
    [F_SEND] = {"send", ECONNRESET},
    [F_RECV] = {"recv", ECONNRESET},
    [F_POLL] = {"poll", ENOMEM},
    [F_WRITE] = {"write", EIO},
    [F_RENAME] = {"rename", EACCES},
    [F_UNLINK] = {"unlink", EACCES},
    [F_MKOSTEMP] = {"mkostemp", EACCES},
    [F_ICONV_OPEN] = {"iconv_open", ENOMEM},
    [F_PTHREAD_CREATE] = {"pthread_create", EAGAIN},
};

static unsigned long calls[F_COUNT];
static int failWhich = -1;
static unsigned long failAt;
static int failErrno;
static int logging;
static char logPath[4096];

/* The first call from each allocation call stack, by a hash of the stack. */
#define SITE_SLOTS 16384
static struct {
  uint64_t hash;
  unsigned long first;
  int function;
} sites[SITE_SLOTS];
/* A call of ours in progress on this thread. Initial-exec: a TLS slot that
 * the first access would allocate would recurse into malloc. */
static __thread int inside __attribute__((tls_model("initial-exec")));
/* Set by this library's constructor: no stack is walked before. */
static int ready;

static void Configure(void);
static int SweptProcess(void);

__attribute__((constructor)) static void Ready(void) {
  Configure();
  __atomic_store_n(&ready, 1, __ATOMIC_RELEASE);
}

/* Whether this process is the one swept: KELDO_TORTURE_EXE names its
 * program. The processes it starts, or a launcher (timeout, valgrind) that
 * starts it, would count and fail calls of their own. */
static int SweptProcess(void) {
  const char *wanted = getenv("KELDO_TORTURE_EXE");
  if (wanted == NULL) return 1;
  char exe[4096];
  const long length = syscall(SYS_readlink, "/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) return 0;
  exe[length] = '\0';
  const char *name = strrchr(exe, '/');
  return strcmp(name != NULL ? name + 1 : exe, wanted) == 0;
}

static void Configure(void) {
  static int done;
  if (__atomic_exchange_n(&done, 1, __ATOMIC_ACQ_REL)) return;
  if (!SweptProcess()) return;
  const char *log = getenv("KELDO_TORTURE_LOG");
  if (log != NULL && strlen(log) < sizeof logPath) {
    strcpy(logPath, log);
    logging = 1;
  }
  const char *fail = getenv("KELDO_TORTURE_FAIL");
  if (fail == NULL) return;
  const char *colon = strchr(fail, ':');
  if (colon == NULL) return;
  for (int f = 0; f < F_COUNT; ++f) {
    if (strlen(kFunctions[f].name) == (size_t)(colon - fail) &&
        strncmp(fail, kFunctions[f].name, (size_t)(colon - fail)) == 0) {
      char *end = NULL;
      failAt = strtoul(colon + 1, &end, 10);
      failErrno = end != NULL && *end == ':' ? atoi(end + 1) : kFunctions[f].error;
      failWhich = f;
    }
  }
}

static void RecordSite(int function, unsigned long n) {
  if (!logging || failWhich >= 0 || inside) return;
  inside = 1;
  // Until this library's constructor has run no stack is walked: each call
  // of the start-up before it (other libraries' constructors) is a site.
  uint64_t hash = n | 1ull << 63;
  if (__atomic_load_n(&ready, __ATOMIC_ACQUIRE)) {
    void *frames[12];
    const int depth = backtrace(frames, 12);
    hash = 1469598103934665603ull;
    for (int i = 1; i < depth; ++i)
      hash = (hash ^ (uint64_t)(uintptr_t)frames[i]) * 1099511628211ull;
    hash = (hash & ~(1ull << 63)) | 1;
  }
  for (unsigned i = 0; i < SITE_SLOTS; ++i) {
    const unsigned slot = (unsigned)((hash + i) % SITE_SLOTS);
    uint64_t expected = 0;
    if (__atomic_compare_exchange_n(&sites[slot].hash, &expected, hash, 0, __ATOMIC_ACQ_REL,
                                    __ATOMIC_ACQUIRE)) {
      sites[slot].first = n;
      sites[slot].function = function;
      break;
    }
    if (expected == hash) break;
  }
  inside = 0;
}

static void Put(int fd, const char *text);

static void LogFired(void) {
  if (!logging) return;
  const int fd =
      (int)syscall(SYS_openat, AT_FDCWD, logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  Put(fd, "fired\n");
  syscall(SYS_close, fd);
}

/* Counts a call of `function`; true when this one must fail. */
static int Fails(int function) {
  Configure();
  if (inside) return 0;
  const unsigned long n = __atomic_add_fetch(&calls[function], 1, __ATOMIC_RELAXED);
  if (function <= F_STRDUP) RecordSite(function, n);
  if (function != failWhich || n != failAt) return 0;
  LogFired();
  return 1;
}

#define NEXT(type, name, ...)       \
  static type (*next)(__VA_ARGS__); \
  if (next == NULL) next = (type(*)(__VA_ARGS__))dlsym(RTLD_NEXT, name)

void *malloc(size_t size) {
  if (Fails(F_MALLOC)) return errno = failErrno, NULL;
  return __libc_malloc(size);
}

void *calloc(size_t count, size_t size) {
  if (Fails(F_CALLOC)) return errno = failErrno, NULL;
  return __libc_calloc(count, size);
}

void *realloc(void *old, size_t size) {
  if (Fails(F_REALLOC)) return errno = failErrno, NULL;
  return __libc_realloc(old, size);
}

char *strdup(const char *text) {
  if (Fails(F_STRDUP)) return errno = failErrno, NULL;
  const size_t size = strlen(text) + 1;
  char *copy = __libc_malloc(size);
  return copy != NULL ? memcpy(copy, text, size) : NULL;
}

static int OpenWith(int (*next)(const char *, int, ...), const char *path, int flags,
                    va_list rest) {
  mode_t mode = 0;
  if (flags & (O_CREAT | __O_TMPFILE)) mode = (mode_t)va_arg(rest, int);
  return next(path, flags, mode);
}

int open(const char *path, int flags, ...) {
  NEXT(int, "open", const char *, int, ...);
  if (Fails(F_OPEN)) return errno = failErrno, -1;
  va_list rest;
  va_start(rest, flags);
  const int fd = OpenWith(next, path, flags, rest);
  va_end(rest);
  return fd;
}

int open64(const char *path, int flags, ...) __attribute__((alias("open")));

int openat(int dir, const char *path, int flags, ...) {
  NEXT(int, "openat", int, const char *, int, ...);
  if (Fails(F_OPENAT)) return errno = failErrno, -1;
  va_list rest;
  va_start(rest, flags);
  mode_t mode = 0;
  if (flags & (O_CREAT | __O_TMPFILE)) mode = (mode_t)va_arg(rest, int);
  va_end(rest);
  return next(dir, path, flags, mode);
}

int openat64(int dir, const char *path, int flags, ...) __attribute__((alias("openat")));

ssize_t read(int fd, void *buffer, size_t count) {
  NEXT(ssize_t, "read", int, void *, size_t);
  if (Fails(F_READ)) return errno = failErrno, -1;
  return next(fd, buffer, count);
}

int fstat(int fd, struct stat *st) {
  NEXT(int, "fstat", int, struct stat *);
  if (Fails(F_FSTAT)) return errno = failErrno, -1;
  return next(fd, st);
}

int fstat64(int fd, struct stat64 *st) {
  NEXT(int, "fstat64", int, struct stat64 *);
  if (Fails(F_FSTAT)) return errno = failErrno, -1;
  return next(fd, st);
}

int stat(const char *path, struct stat *st) {
  NEXT(int, "stat", const char *, struct stat *);
  if (Fails(F_STAT)) return errno = failErrno, -1;
  return next(path, st);
}

int stat64(const char *path, struct stat64 *st) {
  NEXT(int, "stat64", const char *, struct stat64 *);
  if (Fails(F_STAT)) return errno = failErrno, -1;
  return next(path, st);
}

int lstat(const char *path, struct stat *st) {
  NEXT(int, "lstat", const char *, struct stat *);
  if (Fails(F_LSTAT)) return errno = failErrno, -1;
  return next(path, st);
}

int lstat64(const char *path, struct stat64 *st) {
  NEXT(int, "lstat64", const char *, struct stat64 *);
  if (Fails(F_LSTAT)) return errno = failErrno, -1;
  return next(path, st);
}

DIR *opendir(const char *path) {
  NEXT(DIR *, "opendir", const char *);
  if (Fails(F_OPENDIR)) return errno = failErrno, NULL;
  return next(path);
}

struct dirent *readdir(DIR *dir) {
  NEXT(struct dirent *, "readdir", DIR *);
  if (Fails(F_READDIR)) return errno = failErrno, NULL;
  return next(dir);
}

struct dirent64 *readdir64(DIR *dir) {
  NEXT(struct dirent64 *, "readdir64", DIR *);
  if (Fails(F_READDIR)) return errno = failErrno, NULL;
  return next(dir);
}

FILE *fopen(const char *path, const char *mode) {
  NEXT(FILE *, "fopen", const char *, const char *);
  if (Fails(F_FOPEN)) return errno = failErrno, NULL;
  return next(path, mode);
}

FILE *fopen64(const char *path, const char *mode) {
  NEXT(FILE *, "fopen64", const char *, const char *);
  if (Fails(F_FOPEN)) return errno = failErrno, NULL;
  return next(path, mode);
}

char *fgets(char *line, int size, FILE *file) {
  NEXT(char *, "fgets", char *, int, FILE *);
  if (Fails(F_FGETS)) return errno = failErrno, NULL;
  return next(line, size, file);
}

int socket(int domain, int type, int protocol) {
  NEXT(int, "socket", int, int, int);
  if (Fails(F_SOCKET)) return errno = failErrno, -1;
  return next(domain, type, protocol);
}

int connect(int fd, const struct sockaddr *address, socklen_t length) {
  NEXT(int, "connect", int, const struct sockaddr *, socklen_t);
  if (Fails(F_CONNECT)) return errno = failErrno, -1;
  return next(fd, address, length);
}

ssize_t send(int fd, const void *data, size_t count, int flags) {
  NEXT(ssize_t, "send", int, const void *, size_t, int);
  if (Fails(F_SEND)) return errno = failErrno, -1;
  return next(fd, data, count, flags);
}

ssize_t recv(int fd, void *data, size_t count, int flags) {
  NEXT(ssize_t, "recv", int, void *, size_t, int);
  if (Fails(F_RECV)) return errno = failErrno, -1;
  return next(fd, data, count, flags);
}

int poll(struct pollfd *fds, nfds_t count, int timeout) {
  NEXT(int, "poll", struct pollfd *, nfds_t, int);
  if (Fails(F_POLL)) return errno = failErrno, -1;
  return next(fds, count, timeout);
}

ssize_t write(int fd, const void *data, size_t count) {
  NEXT(ssize_t, "write", int, const void *, size_t);
  if (Fails(F_WRITE)) return errno = failErrno, -1;
  return next(fd, data, count);
}

int rename(const char *from, const char *to) {
  NEXT(int, "rename", const char *, const char *);
  if (Fails(F_RENAME)) return errno = failErrno, -1;
  return next(from, to);
}

int unlink(const char *path) {
  NEXT(int, "unlink", const char *);
  if (Fails(F_UNLINK)) return errno = failErrno, -1;
  return next(path);
}

int mkostemp(char *pattern, int flags) {
  NEXT(int, "mkostemp", char *, int);
  if (Fails(F_MKOSTEMP)) return errno = failErrno, -1;
  return next(pattern, flags);
}

int mkostemp64(char *pattern, int flags) __attribute__((alias("mkostemp")));

iconv_t iconv_open(const char *to, const char *from) {
  NEXT(iconv_t, "iconv_open", const char *, const char *);
  if (Fails(F_ICONV_OPEN)) return errno = failErrno, (iconv_t)-1;
  return next(to, from);
}

int pthread_create(pthread_t *thread, const pthread_attr_t *attributes, void *(*start)(void *),
                   void *argument) {
  NEXT(int, "pthread_create", pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
  if (Fails(F_PTHREAD_CREATE)) return failErrno;
  return next(thread, attributes, start, argument);
}

/* The log, written with raw system calls: nothing of ours is counted. */
static void Put(int fd, const char *text) { syscall(SYS_write, fd, text, strlen(text)); }

static void PutNumber(int fd, unsigned long long n) {
  char digits[24];
  int at = (int)sizeof digits;
  digits[--at] = '\0';
  do {
    digits[--at] = (char)('0' + n % 10);
    n /= 10;
  } while (n != 0);
  Put(fd, digits + at);
}

__attribute__((destructor)) static void WriteLog(void) {
  if (!logging) return;
  inside = 1;
  const int fd =
      (int)syscall(SYS_openat, AT_FDCWD, logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  for (int f = 0; f < F_COUNT; ++f) {
    Put(fd, "count ");
    Put(fd, kFunctions[f].name);
    Put(fd, " ");
    PutNumber(fd, calls[f]);
    Put(fd, "\n");
  }
  for (unsigned i = 0; i < SITE_SLOTS; ++i) {
    if (sites[i].hash == 0) continue;
    Put(fd, "site ");
    Put(fd, kFunctions[sites[i].function].name);
    Put(fd, " ");
    PutNumber(fd, sites[i].first);
    Put(fd, "\n");
  }
  syscall(SYS_close, fd);
}
