/* Watches points of the X root window until a picture shows there, and says
 * how long that took. Used by the slide-show end-to-end scripts and by the
 * first-picture benchmark; built at test time (cc frame_watch.c -lX11).
 *
 *   frame_watch START_NS TIMEOUT_MS [--any] [--ignore RRGGBB]... X Y [X Y]...
 *
 * START_NS is the moment to measure from (date +%s%N, CLOCK_REALTIME). The
 * points are read over and over (one 1x1 XGetImage each) until every point
 * (or, with --any, one of them) has a colour that is neither black nor one
 * of the ignored colours (a desktop colour, say). Prints the milliseconds
 * from START_NS to the end of the reading that saw it, then the colour of
 * each point as r,g,b; exits 0. On timeout prints "timeout" and the last
 * colours, exits 1.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kMaxPoints = 32, kMaxIgnored = 8 };

static long long NowNs(void) {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static unsigned long ReadPoint(Display* display, Window root, int x, int y) {
  XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

static void PrintColours(const unsigned long* colours, int count) {
  for (int i = 0; i < count; ++i)
    printf(" %lu,%lu,%lu", (colours[i] >> 16) & 0xFF, (colours[i] >> 8) & 0xFF, colours[i] & 0xFF);
  printf("\n");
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: frame_watch START_NS TIMEOUT_MS [--any] [--ignore RRGGBB]... X Y [X Y]...\n");
    return 2;
  }
  long long start = atoll(argv[1]);
  long long deadline = start + atoll(argv[2]) * 1000000LL;
  int any = 0, ignored_count = 0, count = 0;
  unsigned long ignored[kMaxIgnored];
  int xs[kMaxPoints], ys[kMaxPoints];
  for (int i = 3; i < argc; ++i) {
    if (strcmp(argv[i], "--any") == 0) {
      any = 1;
    } else if (strcmp(argv[i], "--ignore") == 0 && i + 1 < argc && ignored_count < kMaxIgnored) {
      ignored[ignored_count++] = strtoul(argv[++i], NULL, 16);
    } else if (i + 1 < argc && count < kMaxPoints) {
      xs[count] = atoi(argv[i]);
      ys[count++] = atoi(argv[++i]);
    }
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "frame_watch: cannot open the display\n");
    return 2;
  }
  Window root = DefaultRootWindow(display);
  unsigned long colours[kMaxPoints];
  for (;;) {
    int showing = 0;
    for (int i = 0; i < count; ++i) {
      colours[i] = ReadPoint(display, root, xs[i], ys[i]);
      int plain = colours[i] == 0;
      for (int k = 0; k < ignored_count; ++k) plain |= colours[i] == ignored[k];
      showing += !plain;
    }
    long long now = NowNs();
    if (count > 0 && (any ? showing > 0 : showing == count)) {
      printf("%lld", (now - start) / 1000000LL);
      PrintColours(colours, count);
      return 0;
    }
    if (now > deadline) {
      printf("timeout");
      PrintColours(colours, count);
      return 1;
    }
    struct timespec pause = {0, 2000000L}; /* 2 ms between readings */
    nanosleep(&pause, NULL);
  }
}
