/* A dead network share, made with LD_PRELOAD: calls on a path that holds a
 * marker block for a while before they go through, as reads on a share whose
 * server is gone do. Used by linux_stall.sh; built at test time
 * (cc -shared -fPIC stall_shim.c -ldl).
 *
 *   GLIMMORA_STALL_MARK     the marker (no stall without it)
 *   GLIMMORA_STALL_SECONDS  how long each call blocks (10 by default)
 *   GLIMMORA_STALL_CALLS    which calls block, any of "opendir", "readdir"
 *                           (entries of a folder opened on a marked path) and
 *                           "open" (files); all three by default
 *   GLIMMORA_STALL_LOG      a file that gets "<call> <path>" as each stall begins
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kMaxMarkedFolders = 64 };

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static DIR* g_marked_folders[kMaxMarkedFolders];

static int Stalls(const char* call, const char* path) {
  const char* mark = getenv("GLIMMORA_STALL_MARK");
  if (!mark || !*mark || !path || !strstr(path, mark)) return 0;
  const char* calls = getenv("GLIMMORA_STALL_CALLS");
  return !calls || strstr(calls, call) != NULL;
}

static int RealOpen(const char* path, int flags, mode_t mode) {
  static int (*real)(const char*, int, ...);
  if (!real) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
  return real(path, flags, mode);
}

static void Block(const char* call, const char* path) {
  const char* log = getenv("GLIMMORA_STALL_LOG");
  if (log) {
    int fd = RealOpen(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
      char line[4200];
      int n = snprintf(line, sizeof line, "%s %s\n", call, path);
      if (n > 0) write(fd, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
      close(fd);
    }
  }
  const char* seconds = getenv("GLIMMORA_STALL_SECONDS");
  struct timespec left = {seconds ? atoi(seconds) : 10, 0};
  while (nanosleep(&left, &left) != 0) {
  }
}

static mode_t ModeOf(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (Stalls("open", path)) Block("open", path);
  return RealOpen(path, flags, mode);
}

// The same function under the name large-file builds call.
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

DIR* opendir(const char* path) {
  static DIR* (*real)(const char*);
  if (!real) real = (DIR * (*)(const char*)) dlsym(RTLD_NEXT, "opendir");
  if (Stalls("opendir", path)) Block("opendir", path);
  DIR* dir = real(path);
  if (dir && Stalls("readdir", path)) {
    pthread_mutex_lock(&g_lock);
    for (int i = 0; i < kMaxMarkedFolders; ++i)
      if (!g_marked_folders[i]) {
        g_marked_folders[i] = dir;
        break;
      }
    pthread_mutex_unlock(&g_lock);
  }
  return dir;
}

static int Marked(DIR* dir) {
  int marked = 0;
  pthread_mutex_lock(&g_lock);
  for (int i = 0; i < kMaxMarkedFolders; ++i) marked |= g_marked_folders[i] == dir;
  pthread_mutex_unlock(&g_lock);
  return marked;
}

int closedir(DIR* dir) {
  static int (*real)(DIR*);
  if (!real) real = (int (*)(DIR*))dlsym(RTLD_NEXT, "closedir");
  pthread_mutex_lock(&g_lock);
  for (int i = 0; i < kMaxMarkedFolders; ++i)
    if (g_marked_folders[i] == dir) g_marked_folders[i] = NULL;
  pthread_mutex_unlock(&g_lock);
  return real(dir);
}

struct dirent* readdir(DIR* dir) {
  static struct dirent* (*real)(DIR*);
  if (!real) real = (struct dirent * (*)(DIR*)) dlsym(RTLD_NEXT, "readdir");
  if (Marked(dir)) Block("readdir", "(marked folder)");
  return real(dir);
}

struct dirent64* readdir64(DIR* dir) {
  static struct dirent64* (*real)(DIR*);
  if (!real) real = (struct dirent64 * (*)(DIR*)) dlsym(RTLD_NEXT, "readdir64");
  if (Marked(dir)) Block("readdir", "(marked folder)");
  return real(dir);
}
