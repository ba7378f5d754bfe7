#pragma once
// How slides reach the screens: at once, or cross-faded over the
// Transition time; and while a slide shows, the slow pan and zoom of
// Motion. Frames are drawn at the display's pace (PictureBox::PaceFrames)
// only while something moves, each box on its own. A fade draws each slide
// once on a layer of its box and blends the two layers per frame; the
// status overlay is drawn over the blend, so it never fades. A moving
// slide is drawn whole once; each frame after redraws only the picture's
// place, with the caption kept from the first (TextStamp) laid over it. When the
// frames come slower than 20 a second for two seconds in a row, fades and
// motion are given up for the rest of the show: cuts and still pictures.
// UI thread only.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "render/canvas.h"
#include "render/frame_pixels.h"
#include "render/renderer.h"
#include "settings/saver_settings.h"

// The part of a picture shown at `progress` (0 to 1) of its interval: `shown`
// (what the picture covers of the box) seen magnified by up to
// kMotionGrowth, its centre drifted towards `direction` (radians) but never
// so far that anything past `shown` would show.
RectF MotionSource(const RectF& shown, double progress, double direction);

// The clock and the dice of the program's show: a steady clock in
// milliseconds, and a fraction in [0, 1).
double SteadyMilliseconds();
double RandomFraction();

class SlideAnimator {
 public:
  struct Services {
    FrameRenderer& renderer;
    // A steady clock, in milliseconds.
    std::function<double()> now;
    // The status overlay's numbers; none while it is off.
    std::function<std::optional<ShowStatus>()> overlay;
    // True while no frames should be drawn (the monitors asleep).
    std::function<bool()> paused;
    // 0 to 1, for the directions pictures drift in.
    std::function<double()> random;
  };

  SlideAnimator(const Services& services, const SaverSettings& settings);
  ~SlideAnimator();

  // A new slide in a box: cross-faded from what the box shows when `fade`
  // and the setting asks for it, else drawn at once (ending any fade).
  void Present(PictureBox* box, std::shared_ptr<const PreparedPicture> picture, const std::string& path,
               const std::string& message, bool fade);
  // The box goes or is cleared: its frames stop and its layers are freed.
  void Forget(PictureBox* box);
  // Fades and motion were given up.
  bool StillFrames() const { return still_frames_; }

 private:
  struct Slide {
    std::shared_ptr<const PreparedPicture> picture;
    std::string path, message;
    double shown_at = 0;
    double direction = 0;
  };
  struct Screen {
    Slide slide;
    double fade_start = -1;  // < 0: no fade
    bool incoming_drawn = false;  // the incoming layer has the slide (a moving one: as drawn whole)
    bool shown_drawn = false;     // what the box shows is the slide alone, as drawn whole
    TextStamp caption;            // a moving slide's caption
    bool caption_kept = false;
    bool pacing = false;     // its frames run
    double last_frame = -1;  // when its last frame came; < 0: none since they started
    double counted_ms = 0;   // frame rate: the time of the frames counted
    int frames = 0;
    int slow_windows = 0;  // slow seconds in a row
  };

  bool Moves(const Slide& slide, double now) const;
  void NewSlide(Screen& screen, Slide slide);
  // The part of a moving slide's picture shown at `now` in a box of `area`.
  PictureView ViewOf(const Slide& slide, const RectF& area, double now) const;
  // The slide whole on a layer, its picture's part at `now` when it moves;
  // a caption kept is laid over, not drawn anew, so that it looks the same
  // in every frame. False when the layer cannot be had.
  bool DrawWhole(PictureBox* box, FrameLayer layer, const Screen& screen, double now);
  // A moving slide on a layer: whole the first time (`drawn` false), after
  // that only the picture's place and the caption over it.
  void DrawMovingSlide(PictureBox* box, FrameLayer layer, Screen& screen, double now, bool& drawn);
  // One frame of the box; true while more are needed.
  bool DrawFrame(PictureBox* box, double now);
  void Animate(PictureBox* box);
  void EndFade(PictureBox* box, Screen& screen);
  // Counts a frame; gives fades and motion up when they come too slowly.
  void CountFrame(Screen& screen, double now);

  Services services_;
  const SaverSettings& settings_;
  std::map<PictureBox*, Screen> screens_;
  bool still_frames_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // what paced frames check first
};
