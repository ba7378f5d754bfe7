#include "sequence/slide_show.h"

#include "catalogue/catalogue.h"
#include "platform/show_timers.h"
#include "render/canvas.h"
#include "sequence/picture_order.h"
#include "sequence/picture_supply.h"

namespace {
constexpr const char* kNoFilesFound = "No files found :(";
}  // namespace

SlideShow::SlideShow(const Services& services, const SaverSettings& settings, const ProgramIdentity& identity)
    : services_(services),
      settings_(settings),
      identity_(identity),
      animator_({services.renderer, services.now, [this] { return OverlayStatus(); },
                 [this] { return flags_.asleep && !screens_.empty(); }, services.random},
                settings) {
  services_.supply.OnReady(
      [this](const PictureRequest& request, const std::shared_ptr<const PreparedPicture>& picture) {
        OnPictureReady(request, picture);
      });
  services_.catalogue.OnGrown([this] { OnListGrown(); });
}

std::string SlideShow::Credit() const { return identity_.short_name + "\r\n" + "by" + identity_.credit_name; }

std::string SlideShow::NothingToShowMessage() const {
  if (!services_.catalogue.ScanDone()) return "";
  return system_preview_ ? Credit() + "\r\n" + kNoFilesFound : kNoFilesFound;
}

std::vector<PictureBox*> SlideShow::Targets() {
  if (!screens_.empty()) return screens_;
  return {dialog_ ? dialog_->PreviewBox() : nullptr};
}

PictureRequest SlideShow::RequestFor(PictureBox* box, const std::string& path, bool preview_scale) const {
  PictureRequest request;
  request.path = path;
  box->AreaSize(request.area_width, request.area_height);
  request.mode = settings_.scale_mode;
  request.preview_scale = preview_scale;
  request.soft_backdrop = settings_.backdrop == Backdrop::Soft;
  request.motion = settings_.motion;
  return request;
}

std::optional<ShowStatus> SlideShow::OverlayStatus() const {
  if (!flags_.status_overlay) return std::nullopt;
  ShowStatus status;
  status.random_order = settings_.random_order;
  status.scan_done = services_.catalogue.ScanDone();
  status.folders_queued = services_.catalogue.FolderCount();
  status.pictures_listed = services_.catalogue.PictureCount();
  status.current_index = services_.order.CurrentIndex();
  status.asleep = flags_.asleep;
  status.still_frames = animator_.StillFrames();
  return status;
}

void SlideShow::Compose(PictureBox* box, std::shared_ptr<const PreparedPicture> picture, const std::string& path,
                        const std::string& message, bool fade) {
  animator_.Present(box, std::move(picture), path, message, fade);
}

void SlideShow::Show(PictureBox* box, const std::string& path, const std::string& message, bool preview_scale,
                     bool fade) {
  if (!box) return;
  waiting_.erase(box);
  if (path.empty()) return Compose(box, nullptr, path, message, false);
  const PictureRequest request = RequestFor(box, path, preview_scale);
  // A box of no size (another process's monitor) shows nothing: nothing to prepare.
  if (request.area_width <= 0 || request.area_height <= 0) return Compose(box, nullptr, path, message, false);
  std::shared_ptr<const PreparedPicture> kept = services_.supply.Find(request);
  if (kept) Compose(box, kept, path, message, fade);
  waiting_[box] = Waiting{request, path, message, kept, fade};
  services_.supply.Request(request, true);
}

void SlideShow::OnPictureReady(const PictureRequest& request, const std::shared_ptr<const PreparedPicture>& picture) {
  // Asleep, the screens keep their last frame; the sleep does not reach the dialog's preview.
  if (flags_.asleep && !screens_.empty()) return;
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    if (!(it->second.request == request)) {
      ++it;
      continue;
    }
    PictureBox* box = it->first;
    const Waiting waiting = std::move(it->second);
    it = waiting_.erase(it);
    if (picture != waiting.drawn) Compose(box, picture, waiting.path, waiting.message, waiting.fade);
  }
}

std::vector<PictureRequest> SlideShow::NextRequests() {
  std::vector<PictureRequest> requests;
  const std::vector<PictureBox*> boxes = Targets();
  const std::vector<std::string> next = services_.order.Peek(static_cast<int>(boxes.size()), settings_.random_order);
  for (std::size_t i = 0; i < next.size() && i < boxes.size(); ++i) {
    if (!boxes[i] || next[i].empty()) continue;
    const PictureRequest request = RequestFor(boxes[i], next[i], PreviewScale());
    if (request.area_width > 0 && request.area_height > 0) requests.push_back(request);
  }
  return requests;
}

void SlideShow::PrepareNext() {
  std::vector<PictureRequest> wanted;
  for (const auto& [box, waiting] : waiting_) wanted.push_back(waiting.request);
  prepared_ahead_ = NextRequests();
  // Pictures of slides the keys have moved past leave the queue first, so
  // the ones the screens wait for are the next to be prepared.
  wanted.insert(wanted.end(), prepared_ahead_.begin(), prepared_ahead_.end());
  services_.supply.KeepOnly(wanted);
  for (const PictureRequest& request : prepared_ahead_) services_.supply.Request(request, false);
}

void SlideShow::OnListGrown() {
  if (prepared_ahead_.empty() || !services_.timers.IsRunning() || NextRequests() == prepared_ahead_) return;
  PrepareNext();
}

void SlideShow::StepForward() {
  by_key_ = true;
  OnSlideTimer();
  by_key_ = false;
}

void SlideShow::OnSlideTimer() {
  ShowTimers& timers = services_.timers;
  if (!timers.IsRunning()) return;
  // Off for the length of the tick: ticks never overlap, and the next
  // interval counts from the end of this one.
  Timer& timer = timers.SlideTimer();
  timer.SetEnabled(false);
  // The short start interval gives way to the setting once there is
  // something to show or nothing more will come.
  if (timer.Interval() != settings_.interval_ms &&
      (services_.catalogue.PictureCount() > 0 || services_.catalogue.ScanDone()))
    timer.SetInterval(settings_.interval_ms);

  if (screens_.empty()) {
    ShowDialogPreview();
  } else if (!flags_.asleep) {
    ShowScreens();
  }
  if (timers.IsRunning()) timers.SlideTimer().SetEnabled(true);
}

// The options dialog's own preview: a single box, laid out at one tenth.
void SlideShow::ShowDialogPreview() {
  PictureBox* box = dialog_ ? dialog_->PreviewBox() : nullptr;
  if (!box) return;
  if (services_.catalogue.PictureCount() <= 0) {
    Show(box, "", services_.catalogue.ScanDone() ? kNoFilesFound : "", false);
  } else {
    Show(box, services_.order.Next(settings_.random_order), "", true, !by_key_);
    PrepareNext();
  }
}

// One picture per screen, the first screen taking the first.
void SlideShow::ShowScreens() {
  const bool pictures = services_.catalogue.PictureCount() > 0;
  for (PictureBox* box : screens_) {
    if (!pictures) {
      Show(box, "", NothingToShowMessage(), false);
    } else {
      const std::string path = services_.order.Next(settings_.random_order);
      Show(box, path, system_preview_ ? Credit() : "", system_preview_, !by_key_);
    }
  }
  if (pictures) PrepareNext();
}

// With fewer pictures than the step the index may stay below -1: those
// screens get an empty frame. The dialog's preview counts as one screen.
void SlideShow::ShowPreviousSlide() {
  ShowTimers& timers = services_.timers;
  if (!timers.SlideTimerRunning()) return;
  timers.SlideTimer().SetEnabled(false);
  const std::vector<PictureBox*> boxes = Targets();
  const std::int32_t count = services_.catalogue.PictureCount();
  if (count > 0) {
    std::int32_t index = services_.order.CurrentIndex() - 2 * static_cast<std::int32_t>(boxes.size());
    if (index < 0) index += count;
    services_.order.SetCurrentIndex(index);
  }
  for (PictureBox* box : boxes) {
    if (count > 0) {
      Show(box, services_.order.Next(false), system_preview_ ? Credit() : "", PreviewScale());
    } else {
      Show(box, "", NothingToShowMessage(), false);
    }
  }
  if (count > 0) PrepareNext();
  if (timers.IsRunning()) timers.SlideTimer().SetEnabled(true);
}

void SlideShow::StartInDialogPreview() {
  if (!dialog_ || !dialog_->PreviewShown()) return;
  screens_.clear();
  ShowTimers& timers = services_.timers;
  timers.Start();
  timers.SlideTimer().SetEnabled(true);
  OnSlideTimer();
}

void SlideShow::ClearDialogPreview() {
  PictureBox* box = dialog_ ? dialog_->PreviewBox() : nullptr;
  if (!box) return;
  waiting_.erase(box);
  animator_.Forget(box);
  box->Clear();
}
