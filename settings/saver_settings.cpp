#include "settings/saver_settings.h"

SaverSettings MakeDefaultSettings() {
  SaverSettings s;
  s.Interval = 15000;
  s.ImageDirectory = "";
  s.ExcludeDirectory = "";
  s.Recursive = true;
  s.Random = true;
  s.UpscaleMode = 1;
  s.ShowFilename = 2;
  s.ShowFilenameColorText = 16777215;  // white
  s.ShowFilenameColorBorder = 0;       // black
  s.ShowFileResolution = false;
  s.CheckImageSize = 0;
  s.CheckAspectRatio = 0;
  return s;
}
