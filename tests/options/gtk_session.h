#pragma once
// A display for the tests of the GTK dialogs: the test process starts its own
// Xvfb once (on a display number Xvfb picks, so parallel tests never collide;
// it dies with the process) or falls back to DISPLAY; without either the test
// is skipped. Plus a helper to answer modal dialogs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>

namespace gtk_session {

// ":N" once Xvfb accepts clients (it writes the number when ready), "" when it cannot start.
inline std::string StartXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return "";
  const std::string fd = std::to_string(fds[1]);
  if (fork() == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  return number.empty() ? "" : ":" + number;
}

inline bool DisplayReady() {
  static const bool ready = [] {
    const std::string display = StartXvfb();
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GSETTINGS_BACKEND", "memory", 1);  // the colour chooser keeps its colours in GSettings
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return ready;
}

// Answers the next modal dialog that shows: `answer` inspects it and gives its
// response. Call before the call that runs the dialog.
inline void AnswerNextDialog(std::function<void(GtkDialog*)> answer) {
  g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        GList* windows = gtk_window_list_toplevels();
        GtkDialog* dialog = nullptr;
        for (GList* w = windows; w; w = w->next)
          if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) dialog = GTK_DIALOG(w->data);
        g_list_free(windows);
        if (!dialog) return G_SOURCE_CONTINUE;
        std::unique_ptr<std::function<void(GtkDialog*)>> answer(static_cast<std::function<void(GtkDialog*)>*>(data));
        (*answer)(dialog);
        return G_SOURCE_REMOVE;
      },
      new std::function<void(GtkDialog*)>(std::move(answer)));
}

}  // namespace gtk_session

#define REQUIRE_GTK_DISPLAY() \
  if (!gtk_session::DisplayReady()) GTEST_SKIP() << "no X display: Xvfb not found and DISPLAY not usable"
