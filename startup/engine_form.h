#pragma once
// The hidden engine form "T": owns the scan timer tmrScansione and the slide
// timer tmrImmagine, and the hidden window the power hook watches. Loaded and
// unloaded explicitly; unloading stops both timers with the window.
#include <memory>

#include "platform/event_loop.h"

struct ProgramState;
class EngineWindow;

class EngineForm {
 public:
  explicit EngineForm(ProgramState& state);
  ~EngineForm();

  // Loads the form when it is not loaded: creates its window and its two
  // timers (disabled; scan 1 ms, slide 50 ms) and runs Form_Load.
  void Load();
  // Runs Form_Unload and destroys the timers and the window. Safe to call
  // from inside either timer's own handler.
  void Unload();
  bool IsLoaded() const { return loaded_; }

  // Only valid while loaded.
  Timer& tmrScansione() { return *scan_timer_; }
  Timer& tmrImmagine() { return *slide_timer_; }
  EngineWindow* Window() { return window_.get(); }

 private:
  void Form_Load();
  void Form_Unload();

  ProgramState& state_;
  bool loaded_ = false;
  std::unique_ptr<EngineWindow> window_;
  std::unique_ptr<Timer> scan_timer_;
  std::unique_ptr<Timer> slide_timer_;
};

// "T": the single instance, created on first use.
EngineForm& Engine(ProgramState& state);
// True when T exists and is loaded (does not create it).
bool EngineLoaded(const ProgramState& state);
