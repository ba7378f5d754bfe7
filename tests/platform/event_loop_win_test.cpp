// The event loop contract against the Win32 message loop.
#include "platform/event_loop_contract.h"

namespace {
struct Win32LoopFactory {
  static constexpr bool kRealTime = true;
  static std::unique_ptr<EventLoop> Create() { return CreatePlatformEventLoop(); }
};
}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, EventLoopContract, Win32LoopFactory);
