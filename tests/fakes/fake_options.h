#pragma once
// Fakes of the options dialog's seams: a storage with a scripted grace period
// and a preview timers that records every call.
#include <optional>
#include <string>
#include <vector>

#include "options/options_storage.h"
#include "options/preview_show.h"

class FakeOptionsStorage final : public OptionsStorage {
 public:
  bool ReadGrace(std::string& text) override {
    text = grace.value_or("");
    return grace.has_value();
  }
  bool WriteGrace(const std::string& text) override {
    grace_writes.push_back(text);
    return grace_writable;
  }
  void SaveSettings(const SaverSettings& settings) override { saved.push_back(settings); }

  std::optional<std::string> grace;  // the stored grace period; none when unreadable
  bool grace_writable = true;
  std::vector<std::string> grace_writes;
  std::vector<SaverSettings> saved;  // the settings at each save
};

class FakePreviewShow final : public PreviewShow {
 public:
  void StartCatalogue() override { calls.push_back("StartCatalogue"); }
  void StopCatalogue() override { calls.push_back("StopCatalogue"); }
  void StartSlideTimer() override { calls.push_back("StartSlideTimer"); }
  bool SlideTimerRunning() override { return timer_running; }
  void SlideTick() override { calls.push_back("Tick"); }
  void ShowPreviousSlide() override { calls.push_back("Back"); }
  ShowFlags& Flags() override { return flags; }

  bool timer_running = false;
  ShowFlags flags;
  std::vector<std::string> calls;
};
