/* Presses random stepping keys at random moments and times how long each
 * takes to change every screen, for the soak benchmark (bench/soak.sh).
 * Built at run time: cc soak_keys.c -lXtst -lXdamage -lX11.
 *
 *   soak_keys SECONDS SEED X,Y,W,H [X,Y,W,H]...
 *   soak_keys --escape
 *
 * Keys go through XTest (to the window with the keyboard); screen changes
 * are the DAMAGE extension's reports on the root window, which cover every
 * window drawn into, each rectangle counted for the screens (X,Y,W,H, root
 * coordinates) it meets. A key's reaction time runs from the key to the
 * moment every screen has been drawn into since then; a later key does not
 * cancel an earlier one's clock. Forward keys (Right, Down, Return) come
 * twice as often as back keys (Left, Up, BackSpace), so the show moves on
 * through the pictures; the gaps are mostly 150-900 ms, with bursts of
 * quick presses and some pauses of a few seconds.
 *
 * Prints a line per key ("key NAME MS", MS -1 when no reaction came within
 * 15 s), then "summary KEYS ANSWERED MEDIAN_MS P90_MS LONGEST_MS OVER_100MS".
 * With --escape it presses Escape and prints the moment (date +%s%N clock).
 */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kMaxScreens = 8, kMaxKeys = 100000 };
static const long long kGiveUpNs = 15000000000LL;

static long long Now(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

/* xorshift64*: the same keys and gaps for the same seed. */
static unsigned long long rng_state;
static unsigned Random(unsigned below) {
  rng_state ^= rng_state >> 12;
  rng_state ^= rng_state << 25;
  rng_state ^= rng_state >> 27;
  return (unsigned)((rng_state * 2685821657736338717ULL) >> 33) % below;
}

static void Press(Display* display, KeySym sym) {
  KeyCode code = XKeysymToKeycode(display, sym);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
}

static int CompareLong(const void* a, const void* b) {
  long long x = *(const long long*)a, y = *(const long long*)b;
  return x < y ? -1 : x > y;
}

typedef struct {
  int x, y, w, h;
} Rect;

typedef struct {
  const char* name;
  long long pressed;  /* CLOCK_MONOTONIC */
  unsigned drawn;     /* screens drawn into since */
  long long reaction; /* ns, -1 while waiting, -2 given up */
} Key;

static Key keys[kMaxKeys];

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "soak_keys: cannot open the display\n");
    return 2;
  }
  int xtest_event, xtest_error, major, minor;
  if (!XTestQueryExtension(display, &xtest_event, &xtest_error, &major, &minor)) {
    fprintf(stderr, "soak_keys: no XTest\n");
    return 2;
  }
  if (argc == 2 && strcmp(argv[1], "--escape") == 0) {
    long long at = Now(CLOCK_REALTIME);
    Press(display, XK_Escape);
    XSync(display, False);
    printf("%lld\n", at);
    return 0;
  }
  if (argc < 4) {
    fprintf(stderr, "usage: soak_keys SECONDS SEED X,Y,W,H [X,Y,W,H]... | soak_keys --escape\n");
    return 2;
  }
  const long long duration = atoll(argv[1]) * 1000000000LL;
  rng_state = strtoull(argv[2], NULL, 10) * 0x9E3779B97F4A7C15ULL + 1;
  Rect screens[kMaxScreens];
  int screen_count = 0;
  for (int i = 3; i < argc && screen_count < kMaxScreens; ++i) {
    Rect* r = &screens[screen_count];
    if (sscanf(argv[i], "%d,%d,%d,%d", &r->x, &r->y, &r->w, &r->h) == 4) ++screen_count;
  }
  const unsigned all = (1u << screen_count) - 1;
  int damage_event, damage_error;
  if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
    fprintf(stderr, "soak_keys: no DAMAGE\n");
    return 2;
  }
  XDamageCreate(display, DefaultRootWindow(display), XDamageReportRawRectangles);
  XSync(display, False);

  static const struct {
    KeySym sym;
    const char* name;
  } kForward[] = {{XK_Right, "Right"}, {XK_Down, "Down"}, {XK_Return, "Return"}},
    kBack[] = {{XK_Left, "Left"}, {XK_Up, "Up"}, {XK_BackSpace, "BackSpace"}};

  const long long start = Now(CLOCK_MONOTONIC);
  long long next_key = start + 500000000LL;
  int count = 0, waiting = 0;
  for (;;) {
    long long now = Now(CLOCK_MONOTONIC);
    const int pressing = now - start < duration && count < kMaxKeys;
    if (!pressing && waiting == 0) break;
    if (!pressing && now - start > duration + kGiveUpNs) break;
    if (pressing && now >= next_key) {
      const int back = Random(3) == 0;
      const unsigned pick = Random(3);
      Key* key = &keys[count++];
      key->name = back ? kBack[pick].name : kForward[pick].name;
      key->drawn = 0;
      key->reaction = -1;
      key->pressed = Now(CLOCK_MONOTONIC);
      Press(display, back ? kBack[pick].sym : kForward[pick].sym);
      ++waiting;
      const unsigned kind = Random(100);
      const long long gap_ms = kind < 25 ? 20 + Random(100) : kind < 85 ? 150 + Random(750) : 1000 + Random(3000);
      next_key = key->pressed + gap_ms * 1000000LL;
    }
    /* Reports already read into Xlib's queue would not wake poll(). */
    if (!XPending(display)) {
      long long wait_ns = pressing ? next_key - Now(CLOCK_MONOTONIC) : 50000000LL;
      if (wait_ns < 0) wait_ns = 0;
      struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, (int)((wait_ns + 999999) / 1000000));
    }
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != damage_event + XDamageNotify) continue;
      const long long at = Now(CLOCK_MONOTONIC);
      const XRectangle* area = &((XDamageNotifyEvent*)&event)->area;
      unsigned hit = 0;
      for (int s = 0; s < screen_count; ++s) {
        const Rect* r = &screens[s];
        if (area->x < r->x + r->w && r->x < area->x + area->width && area->y < r->y + r->h &&
            r->y < area->y + area->height)
          hit |= 1u << s;
      }
      for (int k = count - waiting; k < count; ++k) {
        if (keys[k].reaction != -1) continue;
        keys[k].drawn |= hit;
        if (keys[k].drawn == all) keys[k].reaction = at - keys[k].pressed;
      }
      while (waiting > 0 && keys[count - waiting].reaction != -1) --waiting;
    }
    now = Now(CLOCK_MONOTONIC);
    for (int k = count - waiting; k < count; ++k)
      if (keys[k].reaction == -1 && now - keys[k].pressed > kGiveUpNs) keys[k].reaction = -2;
    while (waiting > 0 && keys[count - waiting].reaction != -1) --waiting;
  }

  long long* times = malloc(sizeof(long long) * (count ? count : 1));
  int answered = 0, over = 0;
  for (int k = 0; k < count; ++k) {
    const long long ms = keys[k].reaction >= 0 ? keys[k].reaction / 1000000 : -1;
    printf("key %s %lld\n", keys[k].name, ms);
    if (ms < 0) continue;
    times[answered++] = keys[k].reaction;
    over += ms > 100;
  }
  qsort(times, answered, sizeof *times, CompareLong);
  const long long median = answered ? times[(answered - 1) / 2] / 1000000 : -1;
  const long long p90 = answered ? times[(answered * 9 + 9) / 10 - 1] / 1000000 : -1;
  const long long longest = answered ? times[answered - 1] / 1000000 : -1;
  printf("summary %d %d %lld %lld %lld %d\n", count, answered, median, p90, longest, over);
  free(times);
  return 0;
}
