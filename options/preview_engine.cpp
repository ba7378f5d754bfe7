#include "options/preview_engine.h"

#include "catalogue/catalogue.h"
#include "render/renderer.h"
#include "sequence/next_picture.h"
#include "sequence/slide_timer.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"

namespace {

class ProgramPreviewEngine final : public PreviewEngine {
 public:
  explicit ProgramPreviewEngine(ProgramState& state) : state_(state) {}

  void StartCatalogue() override { ::StartCatalogue(state_); }
  void StopCatalogue() override { ::StopCatalogue(state_); }
  void StartSlideTimer() override { ::StartSlideTimer(state_); }
  bool SlideTimerRunning() override { return EngineLoaded(state_) && Engine(state_).tmrImmagine().Enabled(); }
  void SetSlideTimer(bool enabled) override {
    if (EngineLoaded(state_)) Engine(state_).tmrImmagine().SetEnabled(enabled);
  }
  void SlideTick() override { tmrImmagine_Timer(state_); }
  std::string NextPicture(bool random) override { return ::NextPicture(state_, random); }
  void RenderPicture(const std::string& path, const std::string& message, PictureBox* box,
                     bool previewScale) override {
    ::RenderPicture(state_, path, message, box, previewScale);
  }

 private:
  ProgramState& state_;
};

}  // namespace

std::unique_ptr<PreviewEngine> CreateProgramPreviewEngine(ProgramState& state) {
  return std::make_unique<ProgramPreviewEngine>(state);
}
