#pragma once
// Fakes of the options dialog's seams: a storage with a scripted grace period
// and a preview engine that records every call with the Info panel's state.
#include <string>
#include <vector>

#include "options/options_storage.h"
#include "options/preview_engine.h"
#include "startup/program_state.h"

class FakeOptionsStorage final : public OptionsStorage {
 public:
  explicit FakeOptionsStorage(ProgramState& state) : state_(state) {}
  bool ReadGrace(std::string& text) override {
    text = stored_grace;
    return grace_readable;
  }
  bool WriteGrace(const std::string& text) override {
    grace_writes.push_back(text);
    if (grace_writable) stored_grace = text;
    return grace_writable;
  }
  // Keeps what would be stored: CurrentSettings at the time of the call.
  void SaveSettings() override { saved.push_back(state_.CurrentSettings); }

  std::string stored_grace;
  bool grace_readable = false;
  bool grace_writable = true;
  std::vector<std::string> grace_writes;
  std::vector<SaverSettings> saved;

 private:
  ProgramState& state_;
};

// NextPicture in scan order (advance with wrap, "" below 0), as the sequencer
// does when asked not to shuffle.
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
  std::string NextPicture(bool random) override {
    calls.push_back(random ? "NextPicture(random)" : "NextPicture");
    if (state_.PictureCount < 1) return "";
    if (++state_.CurrentIndex >= state_.PictureCount) state_.CurrentIndex = 0;
    return state_.CurrentIndex < 0 ? "" : state_.PictureList[state_.CurrentIndex];
  }
  void RenderPicture(const std::string& path, const std::string& message, PictureBox*, bool flag) override {
    renders.push_back({path, message, flag});
    calls.push_back("Render");
  }

  struct Render {
    std::string path, message;
    bool flag;
  };
  bool timer_running = false;
  std::vector<std::string> calls;
  std::vector<Render> renders;

 private:
  ProgramState& state_;
};
