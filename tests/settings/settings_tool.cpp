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

namespace {

std::string Shown(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void Print(const std::string& name, const std::string& value) {
  std::printf("%s=%s\n", name.c_str(), Shown(value).c_str());
}

void PrintSettings(const ProgramState& state) {
  const SaverSettings& s = state.CurrentSettings;
  auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
  Print("ImageDirectory", s.ImageDirectory);
  Print("ExcludeDirectory", s.ExcludeDirectory);
  Print("Interval", std::to_string(s.Interval));
  Print("Recursive", flag(s.Recursive));
  Print("Random", flag(s.Random));
  Print("UpscaleMode", std::to_string(s.UpscaleMode));
  Print("ShowFilename", std::to_string(s.ShowFilename));
  Print("ShowFilenameColorText", std::to_string(s.ShowFilenameColorText));
  Print("ShowFilenameColorBorder", std::to_string(s.ShowFilenameColorBorder));
  Print("ShowFileResolution", flag(s.ShowFileResolution));
  Print("CheckImageSize", std::to_string(s.CheckImageSize));
  Print("CheckAspectRatio", std::to_string(s.CheckAspectRatio));
  Print("DebugMode", flag(state.DebugMode));
  Print("DebugSkipMonitor", flag(state.DebugSkipMonitor));
}

// The same on both platforms, so both write the same file.
SaverSettings Sample() {
  SaverSettings s = MakeDefaultSettings();
  s.Interval = 60000;
  s.ImageDirectory = "C:\\Pictures\\\r\n\\\\server\\photos\\2023 Holiday\\";
  s.ExcludeDirectory = "C:\\Pictures\\Private\\";
  s.Recursive = false;
  s.UpscaleMode = 3;
  s.ShowFilename = 1;
  s.ShowFilenameColorText = 255;
  s.ShowFilenameColorBorder = 8421504;
  s.ShowFileResolution = true;
  s.CheckImageSize = 5;
  s.CheckAspectRatio = 2;
  return s;
}

bool Root(const std::string& name, RegKey& root) {
  if (name == "HKCU") root = kHkeyCurrentUser;
  if (name == "HKLM") root = kHkeyLocalMachine;
  return name == "HKCU" || name == "HKLM";
}

int Usage() {
  std::fprintf(stderr, "usage: glimmora_settings_tool load | save-sample | get ROOT PATH NAME |"
                       " set ROOT PATH TYPE NAME VALUE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::unique_ptr<RegistryStore> registry = CreatePlatformRegistry();
  ProgramState state;
  state.ports.registry = registry.get();
  RestoreIdentity(state);
  state.DefaultSettings = MakeDefaultSettings();
  state.CurrentSettings = state.DefaultSettings;
  std::string command = argv[1];
  RegKey root = 0;
  if (command == "load" && argc == 2) {
    LoadSettings(state);
    PrintSettings(state);
  } else if (command == "save-sample" && argc == 2) {
    state.CurrentSettings = Sample();
    SaveSettings(state);
  } else if (command == "get" && argc == 5 && Root(argv[2], root)) {
    std::string text;
    bool ok = GetRegistryValue(*registry, root, argv[3], argv[4], text);
    std::printf(ok ? "ok %s\n" : "failed\n", Shown(text).c_str());
  } else if (command == "set" && argc == 7 && Root(argv[2], root)) {
    // A dword given as text is read by the whole-number rule.
    auto type = static_cast<std::uint32_t>(std::atoi(argv[4]));
    std::printf(SetRegistryValue(*registry, root, argv[3], type, argv[5], argv[6]) ? "ok\n" : "failed\n");
  } else {
    return Usage();
  }
  return 0;
}
