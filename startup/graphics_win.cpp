// GDI+ start-up and shut-down (Windows).
#include <windows.h>
#include <gdiplus.h>

#include "startup/graphics.h"

namespace {

class GdiplusLibrary final : public GraphicsLibrary {
 public:
  int Startup(std::uint32_t* token) override {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    ULONG_PTR t = 0;
    Gdiplus::Status status = Gdiplus::GdiplusStartup(&t, &input, nullptr);
    *token = static_cast<std::uint32_t>(t);
    return static_cast<int>(status);
  }
  void Shutdown(std::uint32_t token) override { Gdiplus::GdiplusShutdown(static_cast<ULONG_PTR>(token)); }
};

}  // namespace

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics() { return std::make_unique<GdiplusLibrary>(); }
