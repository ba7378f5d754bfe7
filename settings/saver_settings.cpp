#include "settings/saver_settings.h"

SaverSettings MakeDefaultSettings() {
  SaverSettings s;
  s.interval_ms = 15000;
  s.include_subfolders = true;
  s.random_order = true;
  s.scale_mode = ScaleMode::Fit;
  s.caption = CaptionPosition::Bottom;
  s.caption_text_colour = 0xFFFFFF;  // white
  s.caption_border_colour = 0;       // black
  return s;
}
