// Linux graphics lifetime: Cairo, Pango and gdk-pixbuf need no start-up, so
// starting hands out a non-zero token and stopping only takes it back; the
// program keeps the start-once / stop-once shape of the Windows build.
#include "render/graphics.h"

namespace {

constexpr std::uint32_t kStartedToken = 1;

class CairoGraphics final : public GraphicsLibrary {
 public:
  int Startup(std::uint32_t* token) override {
    *token = kStartedToken;
    return 0;
  }
  void Shutdown(std::uint32_t) override {}
};

}  // namespace

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics() { return std::make_unique<CairoGraphics>(); }
