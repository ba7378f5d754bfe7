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

#include "settings/registry.h"
#include "settings/settings_io.h"
#include "startup/identity.h"
#include "startup/program_state.h"

int main(int argc, char** argv) {
  auto shown = [](std::string text) {
    for (std::size_t at = 0; (at = text.find_first_of("\r\n", at)) != std::string::npos; at += 2) {
      text.replace(at, 1, text[at] == '\r' ? "\\r" : "\\n");
    }
    return text;
  };
  std::unique_ptr<RegistryStore> registry = CreatePlatformRegistry();
  ProgramState state;
  state.ports.registry = registry.get();
  RestoreIdentity(state);
  state.DefaultSettings = state.CurrentSettings = MakeDefaultSettings();
  const std::string command = argc > 1 ? argv[1] : "";
  const std::string root_name = argc > 2 ? argv[2] : "";
  const RegKey root = root_name == "HKCU" ? kHkeyCurrentUser : root_name == "HKLM" ? kHkeyLocalMachine : 0;
  if (command == "load" && argc == 2) {
    LoadSettings(state);
    const SaverSettings& s = state.CurrentSettings;
    auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    using std::to_string;
    const std::pair<const char*, std::string> fields[] = {
        {"ImageDirectory", s.ImageDirectory}, {"ExcludeDirectory", s.ExcludeDirectory},
        {"Interval", to_string(s.Interval)}, {"Recursive", flag(s.Recursive)}, {"Random", flag(s.Random)},
        {"UpscaleMode", to_string(s.UpscaleMode)}, {"ShowFilename", to_string(s.ShowFilename)},
        {"ShowFilenameColorText", to_string(s.ShowFilenameColorText)},
        {"ShowFilenameColorBorder", to_string(s.ShowFilenameColorBorder)},
        {"ShowFileResolution", flag(s.ShowFileResolution)}, {"CheckImageSize", to_string(s.CheckImageSize)},
        {"CheckAspectRatio", to_string(s.CheckAspectRatio)}, {"DebugMode", flag(state.DebugMode)},
        {"DebugSkipMonitor", flag(state.DebugSkipMonitor)}};
    for (const auto& [name, value] : fields) std::printf("%s=%s\n", name, shown(value).c_str());
  } else if (command == "save-sample" && argc == 2) {
    // The same on both platforms, so both write the same file.
    state.CurrentSettings = {.Interval = 60000, .ImageDirectory = "C:\\Pictures\\\r\n\\\\server\\photos\\2023 Holiday\\",
                             .ExcludeDirectory = "C:\\Pictures\\Private\\", .Recursive = false, .Random = true,
                             .UpscaleMode = 3, .ShowFilename = 1, .ShowFilenameColorText = 255,
                             .ShowFilenameColorBorder = 8421504, .ShowFileResolution = true, .CheckImageSize = 5,
                             .CheckAspectRatio = 2};
    SaveSettings(state);
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
