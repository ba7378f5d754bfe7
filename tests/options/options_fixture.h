#pragma once
// An options dialog on fakes whose show machinery and storage are recording
// fakes. Set `settings` and `grace`, then Open().
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_options.h"
#include "fakes/fake_services.h"
#include "options/options_dialog.h"
#include "settings/identity.h"

using Lines = std::vector<std::string>;
using C = ControlId;

struct OptionsHarness {
  OptionsHarness() { settings.include_subfolders = false; }
  OptionsDialog& Open() {
    auto preview_owned = std::make_unique<FakePreviewShow>();
    auto storage_owned = std::make_unique<FakeOptionsStorage>();
    preview = preview_owned.get();
    storage = storage_owned.get();
    storage->grace = grace;
    dialog = std::make_unique<OptionsDialog>(
        OptionsDialog::Services{fakes.system, fakes.windows, fakes.dialogs, paths, window_factory}, settings, identity,
        std::move(preview_owned), std::move(storage_owned));
    dialog->Load();
    if (!fakes.windows.options_windows.empty()) window = fakes.windows.options_windows.back();
    return *dialog;
  }
  const ControlState& Ctl(ControlId id) const { return dialog->Control(id); }
  const Lines& Items(ControlId id) const { return Ctl(id).items; }
  bool Enabled(ControlId id) const { return Ctl(id).enabled; }

  FakeServices fakes;
  PathStyle paths = kWindowsPaths;
  OptionsWindowFactory window_factory = fakes.windows.OptionsWindows();
  ProgramIdentity identity = RestoreIdentity();
  SaverSettings settings = MakeDefaultSettings();
  std::optional<std::string> grace;  // the stored grace period; none when unreadable
  FakePreviewShow* preview = nullptr;
  FakeOptionsStorage* storage = nullptr;
  std::unique_ptr<OptionsDialog> dialog;
  FakeOptionsWindow* window = nullptr;
};

class OptionsTest : public ::testing::Test, public OptionsHarness {};
