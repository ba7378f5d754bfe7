#include "sequence/slide_animator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

namespace {

// Fades and motion need this many frames a second, measured over this long,
// this many times in a row (one slow second is a hiccup: a busy moment).
// A longer gap between two frames is a pause (the box hidden), not slowness.
constexpr double kFewestFramesPerSecond = 20;
constexpr double kFrameRateWindowMs = 1000;
constexpr int kSlowWindowsToGiveUp = 2;
constexpr double kPauseMs = 250;

}  // namespace

RectF MotionSource(const RectF& shown, double progress, double direction) {
  progress = std::clamp(progress, 0.0, 1.0);
  const double zoom = 1 + kMotionGrowth * progress;
  const double width = shown.width / zoom, height = shown.height / zoom;
  // Half the room left on each side, times the direction: inside `shown`.
  const double x = shown.x + (shown.width - width) / 2 * (1 + std::cos(direction));
  const double y = shown.y + (shown.height - height) / 2 * (1 + std::sin(direction));
  return RectF{static_cast<float>(x), static_cast<float>(y), static_cast<float>(width), static_cast<float>(height)};
}

double SteadyMilliseconds() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double RandomFraction() {
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_real_distribution<double>(0, 1)(generator);
}

SlideAnimator::SlideAnimator(const Services& services, const SaverSettings& settings)
    : services_(services), settings_(settings) {}

// The boxes may go first (they stop their own frames) or last (their
// frames then find the animator gone).
SlideAnimator::~SlideAnimator() = default;

bool SlideAnimator::Moves(const Slide& slide, double now) const {
  return settings_.motion && !still_frames_ && slide.picture && slide.picture->placement.draw && !slide.path.empty() &&
         now - slide.shown_at < settings_.interval_ms;
}

void SlideAnimator::NewSlide(Screen& screen, Slide slide) {
  screen.slide = std::move(slide);
  screen.incoming_drawn = screen.shown_drawn = screen.caption_kept = false;
  screen.caption = {};
}

PictureView SlideAnimator::ViewOf(const Slide& slide, const RectF& area, double now) const {
  // What the picture covers of the box; motion stays inside it.
  const PicturePlacement& at = slide.picture->placement;
  const float left = std::max(at.x, area.x), top = std::max(at.y, area.y);
  const float right = std::min(at.x + at.width, area.x + area.width);
  const float bottom = std::min(at.y + at.height, area.y + area.height);
  PictureView view;
  view.shown = RectF{left, top, std::max(right - left, 0.f), std::max(bottom - top, 0.f)};
  const double progress = still_frames_ ? 0 : (now - slide.shown_at) / std::max<double>(settings_.interval_ms, 1);
  view.source = MotionSource(view.shown, progress, slide.direction);
  return view;
}

bool SlideAnimator::DrawWhole(PictureBox* box, FrameLayer layer, const Screen& screen, double now) {
  std::unique_ptr<Canvas> canvas = box->CreateLayerCanvas(layer);
  if (!canvas) return false;
  const Slide& slide = screen.slide;
  const PreparedPicture* picture = slide.picture.get();
  if (!settings_.motion || !picture || !picture->placement.draw) {
    services_.renderer.DrawSlide(*canvas, picture, slide.path, slide.message, nullptr);
    return true;
  }
  const PictureView view = ViewOf(slide, canvas->VisibleClipBounds(), now);
  if (!screen.caption_kept) {
    services_.renderer.DrawSlide(*canvas, picture, slide.path, slide.message, &view);
    return true;
  }
  services_.renderer.DrawSlide(*canvas, picture, slide.path, slide.message, &view,
                               FrameRenderer::SlidePart::WithoutCaption);
  canvas.reset();
  const FrameBuffer whole = box->LayerPixels(layer);
  DrawStamp(screen.caption, whole, PixelRect{0, 0, whole.width, whole.height});
  box->LayerPixelsChanged(layer);
  return true;
}

void SlideAnimator::DrawMovingSlide(PictureBox* box, FrameLayer layer, Screen& screen, double now, bool& drawn) {
  const Slide& slide = screen.slide;
  const FrameBuffer frame = box->LayerPixels(layer);
  // Over a soft background, a picture that may have transparent parts is
  // drawn whole each frame: what shows through them is drawn with it.
  const bool over_black = slide.picture->pixels.opaque() || settings_.backdrop != Backdrop::Soft;
  if (drawn && frame.data && screen.caption_kept && over_black) {
    const RectF area{0, 0, static_cast<float>(frame.width), static_cast<float>(frame.height)};
    const PictureView view = ViewOf(slide, area, now);
    const PixelRect redrawn = DrawPicturePart(*slide.picture, view.source, frame, view.shown);
    if (!redrawn.empty()) {
      DrawStamp(screen.caption, frame, redrawn);
      box->LayerPixelsChanged(layer);
      return;
    }
  }
  // Whole. The caption is kept first, drawn on the layer itself over black
  // and over white; a box without pixels to read has it drawn each frame.
  if (!screen.caption_kept) {
    bool read = true;
    screen.caption = CaptureText([&](std::uint8_t background) -> FrameBuffer {
      const FrameBuffer pixels = box->CreateLayerCanvas(layer) ? box->LayerPixels(layer) : FrameBuffer{};
      if (!pixels.data) return read = false, FrameBuffer{};
      for (int y = 0; y < pixels.height; ++y)
        std::memset(pixels.data + pixels.stride * y, background,
                    static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.bytes_per_pixel));
      box->LayerPixelsChanged(layer);
      if (std::unique_ptr<Canvas> canvas = box->CreateLayerCanvas(layer))
        services_.renderer.DrawSlide(*canvas, slide.picture.get(), slide.path, slide.message, nullptr,
                                     FrameRenderer::SlidePart::CaptionOnly);
      return box->LayerPixels(layer);
    });
    screen.caption_kept = read;
  }
  drawn = DrawWhole(box, layer, screen, now);
}

void SlideAnimator::Present(PictureBox* box, std::shared_ptr<const PreparedPicture> picture, const std::string& path,
                            const std::string& message, bool fade) {
  if (!box) return;
  const double now = services_.now();
  Screen& screen = screens_[box];
  Slide next{std::move(picture), path, message, now, 2 * std::numbers::pi * services_.random()};
  const bool fading = screen.fade_start >= 0;
  if (!fade || settings_.transition_ms == 0 || still_frames_) {
    if (fading) EndFade(box, screen);
    NewSlide(screen, std::move(next));
    Animate(box);
    return;
  }
  // The outgoing layer takes what the box shows now, without the overlay:
  // a fade cut short by this one leaves its blend.
  if (fading) {
    BlendFrames(box->LayerPixels(FrameLayer::Outgoing), box->LayerPixels(FrameLayer::Incoming),
                box->LayerPixels(FrameLayer::Outgoing),
                static_cast<int>(256 * std::clamp((now - screen.fade_start) / settings_.transition_ms, 0.0, 1.0)));
    box->LayerPixelsChanged(FrameLayer::Outgoing);
  } else if (DrawWhole(box, FrameLayer::Outgoing, screen, now)) {
  } else {  // no room for the layers: a cut
    NewSlide(screen, std::move(next));
    Animate(box);
    return;
  }
  NewSlide(screen, std::move(next));
  screen.fade_start = now;
  Animate(box);
}

void SlideAnimator::Animate(PictureBox* box) {
  Screen& screen = screens_[box];
  if (!DrawFrame(box, services_.now())) {
    box->StopFrames();
    screen.pacing = false;
    return;
  }
  if (screen.pacing) return;
  screen.pacing = true, screen.last_frame = -1;
  box->PaceFrames([this, box, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired()) return false;
    const double now = services_.now();
    auto it = screens_.find(box);
    if (it == screens_.end()) return false;
    if (services_.paused()) return it->second.pacing = false;
    CountFrame(it->second, now);
    return it->second.pacing = DrawFrame(box, now);
  });
}

void SlideAnimator::CountFrame(Screen& screen, double now) {
  const double gap = now - screen.last_frame;
  screen.last_frame = now;
  if (gap > kPauseMs || gap < 0) return;
  screen.counted_ms += gap, ++screen.frames;
  if (screen.counted_ms < kFrameRateWindowMs) return;
  const bool slow = screen.frames < kFewestFramesPerSecond * screen.counted_ms / 1000;
  screen.slow_windows = slow ? screen.slow_windows + 1 : 0;
  if (screen.slow_windows >= kSlowWindowsToGiveUp) still_frames_ = true;
  screen.counted_ms = 0, screen.frames = 0;
}

bool SlideAnimator::DrawFrame(PictureBox* box, double now) {
  Screen& screen = screens_[box];
  const bool moving = Moves(screen.slide, now);
  const double fade = screen.fade_start < 0 || still_frames_
                          ? 1
                          : (now - screen.fade_start) / std::max<double>(settings_.transition_ms, 1);
  if (fade >= 1 && screen.fade_start >= 0) EndFade(box, screen);
  if (fade < 1) {
    if (moving) {
      DrawMovingSlide(box, FrameLayer::Incoming, screen, now, screen.incoming_drawn);
    } else if (!screen.incoming_drawn) {
      screen.incoming_drawn = DrawWhole(box, FrameLayer::Incoming, screen, now);
    }
    BlendFrames(box->LayerPixels(FrameLayer::Outgoing), box->LayerPixels(FrameLayer::Incoming),
                box->LayerPixels(FrameLayer::Shown), static_cast<int>(256 * std::max(fade, 0.0)));
    box->LayerPixelsChanged(FrameLayer::Shown);
  }
  const std::optional<ShowStatus> status = services_.overlay();
  if (fade >= 1 && moving && !status) {
    DrawMovingSlide(box, FrameLayer::Shown, screen, now, screen.shown_drawn);
  } else {
    // Whole, or the overlay over the blend; either way the next moving
    // frame starts afresh.
    screen.shown_drawn = false;
    if (fade >= 1) DrawWhole(box, FrameLayer::Shown, screen, now);
    if (std::unique_ptr<Canvas> shown = status ? box->CreateCanvas() : nullptr)
      services_.renderer.DrawOverlay(*shown, *status);
  }
  box->Refresh();
  return fade < 1 || moving;
}

void SlideAnimator::EndFade(PictureBox* box, Screen& screen) {
  screen.fade_start = -1;
  box->DropLayers();
}

void SlideAnimator::Forget(PictureBox* box) {
  auto it = screens_.find(box);
  if (it == screens_.end()) return;
  box->StopFrames();
  box->DropLayers();
  screens_.erase(it);
}
