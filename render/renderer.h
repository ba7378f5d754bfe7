#pragma once
// The frame renderer: one complete frame into a picture box.
#include <cstdint>
#include <string>

#include "render/canvas.h"
#include "settings/identity.h"
#include "settings/saver_settings.h"

class GraphicsSession;
class PreparedPicture;

// What the status overlay reports; the show fills it in, since it knows the numbers.
struct ShowStatus {
  bool random_order = false;
  bool scan_done = false;
  std::int32_t folders_queued = 0;
  std::int32_t pictures_listed = 0;
  std::int32_t current_index = -1;
  bool asleep = false;
  bool still_frames = false;  // fades and motion given up: the machine draws too few frames a second
};

// The part of a picture a frame shows, when it is not all of it as placed:
// `source` (in the box's pixels, where the placement puts the picture)
// magnified to fill `shown`.
struct PictureView {
  RectF source, shown;
};

class FrameRenderer {
 public:
  FrameRenderer(GraphicsSession& graphics, const SaverSettings& settings, const ProgramIdentity& identity)
      : graphics_(graphics), settings_(settings), identity_(identity) {}

  // Black over the whole box, the prepared picture of `path` when there is
  // one, then the caption (the path, "" for none) or the message, and the
  // status overlay when `status` is given. A null box, or one without a
  // surface, draws nothing. The caller refreshes the box.
  void Draw(PictureBox* box, const PreparedPicture* picture, const std::string& path, const std::string& message,
            const ShowStatus* status);
  // The same frame in two steps, onto any canvas (a fade draws each slide
  // on a layer of its own): the slide alone, with the picture's part `view`
  // when given, then the status overlay over it. The slide's caption can be
  // left out, or drawn alone (over what the canvas has).
  enum class SlidePart { All, WithoutCaption, CaptionOnly };
  void DrawSlide(Canvas& canvas, const PreparedPicture* picture, const std::string& path, const std::string& message,
                 const PictureView* view, SlidePart part = SlidePart::All);
  void DrawOverlay(Canvas& canvas, const ShowStatus& status);

 private:
  GraphicsSession& graphics_;
  const SaverSettings& settings_;
  const ProgramIdentity& identity_;
};

// 0x00BBGGRR colour + alpha -> ARGB (0xAARRGGBB); the colour's top byte is ignored.
std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha);
