#pragma once
// A program state on fakes with an options dialog whose show machinery and
// storage are recording fakes. Set CurrentSettings and `grace`, then Open().
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_options.h"
#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "platform/window_system.h"
#include "startup/identity.h"

using Lines = std::vector<std::string>;
using C = ControlId;

struct OptionsHarness {
  OptionsHarness() {
    RestoreIdentity(s);
    s.CurrentSettings = s.DefaultSettings = MakeDefaultSettings();
    s.CurrentSettings.Recursive = false;
  }
  OptionsDialog& Open() {
    auto engine_owned = std::make_unique<FakePreviewEngine>(s);
    auto storage_owned = std::make_unique<FakeOptionsStorage>(s);
    engine = engine_owned.get();
    storage = storage_owned.get();
    storage->grace = grace;
    s.C = std::make_unique<OptionsDialog>(s, std::move(engine_owned), std::move(storage_owned));
    dialog = s.C.get();
    dialog->Load();
    if (!f.windows.options_windows.empty()) window = f.windows.options_windows.back();
    return *dialog;
  }
  const ControlState& Ctl(ControlId id) const { return dialog->Control(id); }
  const Lines& Items(ControlId id) const { return Ctl(id).items; }
  bool Enabled(ControlId id) const { return Ctl(id).enabled; }

  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
  std::optional<std::string> grace;  // the stored grace period; none when unreadable
  FakePreviewEngine* engine = nullptr;
  FakeOptionsStorage* storage = nullptr;
  OptionsDialog* dialog = nullptr;
  FakeOptionsWindow* window = nullptr;
};

class OptionsTest : public ::testing::Test, public OptionsHarness {};

// The options dialog on the platform's real window; its other ports faked.
class PlatformOptionsTest : public OptionsTest {
 protected:
  void UsePlatformWindows() {
    windows_ = CreatePlatformWindowSystem();
    s.ports.windows = windows_.get();
  }
  ~PlatformOptionsTest() override { s.C.reset(); }
  std::unique_ptr<WindowSystem> windows_;
};
