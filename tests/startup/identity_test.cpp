#include "startup/identity.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"

namespace {

TEST(RestoreShiftedText, ShiftsEveryCharacterAndWraps) {
  EXPECT_EQ(RestoreShiftedText("@ebffhkZ", 7), "Glimmora");
  EXPECT_EQ(RestoreShiftedText("", 5), "");
  // Below 0 wraps up by 256, above 255 wraps down by 256.
  EXPECT_EQ(RestoreShiftedText(std::string(1, '\x02'), -3), std::string(1, '\xFF'));
  EXPECT_EQ(RestoreShiftedText(std::string(1, '\xFE'), 4), std::string(1, '\x02'));
  EXPECT_EQ(RestoreShiftedText("abc", 0), "abc");
}

TEST(RestoreShiftedText, RoundTripOverAllCodesAndShifts) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (int shift : {-255, -100, -1, 1, 37, 255}) {
    std::string stored = RestoreShiftedText(all, static_cast<std::int16_t>(-shift));
    EXPECT_EQ(stored.size(), all.size());
    EXPECT_EQ(RestoreShiftedText(stored, static_cast<std::int16_t>(shift)), all) << "shift " << shift;
  }
}

TEST(RestoreIdentity, TitleAndKeyAreBuiltFromTheNames) {
  FakeProgram p;
  RestoreIdentity(p.state);
  EXPECT_EQ(p.state.ShortName, "Glimmora");
  EXPECT_FALSE(p.state.CreditName.empty());
  EXPECT_EQ(p.state.CreditName.front(), ' ') << "the credit reads \"by\" & CreditName";
  EXPECT_EQ(p.state.ProgramTitle.rfind(p.state.ShortName, 0), 0u);
  EXPECT_GT(p.state.ProgramTitle.size(), p.state.ShortName.size() + p.state.CreditName.size());
  EXPECT_EQ(p.state.ProgramTitle.substr(p.state.ProgramTitle.size() - p.state.CreditName.size()),
            p.state.CreditName);
  EXPECT_EQ(p.state.SettingsKeyPath, "Software\\Glimmora");
  EXPECT_EQ(p.state.AboutLinkTarget.rfind("https://", 0), 0u);
}

}  // namespace
