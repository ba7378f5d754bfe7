#pragma once
// A display for the tests of the GTK dialogs: each test process starts its
// own Xvfb once (on a display number Xvfb picks itself, so parallel tests
// never collide; it dies with the process), or falls back to DISPLAY. A test
// without either is skipped with a message. Plus helpers to pump events,
// send keys and answer modal dialogs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>

namespace gtk_session {

inline pid_t& XvfbPid() {
  static pid_t pid = 0;
  return pid;
}

inline void StopXvfb() {
  if (XvfbPid() <= 0) return;
  kill(XvfbPid(), SIGTERM);
  waitpid(XvfbPid(), nullptr, 0);
  XvfbPid() = 0;
}

// ":N" once Xvfb accepts clients, "" when it cannot be started.
inline std::string StartXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return "";
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(fds[0]);
    const int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 1);
    dup2(quiet, 2);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return "";
  }
  XvfbPid() = pid;
  std::atexit(StopXvfb);
  // Xvfb writes its display number and a newline when it is ready.
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) StopXvfb();
  return number.empty() ? "" : ":" + number;
}

inline bool DisplayReady() {
  static int ready = -1;
  if (ready < 0) {
    const std::string display = StartXvfb();
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GSETTINGS_BACKEND", "memory", 1);  // the colour chooser keeps its colours in GSettings
    ready = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  }
  return ready == 1;
}

inline void Pump() {
  for (int i = 0; i < 5; ++i) {
    while (gtk_events_pending()) gtk_main_iteration();
    g_usleep(2000);
  }
}

// Runs the event loop until `done` holds (true) or two seconds pass (false):
// the X server answers a window's resize in its own time.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    while (gtk_events_pending()) gtk_main_iteration();
    if (done()) return true;
    g_usleep(5000);
  }
  return false;
}

// A key press as the X server would deliver it to a top-level window: it
// goes through the window's own handling (Tab, Enter, mnemonics) to the
// focused widget.
inline void SendKey(GtkWidget* toplevel, guint keyval, GdkModifierType state = static_cast<GdkModifierType>(0)) {
  GdkWindow* window = gtk_widget_get_window(toplevel);
  ASSERT_NE(window, nullptr);
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(window));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  event->key.state = state;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// The first widget of `type` inside `root` (internal children included).
inline GtkWidget* FindWidget(GtkWidget* root, GType type) {
  if (G_TYPE_CHECK_INSTANCE_TYPE(root, type)) return root;
  if (!GTK_IS_CONTAINER(root)) return nullptr;
  struct Search {
    GType type;
    GtkWidget* found = nullptr;
  } search{type};
  gtk_container_forall(
      GTK_CONTAINER(root),
      [](GtkWidget* child, gpointer data) {
        auto* s = static_cast<Search*>(data);
        if (!s->found) s->found = FindWidget(child, s->type);
      },
      &search);
  return search.found;
}

// Answers the next modal dialog that shows: `answer` inspects it and gives
// its response. Call before the call that runs the dialog.
inline void AnswerNextDialog(std::function<void(GtkDialog*)> answer) {
  auto* pending = new std::function<void(GtkDialog*)>(std::move(answer));
  g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        auto* answer = static_cast<std::function<void(GtkDialog*)>*>(data);
        GList* windows = gtk_window_list_toplevels();
        GtkDialog* dialog = nullptr;
        for (GList* w = windows; w; w = w->next) {
          if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) dialog = GTK_DIALOG(w->data);
        }
        g_list_free(windows);
        if (!dialog) return G_SOURCE_CONTINUE;
        (*answer)(dialog);
        delete answer;
        return G_SOURCE_REMOVE;
      },
      pending);
}

}  // namespace gtk_session

#define REQUIRE_GTK_DISPLAY()                                                                                \
  do {                                                                                                       \
    if (!gtk_session::DisplayReady()) GTEST_SKIP() << "no X display: Xvfb not found and DISPLAY not usable"; \
  } while (0)
