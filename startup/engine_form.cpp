#include "startup/engine_form.h"

#include "catalogue/catalogue.h"
#include "saver/power_watch.h"
#include "sequence/slide_timer.h"
#include "startup/engine_window.h"
#include "startup/program_state.h"

namespace {
constexpr std::uint32_t kScanTimerInterval = 1;
constexpr std::uint32_t kSlideTimerStartInterval = 50;
}  // namespace

EngineForm::EngineForm(ProgramState& state) : state_(state) {}
EngineForm::~EngineForm() = default;

void EngineForm::Load() {
  if (loaded_) return;
  loaded_ = true;
  window_ = state_.ports.windows->CreateEngineWindow();
  ProgramState& state = state_;
  scan_timer_ = state_.ports.loop->CreateTimer(kScanTimerInterval, [&state] { tmrScansione_Timer(state); });
  slide_timer_ = state_.ports.loop->CreateTimer(kSlideTimerStartInterval, [&state] { tmrImmagine_Timer(state); });
  Form_Load();
}

void EngineForm::Unload() {
  if (!loaded_) return;
  Form_Unload();
  loaded_ = false;
  // The timers stop with the window; destroying a timer from inside its own
  // handler is allowed by every EventLoop.
  scan_timer_.reset();
  slide_timer_.reset();
  window_.reset();
}

void EngineForm::Form_Load() {
  if (window_) window_->SetCaption(state_.ShortName);
  if (window_) HookWindow(state_, *window_);
}

void EngineForm::Form_Unload() {
  if (window_) UnhookWindow(state_, *window_);
}

EngineForm& Engine(ProgramState& state) {
  if (!state.T) state.T = std::make_unique<EngineForm>(state);
  return *state.T;
}

bool EngineLoaded(const ProgramState& state) { return state.T && state.T->IsLoaded(); }
