#pragma once
// The frame renderer: one complete frame into a picture box.
#include <cstdint>
#include <string>

#include "settings/identity.h"
#include "settings/saver_settings.h"

class GraphicsSession;
class PictureBox;
class PreparedPicture;

// What the status overlay reports; the show fills it in, since it knows the numbers.
struct ShowStatus {
  bool random_order = false;
  bool scan_done = false;
  std::int32_t folders_queued = 0;
  std::int32_t pictures_listed = 0;
  std::int32_t current_index = -1;
  bool asleep = false;
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

 private:
  GraphicsSession& graphics_;
  const SaverSettings& settings_;
  const ProgramIdentity& identity_;
};

// 0x00BBGGRR colour + alpha -> ARGB (0xAARRGGBB); the colour's top byte is ignored.
std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha);
