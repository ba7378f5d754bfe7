#pragma once
// Fakes of the options dialog's seams: a storage with a scripted grace period
// and a preview engine that records every call.
#include <optional>
#include <string>
#include <vector>

#include "options/options_storage.h"
#include "options/preview_engine.h"
#include "startup/program_state.h"

class FakeOptionsStorage final : public OptionsStorage {
 public:
  explicit FakeOptionsStorage(ProgramState& state) : state_(state) {}
  bool ReadGrace(std::string& text) override {
    text = grace.value_or("");
    return grace.has_value();
  }
  bool WriteGrace(const std::string& text) override {
    grace_writes.push_back(text);
    return grace_writable;
  }
  void SaveSettings() override { saved.push_back(state_.CurrentSettings); }

  std::optional<std::string> grace;  // the stored grace period; none when unreadable
  bool grace_writable = true;
  std::vector<std::string> grace_writes;
  std::vector<SaverSettings> saved;  // CurrentSettings at each save
  ProgramState& state_;
};

// NextPicture advances in scan order with wrap, as the sequencer does unshuffled.
class FakePreviewEngine final : public PreviewEngine {
 public:
  explicit FakePreviewEngine(ProgramState& state) : state_(state) {}
  void StartCatalogue() override { calls.push_back("StartCatalogue"); }
  void StopCatalogue() override { calls.push_back("StopCatalogue"); }
  void StartSlideTimer() override { calls.push_back("StartSlideTimer"); }
  bool SlideTimerRunning() override { return timer_running; }
  void SetSlideTimer(bool enabled) override {
    timer_running = enabled;
    calls.push_back(enabled ? "TimerOn" : "TimerOff");
  }
  void SlideTick() override { calls.push_back("Tick"); }
  std::string NextPicture(bool) override {
    calls.push_back("NextPicture");
    if (++state_.CurrentIndex >= state_.PictureCount) state_.CurrentIndex = 0;
    return state_.PictureList[state_.CurrentIndex];
  }
  void RenderPicture(const std::string& path, const std::string& message, PictureBox*, bool) override {
    calls.push_back("Render " + path + message);
  }

  bool timer_running = false;
  std::vector<std::string> calls;
  ProgramState& state_;
};
