// Linux graphics lifetime: Cairo, Pango and gdk-pixbuf need no start-up, but
// the token keeps the start-once / stop-once shape of the Windows build.
#include "startup/graphics.h"

namespace {

class GtkGraphics final : public GraphicsLibrary {
 public:
  int Startup(std::uint32_t* token) override {
    *token = ++starts_;
    return 0;
  }
  void Shutdown(std::uint32_t) override {}

 private:
  std::uint32_t starts_ = 0;
};

}  // namespace

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics() { return std::make_unique<GtkGraphics>(); }
