// Command-line access to the platform's settings store for the end-to-end
// scripts: the same LoadSettings, SaveSettings and registry procedures the
// program uses, over the real registry (Windows) or the real .reg files
// (Linux), so scripts can check the results from outside.
//   glimmora_settings_tool load                 the loaded settings, "Name=value" a line
//   glimmora_settings_tool save-sample          saves a fixed set of non-default settings
//   glimmora_settings_tool get ROOT PATH NAME   "ok TEXT" or "failed" (ROOT: HKCU or HKLM)
//   glimmora_settings_tool set ROOT PATH TYPE NAME VALUE   TYPE 1, 3, 4 or 7; "ok" or "failed"
// Line breaks inside values are shown as \r and \n.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/identity.h"
#include "settings/registry.h"
#include "settings/settings_io.h"

int main(int argc, char** argv) {
  auto shown = [](std::string text) {
    for (std::size_t at = 0; (at = text.find_first_of("\r\n", at)) != std::string::npos; at += 2) {
      text.replace(at, 1, text[at] == '\r' ? "\\r" : "\\n");
    }
    return text;
  };
  std::unique_ptr<RegistryStore> registry = CreatePlatformRegistry();
  const std::string key = RestoreIdentity().settings_key;
  const SaverSettings defaults = MakeDefaultSettings();
  SaverSettings s = defaults;
  DiagnosticSwitches switches;
  const std::string command = argc > 1 ? argv[1] : "";
  const std::string root_name = argc > 2 ? argv[2] : "";
  const RegKey root = root_name == "HKCU" ? kHkeyCurrentUser : root_name == "HKLM" ? kHkeyLocalMachine : 0;
  if (command == "load" && argc == 2) {
    LoadSettings(*registry, key, defaults, s, switches);
    auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    auto number = [](auto value) { return std::to_string(static_cast<int>(value)); };
    const std::pair<const char*, std::string> fields[] = {
        {"ImageDirectory", s.include_folders}, {"ExcludeDirectory", s.exclude_folders},
        {"Interval", number(s.interval_ms)}, {"Recursive", flag(s.include_subfolders)},
        {"Random", flag(s.random_order)}, {"UpscaleMode", number(s.scale_mode)},
        {"ShowFilename", number(s.caption)}, {"ShowFilenameColorText", number(s.caption_text_colour)},
        {"ShowFilenameColorBorder", number(s.caption_border_colour)},
        {"ShowFileResolution", flag(s.caption_shows_size)}, {"CheckImageSize", number(s.size_filter)},
        {"CheckAspectRatio", number(s.aspect_filter)}, {"DebugMode", flag(switches.status_overlay)},
        {"DebugSkipMonitor", flag(switches.keep_first_monitor)}};
    for (const auto& [name, value] : fields) std::printf("%s=%s\n", name, shown(value).c_str());
  } else if (command == "save-sample" && argc == 2) {
    // The same on both platforms, so both write the same file.
    const SaverSettings sample = {.interval_ms = 60000,
                                  .include_folders = "C:\\Pictures\\\r\n\\\\server\\photos\\2023 Holiday\\",
                                  .exclude_folders = "C:\\Pictures\\Private\\",
                                  .include_subfolders = false,
                                  .random_order = true,
                                  .scale_mode = ScaleMode::Cover,
                                  .caption = CaptionPosition::Top,
                                  .caption_text_colour = 255,
                                  .caption_border_colour = 8421504,
                                  .caption_shows_size = true,
                                  .size_filter = SizeFilter::Min1152x864,
                                  .aspect_filter = AspectFilter::Wide};
    SaveSettings(*registry, key, sample);
  } else if (command == "get" && argc == 5 && root) {
    std::string text;
    bool ok = GetRegistryValue(*registry, root, argv[3], argv[4], text);
    std::printf(ok ? "ok %s\n" : "failed\n", shown(text).c_str());
  } else if (command == "set" && argc == 7 && root) {
    // A dword given as text is read by the whole-number rule.
    auto type = static_cast<std::uint32_t>(std::atoi(argv[4]));
    std::printf(SetRegistryValue(*registry, root, argv[3], type, argv[5], argv[6]) ? "ok\n" : "failed\n");
  } else {
    std::fprintf(stderr, "usage: glimmora_settings_tool load | save-sample | get ROOT PATH NAME |"
                         " set ROOT PATH TYPE NAME VALUE\n");
    return 2;
  }
  return 0;
}
