#pragma once
// The show machinery the dialog's live preview drives: the catalogue, the
// slide timer, the next-picture choice and the renderer. The dialog calls
// them through this seam so its tests can watch the calls; the program's
// engine forwards to the real functions.
#include <memory>
#include <string>

struct ProgramState;
class PictureBox;

class PreviewEngine {
 public:
  virtual ~PreviewEngine() = default;
  // StartCatalogue: stops any running scan and rescans with CurrentSettings
  // (then StartSlideTimer).
  virtual void StartCatalogue() = 0;
  // StopCatalogue: stops the scan and the slide engine, clears picSaver.
  virtual void StopCatalogue() = 0;
  // StartSlideTimer: enables the slide timer and runs its tick at once.
  virtual void StartSlideTimer() = 0;
  // Whether tmrImmagine is enabled, and enabling/disabling it.
  virtual bool SlideTimerRunning() = 0;
  virtual void SetSlideTimer(bool enabled) = 0;
  // tmrImmagine_Timer, run at once.
  virtual void SlideTick() = 0;
  // NextPicture: advances CurrentIndex (shuffling the rest when random) and
  // returns that path.
  virtual std::string NextPicture(bool random) = 0;
  // RenderPicture into the preview box.
  virtual void RenderPicture(const std::string& path, const std::string& message, PictureBox* box,
                             bool previewScale) = 0;
};

std::unique_ptr<PreviewEngine> CreateProgramPreviewEngine(ProgramState& state);
