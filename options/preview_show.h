#pragma once
// The show machinery the dialog's live preview drives: the catalogue and the
// slide show. The dialog calls them through this seam so its tests can watch
// the calls; the program's own forwards to the real ones.
#include <memory>

#include "sequence/slide_show.h"

class Catalogue;
class ShowTimers;
class EventLoop;
class PictureOrder;

class PreviewShow {
 public:
  virtual ~PreviewShow() = default;
  // Stops any running scan, rescans with the current settings and starts the
  // show in the dialog's preview.
  virtual void StartCatalogue() = 0;
  // Stops the scan and the show, and clears the preview.
  virtual void StopCatalogue() = 0;
  // Starts the show in the preview and draws a frame at once.
  virtual void StartSlideTimer() = 0;
  virtual bool SlideTimerRunning() = 0;
  // The slide timer's tick, run at once.
  virtual void SlideTick() = 0;
  virtual void ShowPreviousSlide() = 0;
  // What the preview's keys change.
  virtual ShowFlags& Flags() = 0;
};

std::unique_ptr<PreviewShow> CreatePreviewShow(ShowTimers& timers, EventLoop& loop, Catalogue& catalogue,
                                               PictureOrder& order, SlideShow& show);
