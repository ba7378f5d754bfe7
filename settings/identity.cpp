#include "settings/identity.h"

namespace {

struct ShiftedText {
  const char* stored;
  std::int16_t shift;
};

// The identity texts are kept in the binary in a shifted form, so a casual
// look at the file does not show (or invite editing of) the names.
// "Glimmora"
constexpr ShiftedText kShortName{"\x40\x65\x62\x66\x66\x68\x6b\x5a", 7};
// " Glimmora Labs"
constexpr ShiftedText kCreditName{"\x23\x4a\x6f\x6c\x70\x70\x72\x75\x64\x23\x4f\x64\x65\x76", -3};
// "Glimmora Photo Slide Show"
constexpr ShiftedText kProgramFullName{
    "\x3c\x61\x5e\x62\x62\x64\x67\x56\x15\x45\x5d\x64\x69\x64\x15\x48\x61\x5e\x59\x5a\x15\x48\x5d\x64\x6c", 11};
// "https://glimmora.org/"
constexpr ShiftedText kAboutLinkTarget{
    "\x63\x6f\x6f\x6b\x6e\x35\x2a\x2a\x62\x67\x64\x68\x68\x6a\x6d\x5c\x29\x6a\x6d\x62\x2a", 5};

// Joins the short name and the credit name into the title of the program's windows.
constexpr const char* kTitleJoin = " - slide show by";
// Key under HKEY_CURRENT_USER that the short name is appended to.
constexpr const char* kSettingsKeyPrefix = "Software\\";

std::string Restore(const ShiftedText& t) { return RestoreShiftedText(t.stored, t.shift); }

}  // namespace

std::string RestoreShiftedText(const std::string& stored, std::int16_t shift) {
  std::string text = stored;
  for (char& ch : text) {
    int code = static_cast<unsigned char>(ch) + shift;
    if (code < 0) code += 256;
    if (code > 255) code -= 256;
    ch = static_cast<char>(static_cast<unsigned char>(code));
  }
  return text;
}

ProgramIdentity RestoreIdentity() {
  ProgramIdentity identity;
  identity.short_name = Restore(kShortName);
  identity.credit_name = Restore(kCreditName);
  identity.full_name = Restore(kProgramFullName);
  identity.about_link = Restore(kAboutLinkTarget);
  identity.title = identity.short_name + kTitleJoin + identity.credit_name;
  identity.settings_key = kSettingsKeyPrefix + identity.short_name;
  return identity;
}
