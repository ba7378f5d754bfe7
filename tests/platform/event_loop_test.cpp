// The event loop contract against the virtual-time fake.
#include "fakes/fake_event_loop.h"
#include "platform/event_loop_contract.h"

namespace {
struct FakeLoopFactory {
  static constexpr bool kRealTime = false;
  static std::unique_ptr<EventLoop> Create() { return std::make_unique<FakeEventLoop>(); }
};
}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, EventLoopContract, FakeLoopFactory);
