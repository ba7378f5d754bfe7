// The registry store contract over the in-memory fake, which also shows that
// every key the procedures open is closed again.
#include "fakes/fake_registry.h"

#include "settings/registry_contract.h"

namespace {

struct FakeEnv final : RegistryTestEnv {
  FakeEnv() {
    scratch = "Software\\GlimmoraContract";
    deny_machine_writes = [this] { registry.read_only_roots.insert(kHkeyLocalMachine); };
  }
  ~FakeEnv() override { EXPECT_EQ(registry.OpenHandles(), 0); }
  RegistryStore& Store() override { return registry; }
  FakeRegistry registry;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, FakeEnv);
