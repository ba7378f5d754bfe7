// libFuzzer target for loading the settings from a .reg file: any file gives
// settings within their ranges, and what a save of them loads back as (a
// text a value cannot hold, such as a folder list ending in a line break,
// changes once) loads back the same after a second save. The commands
// are in tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "settings/reg_file_properties.h"
#include "settings/settings_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto* file = new reg_file_properties::MemoryFile(std::string(reinterpret_cast<const char*>(data), size));
  auto store = CreateFileRegistry({"user.reg", ""}, std::unique_ptr<RegFileIo>(file));
  const char kKey[] = "Software\\Glimmora";
  const SaverSettings defaults = MakeDefaultSettings();
  SaverSettings loaded[3] = {defaults, defaults, defaults};
  DiagnosticSwitches switches;
  LoadSettings(*store, kKey, defaults, loaded[0], switches);
  const SaverSettings& s = loaded[0];
  auto within = [](auto value, int last) { return static_cast<int>(value) >= 0 && static_cast<int>(value) <= last; };
  if (s.interval_ms < 500 || s.interval_ms > 65000 || !within(s.scale_mode, 3) || !within(s.caption, 2) ||
      !within(s.size_filter, 12) || !within(s.aspect_filter, 2) ||
      (s.caption == CaptionPosition::Off && s.caption_shows_size))
    std::abort();
  for (int round = 1; round < 3; ++round) {
    SaveSettings(*store, kKey, loaded[round - 1]);
    LoadSettings(*store, kKey, defaults, loaded[round], switches);
  }
  if (loaded[2] != loaded[1]) std::abort();
  return 0;
}
