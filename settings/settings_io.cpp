#include "settings/settings_io.h"

#include <cstdint>
#include <optional>
#include <type_traits>

#include "settings/reading_rules.h"
#include "settings/registry.h"

namespace {

// Reads the values of the settings key; each read stands alone.
class SettingsReader {
 public:
  SettingsReader(RegistryStore& registry, const std::string& key) : registry_(registry), key_(key) {}

  std::optional<std::string> Text(const char* name) const {
    std::string text;
    if (!GetRegistryValue(registry_, kHkeyCurrentUser, key_, name, text)) {
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
  RegistryStore& registry_;
  const std::string& key_;
};

template <int Low, int High>
bool Within(double n) {
  return n >= Low && n <= High;
}

// An enumerated setting: stored as its number, limited to [0, last].
template <typename Enum, int Last>
Enum EnumRange(const SettingsReader& read, const char* name, Enum fallback) {
  using Number = std::underlying_type_t<Enum>;
  return static_cast<Enum>(read.RangeLimited(name, static_cast<Number>(fallback), Within<0, Last>));
}

}  // namespace

void LoadSettings(RegistryStore& registry, const std::string& key, const SaverSettings& d, SaverSettings& s,
                  DiagnosticSwitches& switches) {
  SettingsReader read(registry, key);
  s.include_folders = read.Text("ImageDirectory").value_or(d.include_folders);
  s.exclude_folders = read.Text("ExcludeDirectory").value_or(d.exclude_folders);
  s.interval_ms = read.RangeLimited("Interval", d.interval_ms, [](double n) { return n > 500 && n < 65000; });
  s.include_subfolders = read.Boolean("Recursive", d.include_subfolders);
  s.random_order = read.Boolean("Random", d.random_order);
  s.scale_mode = EnumRange<ScaleMode, 3>(read, "UpscaleMode", d.scale_mode);
  s.caption = EnumRange<CaptionPosition, 2>(read, "ShowFilename", d.caption);
  s.caption_shows_size = read.Boolean("ShowFileResolution", d.caption_shows_size);
  // Without a caption there is nothing to append the size to.
  if (s.caption == CaptionPosition::Off) s.caption_shows_size = false;
  s.caption_border_colour = read.Whole("ShowFilenameColorBorder", d.caption_border_colour);
  s.caption_text_colour = read.Whole("ShowFilenameColorText", d.caption_text_colour);
  switches.status_overlay = read.Boolean("DebugMode", false);
  switches.keep_first_monitor = read.Boolean("DebugSkipMonitor", false);
  s.size_filter = EnumRange<SizeFilter, 12>(read, "CheckImageSize", d.size_filter);
  s.aspect_filter = EnumRange<AspectFilter, 2>(read, "CheckAspectRatio", d.aspect_filter);
  s.transition_ms = read.RangeLimited("Transition", d.transition_ms, Within<0, kLongestTransitionMs>);
  s.motion = read.RangeLimited("Motion", d.motion, Within<0, 1>);
  s.caption_text = EnumRange<CaptionText, 2>(read, "CaptionText", d.caption_text);
  s.backdrop = EnumRange<Backdrop, 1>(read, "Background", d.backdrop);
}

void SaveSettings(RegistryStore& registry, const std::string& key, const SaverSettings& s) {
  auto put = [&](std::uint32_t type, const char* name, const RegistryData& value) {
    SetRegistryValue(registry, kHkeyCurrentUser, key, type, name, value);
  };
  auto flag = [](bool value) { return value ? 1 : 0; };
  auto number = [](auto value) { return static_cast<int>(value); };
  put(kRegMultiSz, "ImageDirectory", s.include_folders);
  put(kRegMultiSz, "ExcludeDirectory", s.exclude_folders);
  put(kRegDword, "Interval", s.interval_ms);
  put(kRegDword, "Recursive", flag(s.include_subfolders));
  put(kRegDword, "Random", flag(s.random_order));
  put(kRegDword, "UpscaleMode", number(s.scale_mode));
  put(kRegDword, "ShowFilename", number(s.caption));
  put(kRegDword, "ShowFilenameColorText", s.caption_text_colour);
  put(kRegDword, "ShowFilenameColorBorder", s.caption_border_colour);
  put(kRegDword, "ShowFileResolution", flag(s.caption_shows_size));
  put(kRegDword, "CheckImageSize", number(s.size_filter));
  put(kRegDword, "CheckAspectRatio", number(s.aspect_filter));
  put(kRegDword, "Transition", s.transition_ms);
  put(kRegDword, "Motion", flag(s.motion));
  put(kRegDword, "CaptionText", number(s.caption_text));
  put(kRegDword, "Background", number(s.backdrop));
}
