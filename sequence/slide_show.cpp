#include "sequence/slide_show.h"

#include "catalogue/catalogue.h"
#include "platform/engine.h"
#include "render/canvas.h"
#include "sequence/picture_order.h"

namespace {
constexpr const char* kNoFilesFound = "No files found :(";
}  // namespace

SlideShow::SlideShow(const Services& services, const SaverSettings& settings, const ProgramIdentity& identity)
    : services_(services), settings_(settings), identity_(identity) {}

std::string SlideShow::Credit() const { return identity_.short_name + "\r\n" + "by" + identity_.credit_name; }

void SlideShow::Draw(PictureBox* box, const std::string& path, const std::string& message, bool preview_scale) {
  ShowStatus status;
  status.random_order = settings_.random_order;
  status.scan_done = services_.catalogue.ScanDone();
  status.folders_queued = services_.catalogue.FolderCount();
  status.pictures_listed = services_.catalogue.PictureCount();
  status.current_index = services_.order.CurrentIndex();
  status.asleep = flags_.asleep;
  services_.renderer.Draw(box, path, message, preview_scale, flags_.status_overlay ? &status : nullptr);
}

std::string SlideShow::NothingToShowMessage() const {
  if (!services_.catalogue.ScanDone()) return "";
  return system_preview_ ? Credit() + "\r\n" + kNoFilesFound : kNoFilesFound;
}

void SlideShow::OnSlideTimer() {
  Engine& engine = services_.engine;
  if (!engine.IsLoaded()) return;
  // Off for the length of the tick: ticks never overlap, and the next
  // interval counts from the end of this one.
  Timer& timer = engine.SlideTimer();
  timer.SetEnabled(false);
  // The short start interval gives way to the setting once there is
  // something to show or nothing more will come.
  if (timer.Interval() != settings_.interval_ms &&
      (services_.catalogue.PictureCount() > 0 || services_.catalogue.ScanDone()))
    timer.SetInterval(settings_.interval_ms);

  if (screens_.empty()) {
    DrawDialogPreview();
  } else if (!flags_.asleep) {
    DrawScreens();
  }
  if (engine.IsLoaded()) engine.SlideTimer().SetEnabled(true);
}

// The options dialog's own preview: a single box, laid out at one tenth.
void SlideShow::DrawDialogPreview() {
  PictureBox* box = dialog_ ? dialog_->PreviewBox() : nullptr;
  if (!box) return;
  if (services_.catalogue.PictureCount() <= 0) {
    Draw(box, "", services_.catalogue.ScanDone() ? kNoFilesFound : "", false);
  } else {
    Draw(box, services_.order.Next(settings_.random_order), "", true);
  }
  box->Refresh();
}

// One picture per screen, the first screen taking the first.
void SlideShow::DrawScreens() {
  for (PictureBox* box : screens_) {
    if (!box) continue;
    if (services_.catalogue.PictureCount() < 1) {
      Draw(box, "", NothingToShowMessage(), false);
    } else {
      const std::string path = services_.order.Next(settings_.random_order);
      Draw(box, path, system_preview_ ? Credit() : "", system_preview_);
    }
    box->Refresh();
  }
}

// With fewer pictures than the step the index may stay below -1: those
// screens get an empty frame. The dialog's preview counts as one screen.
void SlideShow::ShowPreviousSlide() {
  Engine& engine = services_.engine;
  if (!engine.SlideTimerRunning()) return;
  engine.SlideTimer().SetEnabled(false);
  const bool dialog = screens_.empty();
  const std::vector<PictureBox*> boxes =
      dialog ? std::vector<PictureBox*>{dialog_ ? dialog_->PreviewBox() : nullptr} : screens_;
  const std::int32_t count = services_.catalogue.PictureCount();
  if (count > 0) {
    std::int32_t index = services_.order.CurrentIndex() - 2 * static_cast<std::int32_t>(boxes.size());
    if (index < 0) index += count;
    services_.order.SetCurrentIndex(index);
  }
  for (PictureBox* box : boxes) {
    if (count > 0) {
      Draw(box, services_.order.Next(false), system_preview_ ? Credit() : "", dialog || system_preview_);
    } else {
      Draw(box, "", NothingToShowMessage(), false);
    }
    if (box) box->Refresh();
  }
  if (engine.IsLoaded()) engine.SlideTimer().SetEnabled(true);
}

void SlideShow::StartInDialogPreview() {
  if (!dialog_ || !dialog_->PreviewShown()) return;
  screens_.clear();
  Engine& engine = services_.engine;
  engine.Load();
  engine.SlideTimer().SetEnabled(true);
  OnSlideTimer();
}

void SlideShow::ClearDialogPreview() {
  if (PictureBox* box = dialog_ ? dialog_->PreviewBox() : nullptr) box->Clear();
}
