// The Win32 saver window: topmost placement over a monitor rectangle and
// embedding into a preview host that lives in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include "saver/recording_saver_events.h"
#include "saver/saver_window_win.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

RECT WindowRectOf(WindowHandle handle) {
  RECT r{};
  GetWindowRect(reinterpret_cast<HWND>(handle), &r);
  return r;
}

TEST(Win32SaverWindow, PlaceTopmostCoversTheRectangleExactly) {
  RecordingSaverEvents events;
  auto window = CreateWin32SaverWindow(events);
  window->PlaceTopmost(100, 50, 640, 480);
  Pump();
  HWND hwnd = reinterpret_cast<HWND>(window->Handle());
  RECT r = WindowRectOf(window->Handle());
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right, 740);
  EXPECT_EQ(r.bottom, 530);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  window.reset();
  EXPECT_EQ(events.unloads, 0);  // the program's own unload is not reported back
}

class Win32Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    preview_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 30, 152, 112, host_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(preview_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(host_)) DestroyWindow(host_);
  }
  HWND host_ = nullptr, preview_ = nullptr;
};

TEST_F(Win32Preview, EmbedsAsAChildFillingTheHost) {
  RecordingSaverEvents events;
  auto window = CreateWin32SaverWindow(events);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(GetWindowPlacement(preview_, &placement));
  const RECT& n = placement.rcNormalPosition;
  window->EmbedInto(reinterpret_cast<WindowHandle>(preview_), WindowRect{n.left, n.top, n.right, n.bottom});
  Pump();
  HWND hwnd = reinterpret_cast<HWND>(window->Handle());
  EXPECT_EQ(GetParent(hwnd), preview_);
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_POPUP);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  RECT mine = WindowRectOf(window->Handle()), host = WindowRectOf(reinterpret_cast<WindowHandle>(preview_));
  EXPECT_EQ(mine.left, host.left);
  EXPECT_EQ(mine.top, host.top);
  EXPECT_EQ(mine.right - mine.left, 152);
  EXPECT_EQ(mine.bottom - mine.top, 112);
}

TEST_F(Win32Preview, ClosingTheHostUnloadsTheForm) {
  RecordingSaverEvents events;
  auto window = CreateWin32SaverWindow(events);
  window->EmbedInto(reinterpret_cast<WindowHandle>(preview_), WindowRect{0, 0, 152, 112});
  DestroyWindow(host_);
  Pump();
  EXPECT_EQ(events.unloads, 1);
}

}  // namespace
