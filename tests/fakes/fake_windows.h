#pragma once
// Fake windows: a window system with scripted parents and rectangles that
// records what the core does to windows, and saver, timers and options
// windows whose picture boxes record every frame, made by factories that
// keep a list of them.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/recording_canvas.h"
#include "options/options_window.h"
#include "platform/show_timers.h"
#include "platform/window_system.h"
#include "saver/saver_window.h"

class FakeSaverWindow final : public SaverWindow {
 public:
  FakeSaverWindow(SaverWindowEvents& events, WindowHandle handle) : events(events), handle(handle) {}
  WindowHandle Handle() const override { return handle; }
  PictureBox& Surface() override { return box; }
  void PlaceTopmost(int x, int y, int width, int height, bool) override {
    placed = {x, y, x + width, y + height};
    topmost = true;
  }
  void EmbedInto(WindowHandle host, const WindowRect& rect, bool take_input) override {
    embedded_in = host;
    placed = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
    takes_input = take_input;
  }

  SaverWindowEvents& events;
  WindowHandle handle;
  RecordingPictureBox box;
  WindowRect placed;
  bool topmost = false;
  WindowHandle embedded_in = 0;
  bool takes_input = false;
};

// Send() delivers a message as the system would: to the hook while one is
// installed, else to the original procedure (kOriginalProc, answering kOriginalResult).
class FakeHiddenWindow final : public HiddenWindow {
 public:
  static constexpr std::uintptr_t kOriginalProc = 0x1000;
  static constexpr std::intptr_t kOriginalResult = 0x5A;

  explicit FakeHiddenWindow(WindowHandle handle) : handle(handle) {}
  WindowHandle Handle() const override { return handle; }
  void SetCaption(const std::string&) override {}
  std::uintptr_t InstallWindowProc(WindowProc proc) override {
    hook = std::move(proc);
    return kOriginalProc;
  }
  void RestoreWindowProc(std::uintptr_t previous) override { hook = previous == kOriginalProc ? nullptr : hook; }
  std::intptr_t PassToWindowProc(std::uintptr_t previous, const WindowMessage& m) override {
    passed.push_back(m);
    return previous == kOriginalProc ? kOriginalResult : 0;
  }
  std::intptr_t Send(const WindowMessage& m) { return hook ? hook(m) : PassToWindowProc(kOriginalProc, m); }

  WindowHandle handle;
  WindowProc hook;
  std::vector<WindowMessage> passed;  // messages that reached the original procedure
};

class FakeOptionsWindow final : public OptionsWindow {
 public:
  explicit FakeOptionsWindow(WindowHandle handle) : handle(handle) {}
  WindowHandle Handle() const override { return handle; }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetOwner(WindowHandle o) override { owner = o; }
  void MoveTo(int to_x, int to_y) override { moved = true, x = to_x, y = to_y; }
  int OuterWidth() const override { return width; }
  int OuterHeight() const override { return height; }
  void Show() override { shown = true; }
  PictureBox* Surface() override { return &box; }
  void ControlChanged(ControlId, unsigned) override {}
  void SetClientSize(int width_twips, int) override { client_width = width_twips; }
  void FocusControl(ControlId id) override { focused.push_back(id); }

  WindowHandle handle;
  std::string caption;
  std::vector<ControlId> focused;
  int client_width = 0;
  WindowHandle owner = 0;
  bool moved = false, shown = false;
  int x = 0, y = 0, width = 340, height = 560;
  RecordingPictureBox box;
};

class FakeWindowSystem final : public WindowSystem {
 public:
  WindowHandle GetParent(WindowHandle window) override { return parents.count(window) ? parents[window] : 0; }
  bool GetNormalRect(WindowHandle window, WindowRect* rect) override {
    if (!rects.count(window)) return false;
    *rect = rects[window];
    return true;
  }
  void EnableWindow(WindowHandle window, bool enable) override {
    calls.push_back((enable ? "EnableWindow(" : "DisableWindow(") + std::to_string(window) + ")");
  }
  void SetNotTopmost(WindowHandle window) override { calls.push_back("SetNotTopmost(" + std::to_string(window) + ")"); }
  // Factories of the program's own windows, recording each window made.
  HiddenWindowFactory HiddenWindows() {
    return [this] { return Add(hidden_windows); };
  }
  SaverWindowFactory SaverWindows() {
    return [this](SaverWindowEvents& events) { return Add(saver_windows, events); };
  }
  OptionsWindowFactory OptionsWindows() {
    return [this](OptionsDialog&) { return Add(options_windows); };
  }

  std::map<WindowHandle, WindowHandle> parents;
  std::map<WindowHandle, WindowRect> rects;
  std::vector<std::string> calls;
  WindowHandle next_handle = 1000;
  // Windows created so far (owned by the core; valid while it keeps them).
  std::vector<FakeSaverWindow*> saver_windows;
  std::vector<FakeHiddenWindow*> hidden_windows;
  std::vector<FakeOptionsWindow*> options_windows;

 private:
  template <typename W, typename... Args>
  std::unique_ptr<W> Add(std::vector<W*>& list, Args&... args) {
    auto w = std::make_unique<W>(args..., next_handle++);
    list.push_back(w.get());
    return w;
  }
};
