#include "sequence/slide_animator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

#include "render/frame_pixels.h"

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

void SlideAnimator::DrawSlide(Canvas& canvas, const Slide& slide, double now) {
  const PreparedPicture* picture = slide.picture.get();
  if (!settings_.motion || !picture || !picture->placement.draw)
    return services_.renderer.DrawSlide(canvas, picture, slide.path, slide.message, nullptr);
  // What the picture covers of the box; motion stays inside it.
  const RectF area = canvas.VisibleClipBounds();
  const PicturePlacement& at = picture->placement;
  const float left = std::max(at.x, area.x), top = std::max(at.y, area.y);
  const float right = std::min(at.x + at.width, area.x + area.width);
  const float bottom = std::min(at.y + at.height, area.y + area.height);
  PictureView view;
  view.shown = RectF{left, top, std::max(right - left, 0.f), std::max(bottom - top, 0.f)};
  const double progress = still_frames_ ? 0 : (now - slide.shown_at) / std::max<double>(settings_.interval_ms, 1);
  view.source = MotionSource(view.shown, progress, slide.direction);
  services_.renderer.DrawSlide(canvas, picture, slide.path, slide.message, &view);
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
    screen.slide = std::move(next);
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
  } else if (std::unique_ptr<Canvas> outgoing = box->CreateLayerCanvas(FrameLayer::Outgoing)) {
    DrawSlide(*outgoing, screen.slide, now);
  } else {  // no room for the layers: a cut
    screen.slide = std::move(next);
    Animate(box);
    return;
  }
  screen.slide = std::move(next);
  screen.fade_start = now;
  screen.incoming_drawn = false;
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
    std::unique_ptr<Canvas> incoming;
    if (moving || !screen.incoming_drawn) incoming = box->CreateLayerCanvas(FrameLayer::Incoming);
    if (incoming) DrawSlide(*incoming, screen.slide, now), screen.incoming_drawn = true;
    incoming.reset();
    BlendFrames(box->LayerPixels(FrameLayer::Outgoing), box->LayerPixels(FrameLayer::Incoming),
                box->LayerPixels(FrameLayer::Shown), static_cast<int>(256 * std::max(fade, 0.0)));
    box->LayerPixelsChanged(FrameLayer::Shown);
  }
  std::unique_ptr<Canvas> shown = box->CreateCanvas();
  if (shown) {
    if (fade >= 1) DrawSlide(*shown, screen.slide, now);
    if (const std::optional<ShowStatus> status = services_.overlay()) services_.renderer.DrawOverlay(*shown, *status);
  }
  shown.reset();
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
