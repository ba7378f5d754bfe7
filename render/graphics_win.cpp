// GDI+ start-up and shut-down (Windows).
// GdiplusStartup's token is pointer-sized on 64-bit Windows while the
// program keeps a 32-bit token (0 = not started): the real token stays here
// and the program gets a non-zero stand-in for it.
#include <windows.h>
#include <gdiplus.h>

#include "render/graphics.h"

namespace {

constexpr std::uint32_t kStartedToken = 1;

class GdiplusLibrary final : public GraphicsLibrary {
 public:
  int Startup(std::uint32_t* token) override {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    ULONG_PTR real = 0;
    Gdiplus::Status status = Gdiplus::GdiplusStartup(&real, &input, nullptr);
    if (status != Gdiplus::Ok) {
      *token = 0;
      return static_cast<int>(status);
    }
    real_token_ = real;
    *token = kStartedToken;
    return 0;
  }
  void Shutdown(std::uint32_t) override {
    Gdiplus::GdiplusShutdown(real_token_);
    real_token_ = 0;
  }

 private:
  ULONG_PTR real_token_ = 0;
};

}  // namespace

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics() { return std::make_unique<GdiplusLibrary>(); }
