#include "render/metafile_player_gtk.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/picture_header.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPlayerFlag[] = "--glimmora-metafile-player";
constexpr std::size_t kMaxMetafileBytes = 32u << 20;

// Reads size bytes unless the pipe ends or `end` passes first.
bool ReadAllBefore(int fd, void* out, std::size_t size, Clock::time_point end) {
  auto* p = static_cast<std::uint8_t*>(out);
  while (size > 0) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return false;
    pollfd ready{fd, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    const ssize_t n = read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n, size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Whether the child exited with success by `end`. One still running then is
// killed; its end is awaited a little (a child stuck in the kernel is left
// behind rather than waited for).
bool EndedWell(GPid child, Clock::time_point end) {
  int status = 0;
  for (bool killed = false;;) {
    const pid_t ended = waitpid(child, &status, WNOHANG);
    if (ended == child) return !killed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ended < 0 && errno != EINTR) return false;
    if (Clock::now() >= end) {
      if (killed) return false;
      kill(child, SIGKILL);
      killed = true;
      end = Clock::now() + std::chrono::seconds(1);
    }
    usleep(1000);
  }
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n <= 0) return false;
    p += n, size -= static_cast<std::size_t>(n);
  }
  return true;
}

void SizeTo(GdkPixbufLoader* loader, int, int, gpointer size) {
  const int* wh = static_cast<const int*>(size);
  gdk_pixbuf_loader_set_size(loader, wh[0], wh[1]);
}

// The child: the metafile on stdin; its width and height (native ints) and
// then its RGBA rows on stdout. Its own timer ends it at the deadline too,
// even when the program was started with SIGALRM ignored or blocked.
[[noreturn]] void RunPlayer(int width, int height, int deadline_ms) {
  signal(SIGALRM, SIG_DFL);
  sigset_t alarm_signal;
  sigemptyset(&alarm_signal);
  sigaddset(&alarm_signal, SIGALRM);
  sigprocmask(SIG_UNBLOCK, &alarm_signal, nullptr);
  const itimerval timer{{0, 0}, {deadline_ms / 1000, deadline_ms % 1000 * 1000}};
  if (deadline_ms <= 0 || setitimer(ITIMER_REAL, &timer, nullptr) != 0) _exit(1);
  std::vector<guchar> bytes;
  guchar block[65536];
  for (ssize_t n; (n = read(STDIN_FILENO, block, sizeof block)) > 0 && bytes.size() < kMaxMetafileBytes;)
    bytes.insert(bytes.end(), block, block + n);
  int size[2] = {width, height};
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("wmf", nullptr);
  if (!loader) _exit(1);
  g_signal_connect(loader, "size-prepared", G_CALLBACK(SizeTo), size);
  bool ok = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), nullptr);
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (!pixbuf || gdk_pixbuf_get_n_channels(pixbuf) < 3) _exit(1);
  GdkPixbuf* rgba = gdk_pixbuf_add_alpha(pixbuf, FALSE, 0, 0, 0);
  const int w = gdk_pixbuf_get_width(rgba), h = gdk_pixbuf_get_height(rgba);
  const int stride = gdk_pixbuf_get_rowstride(rgba);
  const guchar* pixels = gdk_pixbuf_read_pixels(rgba);
  const int header[2] = {w, h};
  ok = WriteAll(STDOUT_FILENO, header, sizeof header);
  for (int y = 0; ok && y < h; ++y)
    ok = WriteAll(STDOUT_FILENO, pixels + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(w) * 4);
  _exit(ok ? 0 : 1);
}

// Before main: a process started as the player plays and ends there, in
// the program and in the tests alike.
struct PlayerStart {
  PlayerStart() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string line{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::string> args;
    for (std::size_t at = 0; at < line.size(); at = line.find('\0', at) + 1) {
      args.emplace_back(line.c_str() + at);
      if (line.find('\0', at) == std::string::npos) break;
    }
    if (args.size() == 5 && args[1] == kPlayerFlag)
      RunPlayer(std::atoi(args[2].c_str()), std::atoi(args[3].c_str()), std::atoi(args[4].c_str()));
  }
} player_start;

}  // namespace

GdkPixbuf* PlayMetafileAside(PictureFile& file, int width, int height, std::chrono::milliseconds deadline) {
  PictureHeader frame;
  frame.kind = PictureKind::Raster, frame.width = width, frame.height = height;
  if (width <= 0 || height <= 0 || !FitsPictureBudget(frame)) return nullptr;
  // The metafile goes to the child as a file in memory: nothing to write
  // into a pipe the child might stop reading.
  const int input = memfd_create("glimmora-metafile", MFD_CLOEXEC);
  if (input < 0) return nullptr;
  std::vector<std::uint8_t> block(65536);
  std::uint64_t offset = 0;
  for (std::size_t n; offset < kMaxMetafileBytes && (n = file.ReadAt(offset, block.data(), block.size())) > 0;
       offset += n)
    if (!WriteAll(input, block.data(), n)) break;
  lseek(input, 0, SEEK_SET);

  // Children of a program started with SIGCHLD ignored are reaped unseen,
  // leaving no end to judge the player by.
  struct sigaction child_ended {};
  if (sigaction(SIGCHLD, nullptr, &child_ended) == 0 && child_ended.sa_handler == SIG_IGN) signal(SIGCHLD, SIG_DFL);
  const Clock::time_point end = Clock::now() + deadline;
  gchar* program = g_file_read_link("/proc/self/exe", nullptr);
  const std::string w = std::to_string(width), h = std::to_string(height);
  const std::string ms = std::to_string(std::max<long long>(deadline.count(), 1));
  gchar* argv[] = {program,
                   const_cast<gchar*>(kPlayerFlag),
                   const_cast<gchar*>(w.c_str()),
                   const_cast<gchar*>(h.c_str()),
                   const_cast<gchar*>(ms.c_str()),
                   nullptr};
  GPid child = 0;
  gint output = -1;
  const gboolean started =
      program &&
      g_spawn_async_with_pipes_and_fds(
          nullptr, argv, nullptr, static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
          nullptr, nullptr, input, -1, -1, nullptr, nullptr, 0, &child, nullptr, &output, nullptr, nullptr);
  g_free(program);
  close(input);
  if (!started) return nullptr;

  GdkPixbuf* pixbuf = nullptr;
  int size[2] = {0, 0};
  if (ReadAllBefore(output, size, sizeof size, end) && size[0] > 0 && size[1] > 0 && size[0] <= width &&
      size[1] <= height) {
    pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, size[0], size[1]);
    guchar* pixels = pixbuf ? gdk_pixbuf_get_pixels(pixbuf) : nullptr;
    const int stride = pixbuf ? gdk_pixbuf_get_rowstride(pixbuf) : 0;
    for (int y = 0; pixels && y < size[1]; ++y)
      if (!ReadAllBefore(output, pixels + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(size[0]) * 4,
                         end)) {
        g_object_unref(pixbuf);
        pixbuf = nullptr;
        break;
      }
  }
  close(output);
  // A picture counts only from a player that ended well, in time.
  if (!EndedWell(child, pixbuf ? end : Clock::now()) && pixbuf) {
    g_object_unref(pixbuf);
    pixbuf = nullptr;
  }
  return pixbuf;
}
