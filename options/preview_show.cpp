#include "options/preview_show.h"

#include "catalogue/catalogue.h"
#include "platform/show_timers.h"
#include "platform/event_loop.h"
#include "sequence/picture_order.h"

namespace {

class DialogPreviewShow final : public PreviewShow {
 public:
  DialogPreviewShow(ShowTimers& timers, EventLoop& loop, Catalogue& catalogue, PictureOrder& order, SlideShow& show)
      : timers_(timers), loop_(loop), catalogue_(catalogue), order_(order), show_(show) {}

  void StartCatalogue() override {
    StopCatalogue();
    loop_.ProcessPendingEvents();
    timers_.Start();
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
    if (timers_.IsRunning()) timers_.Stop();
    loop_.ProcessPendingEvents();
    show_.ClearDialogPreview();
  }

  void StartSlideTimer() override { show_.StartInDialogPreview(); }
  bool SlideTimerRunning() override { return timers_.SlideTimerRunning(); }
  void SlideTick() override { show_.OnSlideTimer(); }
  void ShowPreviousSlide() override { show_.ShowPreviousSlide(); }
  ShowFlags& Flags() override { return show_.Flags(); }

 private:
  ShowTimers& timers_;
  EventLoop& loop_;
  Catalogue& catalogue_;
  PictureOrder& order_;
  SlideShow& show_;
};

}  // namespace

std::unique_ptr<PreviewShow> CreatePreviewShow(ShowTimers& timers, EventLoop& loop, Catalogue& catalogue,
                                               PictureOrder& order, SlideShow& show) {
  return std::make_unique<DialogPreviewShow>(timers, loop, catalogue, order, show);
}
