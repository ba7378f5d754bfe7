#include "options/preview_engine.h"

#include "catalogue/catalogue.h"
#include "platform/engine.h"
#include "platform/event_loop.h"
#include "sequence/picture_order.h"

namespace {

class ShowPreviewEngine final : public PreviewEngine {
 public:
  ShowPreviewEngine(Engine& engine, EventLoop& loop, Catalogue& catalogue, PictureOrder& order, SlideShow& show)
      : engine_(engine), loop_(loop), catalogue_(catalogue), order_(order), show_(show) {}

  void StartCatalogue() override {
    StopCatalogue();
    loop_.ProcessPendingEvents();
    engine_.Load();
    catalogue_.Seed();
    catalogue_.StartScan();
    loop_.ProcessPendingEvents();
    order_.SetCurrentIndex(-1);
    show_.StartInDialogPreview();
  }

  void StopCatalogue() override {
    catalogue_.RequestStop();
    // A running walk sees the request at this yield's end and returns.
    loop_.ProcessPendingEvents();
    if (engine_.IsLoaded()) engine_.Unload();
    loop_.ProcessPendingEvents();
    show_.ClearDialogPreview();
  }

  void StartSlideTimer() override { show_.StartInDialogPreview(); }
  bool SlideTimerRunning() override { return engine_.SlideTimerRunning(); }
  void SlideTick() override { show_.OnSlideTimer(); }
  void ShowPreviousSlide() override { show_.ShowPreviousSlide(); }
  ShowFlags& Flags() override { return show_.Flags(); }

 private:
  Engine& engine_;
  EventLoop& loop_;
  Catalogue& catalogue_;
  PictureOrder& order_;
  SlideShow& show_;
};

}  // namespace

std::unique_ptr<PreviewEngine> CreateShowPreviewEngine(Engine& engine, EventLoop& loop, Catalogue& catalogue,
                                                       PictureOrder& order, SlideShow& show) {
  return std::make_unique<ShowPreviewEngine>(engine, loop, catalogue, order, show);
}
