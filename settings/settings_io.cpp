#include "settings/settings_io.h"

#include <cstdint>
#include <optional>

#include "settings/reading_rules.h"
#include "settings/registry.h"
#include "startup/program_state.h"

namespace {

// Reads the values of the settings key; each read stands alone.
class SettingsReader {
 public:
  explicit SettingsReader(ProgramState& state) : state_(state) {}

  std::optional<std::string> Text(const char* name) const {
    std::string text;
    if (!GetRegistryValue(*state_.ports.registry, kHkeyCurrentUser, state_.SettingsKeyPath, name, text)) {
      return std::nullopt;
    }
    return text;
  }

  bool Boolean(const char* name, bool fallback) const {
    std::optional<std::string> text = Text(name);
    return text ? BooleanRule(*text) : fallback;
  }

  // The leading number, accepted only inside the field's range and then
  // rounded; anything else gives the default.
  template <typename Field, typename InRange>
  Field RangeLimited(const char* name, Field fallback, InRange in_range) const {
    std::optional<std::string> text = Text(name);
    if (!text) return fallback;
    double n = LeadingNumber(*text);
    if (!in_range(n)) return fallback;
    return static_cast<Field>(RoundHalfEven(n));
  }

  // A colour: the text must be one number as a whole. Numbers beyond the
  // signed 32-bit range have no colour value and give the default too.
  std::int32_t Whole(const char* name, std::int32_t fallback) const {
    std::optional<std::string> text = Text(name);
    if (!text) return fallback;
    std::optional<double> n = WholeNumber(*text);
    if (!n) return fallback;
    double rounded = RoundHalfEven(*n);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return fallback;
    return static_cast<std::int32_t>(rounded);
  }

 private:
  ProgramState& state_;
};

template <int Low, int High>
bool Within(double n) {
  return n >= Low && n <= High;
}

}  // namespace

void LoadSettings(ProgramState& state) {
  SettingsReader read(state);
  SaverSettings& s = state.CurrentSettings;
  const SaverSettings& d = state.DefaultSettings;
  s.ImageDirectory = read.Text("ImageDirectory").value_or(d.ImageDirectory);
  s.ExcludeDirectory = read.Text("ExcludeDirectory").value_or(d.ExcludeDirectory);
  s.Interval = read.RangeLimited("Interval", d.Interval, [](double n) { return n > 500 && n < 65000; });
  s.Recursive = read.Boolean("Recursive", d.Recursive);
  s.Random = read.Boolean("Random", d.Random);
  s.UpscaleMode = read.RangeLimited("UpscaleMode", d.UpscaleMode, Within<0, 3>);
  s.ShowFilename = read.RangeLimited("ShowFilename", d.ShowFilename, Within<0, 2>);
  s.ShowFileResolution = read.Boolean("ShowFileResolution", d.ShowFileResolution);
  // Without a caption there is nothing to append the resolution to.
  if (s.ShowFilename == 0) s.ShowFileResolution = false;
  s.ShowFilenameColorBorder = read.Whole("ShowFilenameColorBorder", d.ShowFilenameColorBorder);
  s.ShowFilenameColorText = read.Whole("ShowFilenameColorText", d.ShowFilenameColorText);
  state.DebugMode = read.Boolean("DebugMode", false);
  state.DebugSkipMonitor = read.Boolean("DebugSkipMonitor", false);
  s.CheckImageSize = read.RangeLimited("CheckImageSize", d.CheckImageSize, Within<0, 12>);
  s.CheckAspectRatio = read.RangeLimited("CheckAspectRatio", d.CheckAspectRatio, Within<0, 2>);
}

void SaveSettings(ProgramState& state) {
  const SaverSettings& s = state.CurrentSettings;
  auto put = [&state](std::uint32_t type, const char* name, const RegistryData& value) {
    SetRegistryValue(*state.ports.registry, kHkeyCurrentUser, state.SettingsKeyPath, type, name, value);
  };
  auto flag = [](bool value) { return value ? 1 : 0; };
  put(kRegMultiSz, "ImageDirectory", s.ImageDirectory);
  put(kRegMultiSz, "ExcludeDirectory", s.ExcludeDirectory);
  put(kRegDword, "Interval", s.Interval);
  put(kRegDword, "Recursive", flag(s.Recursive));
  put(kRegDword, "Random", flag(s.Random));
  put(kRegDword, "UpscaleMode", s.UpscaleMode);
  put(kRegDword, "ShowFilename", s.ShowFilename);
  put(kRegDword, "ShowFilenameColorText", s.ShowFilenameColorText);
  put(kRegDword, "ShowFilenameColorBorder", s.ShowFilenameColorBorder);
  put(kRegDword, "ShowFileResolution", flag(s.ShowFileResolution));
  put(kRegDword, "CheckImageSize", s.CheckImageSize);
  put(kRegDword, "CheckAspectRatio", s.CheckAspectRatio);
}
