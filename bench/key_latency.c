/* Presses keys through XTest and times what the screen or a process does
 * next. Used by bench/key_latency_bench.sh; built there (cc key_latency.c
 * -lXtst -lX11).
 *
 *   key_latency exit PID KEY TIMEOUT_MS [Y]...
 *     Presses KEY (a keysym name: Escape, Right, ...) and waits for process
 *     PID to end. Prints the milliseconds from the press to the end, or
 *     "timeout"; with rows, then "black" or "picture": what they showed
 *     just before the press.
 *   key_latency step KEY COUNT PAUSE_MS SETTLE_MS TIMEOUT_MS Y [Y]...
 *     COUNT times: waits PAUSE_MS, presses KEY and watches the screen rows Y
 *     (the whole width) until they change, then until they have not changed
 *     for SETTLE_MS. Prints a line per press: the milliseconds to the first
 *     change and to the last one (a frame drawn in one go has both equal),
 *     or "timeout".
 *   key_latency burst KEY COUNT GAP_MS SETTLE_MS TIMEOUT_MS Y [Y]...
 *     Presses KEY COUNT times GAP_MS apart while watching the rows, then
 *     watches until they have not changed for SETTLE_MS. Prints one line per
 *     change ("change MS", from the first press), then "last_press MS",
 *     "settled MS" (the last change, from the first press) and "changes N".
 *   key_latency gone PID KEY TIMEOUT_MS CLASS
 *     Presses KEY and watches the top-level windows shown with CLASS in their
 *     WM_CLASS (either part) and process PID. Prints the milliseconds from
 *     the press until the last of those windows was unmapped or destroyed,
 *     then until the process ended ("timeout" for either not seen in time);
 *     exits 1 when there was no such window before the press.
 *
 * Times are taken just before the press is sent; a change is the first
 * reading that differs from the one before in any pixel of the rows.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

enum { kMaxRows = 8 };

static Display* display;
static Window root;
static int width;
static int rows[kMaxRows], row_count;
static unsigned long* last;  // the rows as last read, row after row

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void SleepMs(double ms) {
  if (ms <= 0) return;
  struct timespec t = {(time_t)(ms / 1000), (long)((ms - (time_t)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&t, NULL);
}

// Reads the rows; returns 1 when any pixel differs from the last reading.
static int ReadRows(void) {
  int changed = 0;
  for (int r = 0; r < row_count; ++r) {
    XImage* image = XGetImage(display, root, 0, rows[r], width, 1, AllPlanes, ZPixmap);
    if (!image) continue;
    for (int x = 0; x < width; ++x) {
      unsigned long pixel = XGetPixel(image, x, 0) & 0xFFFFFF;
      unsigned long* slot = &last[r * width + x];
      if (*slot != pixel) changed = 1;
      *slot = pixel;
    }
    XDestroyImage(image);
  }
  return changed;
}

static void Press(KeyCode code) {
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
}

static KeyCode CodeOf(const char* name) {
  KeySym sym = XStringToKeysym(name);
  KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
  if (!code) {
    fprintf(stderr, "key_latency: no key %s\n", name);
    exit(2);
  }
  return code;
}

static int Exit(int argc, char** argv) {
  if (argc < 5) return 2;
  int pid = atoi(argv[2]);
  KeyCode code = CodeOf(argv[3]);
  int timeout = atoi(argv[4]);
  int fd = (int)syscall(SYS_pidfd_open, pid, 0);
  if (fd < 0) {
    perror("key_latency: pidfd_open");
    return 2;
  }
  const char* shown = "";
  if (row_count > 0) {
    ReadRows();
    shown = " black";
    for (int i = 0; i < row_count * width; ++i)
      if (last[i] != 0) shown = " picture";
  }
  double start = NowMs();
  Press(code);
  struct pollfd p = {fd, POLLIN, 0};
  if (poll(&p, 1, timeout) == 1) {
    printf("%.1f%s\n", NowMs() - start, shown);
    return 0;
  }
  printf("timeout%s\n", shown);
  return 1;
}

// Watches the rows from `start` until they have been still for `settle` ms
// or `deadline` passes; returns the time of the last change after `start`
// (-1 for none), printing each change when `verbose`.
static double WatchUntilStill(double start, double first_change, double settle, double deadline, int verbose) {
  double last_change = first_change;
  for (;;) {
    double now = NowMs();
    if (ReadRows()) {
      last_change = NowMs() - start;
      if (verbose) printf("change %.1f\n", last_change);
    } else if (now - start - (last_change < 0 ? 0 : last_change) >= settle || now - start >= deadline) {
      return last_change;
    }
    SleepMs(1);
  }
}

static int Step(int argc, char** argv) {
  if (argc < 8) return 2;
  KeyCode code = CodeOf(argv[2]);
  int count = atoi(argv[3]);
  double pause = atof(argv[4]), settle = atof(argv[5]), timeout = atof(argv[6]);
  int status = 0;
  for (int i = 0; i < count; ++i) {
    SleepMs(pause);
    ReadRows();
    double start = NowMs(), first = -1;
    Press(code);
    while (NowMs() - start < timeout) {
      if (ReadRows()) {
        first = NowMs() - start;
        break;
      }
      SleepMs(1);
    }
    if (first < 0) {
      printf("timeout\n");
      status = 1;
      continue;
    }
    double last_change = WatchUntilStill(start, first, settle, timeout, 0);
    printf("%.1f %.1f\n", first, last_change);
    fflush(stdout);
  }
  return status;
}

static int Burst(int argc, char** argv) {
  if (argc < 8) return 2;
  KeyCode code = CodeOf(argv[2]);
  int count = atoi(argv[3]);
  double gap = atof(argv[4]), settle = atof(argv[5]), timeout = atof(argv[6]);
  ReadRows();
  double start = NowMs(), last_change = -1, last_press = 0;
  int changes = 0;
  for (int i = 0; i < count; ++i) {
    double due = i * gap;
    while (NowMs() - start < due) {
      if (ReadRows()) {
        last_change = NowMs() - start;
        printf("change %.1f\n", last_change);
        ++changes;
      }
      SleepMs(1);
    }
    last_press = NowMs() - start;
    Press(code);
  }
  double end = last_change;
  for (;;) {
    double now = NowMs() - start;
    if (ReadRows()) {
      end = NowMs() - start;
      printf("change %.1f\n", end);
      ++changes;
    } else if (now - (end > last_press ? end : last_press) >= settle || now >= timeout) {
      break;
    }
    SleepMs(1);
  }
  printf("last_press %.1f\nsettled %.1f\nchanges %d\n", last_press, end, changes);
  return 0;
}

static int IgnoreErrors(Display* d, XErrorEvent* e) {
  (void)d;
  (void)e;
  return 0;
}

// Whether the window is mapped (false once it is destroyed).
static int Shown(Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

static int Gone(int argc, char** argv) {
  if (argc < 6) return 2;
  int pid = atoi(argv[2]);
  KeyCode code = CodeOf(argv[3]);
  double timeout = atof(argv[4]);
  const char* wanted = argv[5];
  int fd = (int)syscall(SYS_pidfd_open, pid, 0);
  if (fd < 0) {
    perror("key_latency: pidfd_open");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  Window top, parent, *children = NULL, shown[64];
  unsigned count = 0, shown_count = 0;
  XQueryTree(display, root, &top, &parent, &children, &count);
  for (unsigned i = 0; i < count && shown_count < 64; ++i) {
    XClassHint hint = {NULL, NULL};
    if (!XGetClassHint(display, children[i], &hint)) continue;
    if ((hint.res_name && strcmp(hint.res_name, wanted) == 0) ||
        (hint.res_class && strcmp(hint.res_class, wanted) == 0))
      if (Shown(children[i])) shown[shown_count++] = children[i];
    XFree(hint.res_name);
    XFree(hint.res_class);
  }
  if (children) XFree(children);
  if (shown_count == 0) {
    fprintf(stderr, "key_latency: no window of class %s\n", wanted);
    return 1;
  }
  double start = NowMs(), windows = -1, ended = -1;
  Press(code);
  while ((windows < 0 || ended < 0) && NowMs() - start < timeout) {
    if (windows < 0) {
      unsigned left = 0;
      for (unsigned i = 0; i < shown_count; ++i) left += Shown(shown[i]);
      if (!left) windows = NowMs() - start;
    }
    struct pollfd p = {fd, POLLIN, 0};
    if (ended < 0 && poll(&p, 1, 0) == 1) ended = NowMs() - start;
    SleepMs(1);
  }
  char text[2][32];
  double times[2] = {windows, ended};
  for (int i = 0; i < 2; ++i) snprintf(text[i], sizeof text[i], times[i] < 0 ? "timeout" : "%.1f", times[i]);
  printf("%s %s\n", text[0], text[1]);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: key_latency exit|step|burst|gone ... (see the source)\n");
    return 2;
  }
  display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "key_latency: cannot open the display\n");
    return 2;
  }
  root = DefaultRootWindow(display);
  width = DisplayWidth(display, DefaultScreen(display));
  int first_row = strcmp(argv[1], "exit") == 0 ? 5 : 7;
  for (int i = first_row; i < argc && row_count < kMaxRows; ++i) rows[row_count++] = atoi(argv[i]);
  last = calloc((size_t)width * (row_count ? row_count : 1), sizeof *last);
  setvbuf(stdout, NULL, _IOLBF, 0);
  if (strcmp(argv[1], "exit") == 0) return Exit(argc, argv);
  if (strcmp(argv[1], "step") == 0) return Step(argc, argv);
  if (strcmp(argv[1], "burst") == 0) return Burst(argc, argv);
  if (strcmp(argv[1], "gone") == 0) return Gone(argc, argv);
  fprintf(stderr, "key_latency: unknown mode %s\n", argv[1]);
  return 2;
}
