// The event loop contract against the GLib loop.
#include "platform/event_loop_contract.h"

namespace {
struct GlibLoopFactory {
  static constexpr bool kRealTime = true;
  static std::unique_ptr<EventLoop> Create() { return CreatePlatformEventLoop(); }
};
}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Glib, EventLoopContract, GlibLoopFactory);
