#pragma once
// The slide show: each tick of the slide timer shows the next picture in
// every screen (a saver window per monitor, or the system preview's one
// window), or in the options dialog's preview, or a message when there is
// nothing to show. Pictures come prepared off the UI thread: the pictures of
// the next slide are prepared during the interval, and those just shown stay
// kept for the back keys, so a slide shows at once; a picture not ready yet
// shows the moment it is, its screen keeping the picture before it (black at
// the start) meanwhile. When the keys skip slides faster than they can be
// prepared, the skipped slides' pictures are never decoded. The show also
// holds what the keys change: the status overlay and whether the monitors
// sleep.
#include <map>
#include <string>
#include <vector>

#include "render/prepared_picture.h"
#include "render/renderer.h"
#include "sequence/slide_animator.h"
#include "settings/identity.h"
#include "settings/saver_settings.h"

class Catalogue;
class ShowTimers;
class PictureBox;
class PictureOrder;
class PictureSupply;

// The options dialog's live preview, as the show sees it.
class DialogPreview {
 public:
  virtual ~DialogPreview() = default;
  // Whether the Info panel, which holds the preview, is shown.
  virtual bool PreviewShown() const = 0;
  // The preview's picture box; null while it has no surface.
  virtual PictureBox* PreviewBox() = 0;
};

struct ShowFlags {
  bool status_overlay = false;  // drawn over every frame
  bool overlay_armed = false;   // the overlay key sequence's first key came last
  bool asleep = false;          // monitors off and no input since: no new slides
};

class SlideShow {
 public:
  struct Services {
    ShowTimers& timers;
    Catalogue& catalogue;
    PictureOrder& order;
    FrameRenderer& renderer;
    PictureSupply& supply;
    // The clock fades and motion are timed by, and the dice of motion.
    std::function<double()> now = SteadyMilliseconds;
    std::function<double()> random = RandomFraction;
  };

  SlideShow(const Services& services, const SaverSettings& settings, const ProgramIdentity& identity);

  // The screens, in monitor order; with none, the show draws into the dialog preview.
  void SetScreens(std::vector<PictureBox*> screens) { screens_ = std::move(screens); }
  int CountScreens() const { return static_cast<int>(screens_.size()); }
  void SetDialogPreview(DialogPreview* preview) { dialog_ = preview; }
  // The system's small preview (/P): pictures at one tenth, the credit instead of the caption.
  void SetSystemPreview(bool on) { system_preview_ = on; }
  bool InSystemPreview() const { return system_preview_; }

  ShowFlags& Flags() { return flags_; }
  const ShowFlags& Flags() const { return flags_; }

  // The slide timer's tick. Also run directly at start-up.
  void OnSlideTimer();
  // The next slide at once, by a key: cut in, not faded.
  void StepForward();
  // Back over the pictures on screen and the ones before them, so each
  // screen shows what it showed one slide earlier. Only while the slide
  // timer runs; the next slide then comes a full interval later.
  void ShowPreviousSlide();
  // Starts the show in the options dialog's preview (only while it is
  // shown): the timers start and a frame drawn at once.
  void StartInDialogPreview();
  // Clears the dialog preview's picture box, if it has one.
  void ClearDialogPreview();

  // Shows a picture (or, for "", only the message) in a box: at once when it
  // is prepared, else as soon as it is.
  // `fade`: it may cross-fade in (a slide the timer brings).
  void Show(PictureBox* box, const std::string& path, const std::string& message, bool preview_scale,
            bool fade = false);
  // "<short name>" CR-LF "by<credit name>": shown instead of the caption in
  // the system's small preview.
  std::string Credit() const;

 private:
  // A picture the show waits for in a box; or one drawn there from the
  // supply's keeping while it is checked against its file (drawn anew if
  // the file changed).
  struct Waiting {
    PictureRequest request;
    std::string path, message;
    std::shared_ptr<const PreparedPicture> drawn;
    bool fade = false;
  };

  void ShowDialogPreview();
  void ShowScreens();
  // Prepares the next slide's pictures while this one shows, and drops
  // every other picture on its way but those the screens wait for.
  void PrepareNext();
  // What the next slide shows as the list is now.
  std::vector<PictureRequest> NextRequests();
  // In random order the next slide depends on the list's length: what is
  // prepared ahead follows the walk.
  void OnListGrown();
  void OnPictureReady(const PictureRequest& request, const std::shared_ptr<const PreparedPicture>& picture);
  // A new slide into a box (the status overlay over it when it is on).
  void Compose(PictureBox* box, std::shared_ptr<const PreparedPicture> picture, const std::string& path,
               const std::string& message, bool fade);
  std::optional<ShowStatus> OverlayStatus() const;
  PictureRequest RequestFor(PictureBox* box, const std::string& path, bool preview_scale) const;
  // The boxes the show draws into now: the screens, or the dialog's preview.
  std::vector<PictureBox*> Targets();
  bool PreviewScale() const { return screens_.empty() || system_preview_; }
  // What an empty list shows: nothing while the scan runs, then a message.
  std::string NothingToShowMessage() const;

  Services services_;
  const SaverSettings& settings_;
  const ProgramIdentity& identity_;
  std::vector<PictureBox*> screens_;
  DialogPreview* dialog_ = nullptr;
  bool system_preview_ = false;
  ShowFlags flags_;
  std::map<PictureBox*, Waiting> waiting_;
  std::vector<PictureRequest> prepared_ahead_;  // by the last PrepareNext
  bool by_key_ = false;                         // the slide being shown was asked for by a key
  SlideAnimator animator_;
};
