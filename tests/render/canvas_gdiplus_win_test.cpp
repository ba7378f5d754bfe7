// The canvas contract on the GDI+ canvas, drawing into a memory DC with a
// 24-bit DIB section (the picture box's back buffer, without a window).
#include <windows.h>
// after windows.h, which they need
#include <gdiplus.h>
#include <psapi.h>

#include "render/canvas_contract.h"
#include "render/canvas_gdiplus.h"
#include "render/picture_box_win.h"

namespace {

class DibTarget final : public OffscreenTarget {
 public:
  DibTarget(int width, int height) : OffscreenTarget(width, height), stride_((width * 3 + 3) / 4 * 4) {
    [[maybe_unused]] static ULONG_PTR gdiplus = [] {  // started once, left for the process to end
      Gdiplus::GdiplusStartupInput input;
      ULONG_PTR token = 0;
      Gdiplus::GdiplusStartup(&token, &input, nullptr);
      return token;
    }();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    std::fill(bits_, bits_ + stride_ * height, 0x80);  // grey: a frame not drawn shows
  }
  ~DibTarget() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  std::uint32_t Pixel(int x, int y) override {
    GdiFlush();
    const std::uint8_t* bgr = bits_ + y * stride_ + x * 3;
    return std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
  }
  std::unique_ptr<Canvas> CreateCanvas() override { return CreateGdiplusCanvas(dc_); }

 private:
  int stride_;  // rows of 24-bit pixels are padded to 4 bytes
  HDC dc_ = CreateCompatibleDC(nullptr);
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint8_t* bits_ = nullptr;
};

struct GdiplusBackend {
  static std::unique_ptr<OffscreenTarget> CreateTarget(int w, int h) { return std::make_unique<DibTarget>(w, h); }
  // Over a window never shown; its frames come when the test says.
  static std::unique_ptr<PictureBox> CreateBox(int w, int h) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
    return std::make_unique<Win32PictureBox>(window);
  }
  static void RunFrame(PictureBox& box) { static_cast<Win32PictureBox&>(box).RunFrame(); }
  static std::uint64_t PeakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
  }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Gdiplus, CanvasContract, GdiplusBackend);
