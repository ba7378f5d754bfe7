/* Counts the frames that reach the screen, one count per monitor, and the
 * CPU time of groups of processes meanwhile. Used by
 * bench/transition_bench.sh; built at run time (cc frame_rate.c -lX11).
 *
 *   frame_rate SECONDS [--cpu LABEL PID[,PID]...]... X Y WIDTH [X Y WIDTH]...
 *
 * Each strip (WIDTH pixels of row Y from X, of the root window) is read with
 * one XGetImage about every millisecond for SECONDS; a reading that differs
 * from the strip's last one is a new frame. Prints, with milliseconds
 * counted from the start of the watch (a steady clock):
 *   change STRIP MS          a strip showed a new frame
 *   cpu MS MS0 MS1 ...       every 50 ms: each group's CPU time so far
 *                            (user + system of all its processes, from
 *                            /proc/PID/stat), in the order the groups came
 *   wait MS MS0 MS1 ...      with each cpu line: how long the main threads
 *                            of each group have waited for a CPU so far
 *                            (/proc/PID/schedstat)
 *   group N LABEL            once, first, for each group
 *   readings STRIP COUNT     at the end: how often each strip was read
 * The watcher's own CPU time is the group "watcher"; after it come
 * "machine", the time all CPUs of the machine were busy (every process,
 * these and others: at most 2000 ms a second on two cores), and "steal",
 * the time the hypervisor gave them to others (both from /proc/stat).
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { kMaxStrips = 8, kMaxGroups = 8, kMaxPids = 32 };

struct Group {
  const char* label;
  int pids[kMaxPids];
  long long last_ms[kMaxPids]; /* a process that has ended keeps its last figures */
  long long last_wait_ms[kMaxPids];
  int count;
};

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* User + system time of a process in ms, or -1 when it is gone. */
static long long ProcessCpuMs(int pid) {
  char path[64], text[1024];
  if (pid > 0)
    snprintf(path, sizeof path, "/proc/%d/stat", pid);
  else
    snprintf(path, sizeof path, "/proc/self/stat");
  FILE* file = fopen(path, "r");
  if (!file) return -1;
  size_t size = fread(text, 1, sizeof text - 1, file);
  fclose(file);
  text[size] = 0;
  const char* p = strrchr(text, ')'); /* the name may hold spaces */
  if (!p) return -1;
  unsigned long utime = 0, stime = 0;
  /* After the name: state, then fields 4..13, then utime (14) and stime (15). */
  if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) return -1;
  return (long long)(utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

/* How long the process's main thread has waited for a CPU, in ms; -1 when it is gone. */
static long long MainThreadWaitMs(int pid) {
  char path[64];
  if (pid > 0)
    snprintf(path, sizeof path, "/proc/%d/schedstat", pid);
  else
    snprintf(path, sizeof path, "/proc/self/schedstat");
  FILE* file = fopen(path, "r");
  if (!file) return -1;
  unsigned long long run = 0, wait = 0;
  const int read = fscanf(file, "%llu %llu", &run, &wait);
  fclose(file);
  return read == 2 ? (long long)(wait / 1000000ULL) : -1;
}

/* A group's sum of one reading; a process whose reading fails (it has
   ended) counts with its last. */
static long long GroupSum(struct Group* group, long long (*read)(int pid), long long* last) {
  long long sum = 0;
  for (int i = 0; i < group->count; ++i) {
    long long ms = read(group->pids[i]);
    if (ms >= 0) last[i] = ms;
    sum += last[i];
  }
  return sum;
}

/* The machine's busy and stolen time so far, in ms, from /proc/stat. */
static void MachineMs(long long* busy, long long* steal) {
  unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, stolen = 0;
  *busy = *steal = 0;
  FILE* file = fopen("/proc/stat", "r");
  if (!file) return;
  if (fscanf(file, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait, &irq,
             &softirq, &stolen) == 8) {
    const long tick = sysconf(_SC_CLK_TCK);
    *busy = (long long)((user + nice + system + irq + softirq) * 1000 / tick);
    *steal = (long long)(stolen * 1000 / tick);
  }
  fclose(file);
}

static void PrintCpu(struct Group* groups, int count, double at) {
  long long busy, steal;
  MachineMs(&busy, &steal);
  printf("cpu %.1f", at);
  for (int g = 0; g < count; ++g) printf(" %lld", GroupSum(&groups[g], ProcessCpuMs, groups[g].last_ms));
  printf(" %lld %lld\nwait %.1f", busy, steal, at);
  for (int g = 0; g < count; ++g) printf(" %lld", GroupSum(&groups[g], MainThreadWaitMs, groups[g].last_wait_ms));
  printf(" 0 0\n");
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: frame_rate SECONDS [--cpu LABEL PID[,PID]...]... X Y WIDTH [X Y WIDTH]...\n");
    return 2;
  }
  const double seconds = atof(argv[1]);
  struct Group groups[kMaxGroups + 1];
  int group_count = 0, strip_count = 0;
  int xs[kMaxStrips], ys[kMaxStrips], widths[kMaxStrips];
  for (int i = 2; i < argc; ++i) {
    if (strcmp(argv[i], "--cpu") == 0 && i + 2 < argc && group_count < kMaxGroups) {
      struct Group* group = &groups[group_count++];
      memset(group, 0, sizeof *group);
      group->label = argv[i + 1];
      for (char* pid = strtok(argv[i + 2], ","); pid && group->count < kMaxPids; pid = strtok(NULL, ","))
        if (atoi(pid) > 0) group->pids[group->count++] = atoi(pid);
      i += 2;
    } else if (i + 2 < argc && strip_count < kMaxStrips) {
      xs[strip_count] = atoi(argv[i]);
      ys[strip_count] = atoi(argv[i + 1]);
      widths[strip_count++] = atoi(argv[i + 2]);
      i += 2;
    }
  }
  struct Group* self = &groups[group_count++];
  memset(self, 0, sizeof *self);
  self->label = "watcher";
  self->pids[0] = 0, self->count = 1; /* 0: /proc/self */

  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "frame_rate: cannot open the display\n");
    return 2;
  }
  Window root = DefaultRootWindow(display);
  for (int g = 0; g < group_count; ++g) printf("group %d %s\n", g, groups[g].label);
  printf("group %d machine\ngroup %d steal\n", group_count, group_count + 1);

  unsigned char* last[kMaxStrips];
  size_t last_size[kMaxStrips];
  long readings[kMaxStrips];
  for (int s = 0; s < strip_count; ++s) last[s] = NULL, last_size[s] = 0, readings[s] = 0;

  const double start = NowMs();
  double next_cpu = start;
  for (;;) {
    const double now = NowMs();
    if (now - start > seconds * 1000) break;
    if (now >= next_cpu) {
      PrintCpu(groups, group_count, now - start);
      next_cpu += 50;
    }
    for (int s = 0; s < strip_count; ++s) {
      XImage* image = XGetImage(display, root, xs[s], ys[s], (unsigned)widths[s], 1, AllPlanes, ZPixmap);
      if (!image) continue;
      const size_t size = (size_t)image->bytes_per_line;
      const double seen = NowMs();
      ++readings[s];
      if (last[s] && (last_size[s] != size || memcmp(last[s], image->data, size) != 0))
        printf("change %d %.2f\n", s, seen - start);
      if (last_size[s] != size) free(last[s]), last[s] = malloc(size), last_size[s] = size;
      memcpy(last[s], image->data, size);
      XDestroyImage(image);
    }
    struct timespec pause = {0, 1000000L};
    nanosleep(&pause, NULL);
  }
  PrintCpu(groups, group_count, NowMs() - start);
  for (int s = 0; s < strip_count; ++s) printf("readings %d %ld\n", s, readings[s]);
  XCloseDisplay(display);
  return 0;
}
