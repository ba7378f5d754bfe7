#pragma once
// A program state on fakes with an options dialog whose show machinery and
// storage are recording fakes. Set CurrentSettings (and the fakes' answers),
// then Open().
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_options.h"
#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "startup/identity.h"

struct OptionsHarness {
  OptionsHarness() {
    RestoreIdentity(s);
    s.DefaultSettings = MakeDefaultSettings();
    s.CurrentSettings = s.DefaultSettings;
    s.CurrentSettings.Recursive = false;  // most cases start without subfolders
  }

  OptionsDialog& Open() {
    auto engine_owned = std::make_unique<FakePreviewEngine>(s);
    auto storage_owned = std::make_unique<FakeOptionsStorage>(s);
    engine = engine_owned.get();
    storage = storage_owned.get();
    storage->stored_grace = grace;
    storage->grace_readable = grace_readable;
    s.C = std::make_unique<OptionsDialog>(s, std::move(engine_owned), std::move(storage_owned));
    dialog = s.C.get();
    dialog->Load();
    window = f.windows.options_windows.back();
    return *dialog;
  }

  const ControlState& Ctl(ControlId id) const { return dialog->Control(id); }
  const std::vector<std::string>& Items(ControlId id) const { return Ctl(id).items; }
  bool Enabled(ControlId id) const { return Ctl(id).enabled; }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& box : f.system.boxes) texts.push_back(box.text);
    return texts;
  }

  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
  std::string grace;  // the stored grace period, when readable
  bool grace_readable = false;
  FakePreviewEngine* engine = nullptr;
  FakeOptionsStorage* storage = nullptr;
  OptionsDialog* dialog = nullptr;
  FakeOptionsWindow* window = nullptr;
};

class OptionsTest : public ::testing::Test, public OptionsHarness {};

using Lines = std::vector<std::string>;
