// The three rules that turn a stored text into a setting.
#include "settings/reading_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ReadingRules, LeadingNumberReadsUpToTheFirstForeignCharacter) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"15000", 15000},     {"  20000 seconds", 20000}, {"\t\r\n7", 7},    {"-12.5", -12.5},
      {"+3", 3},            {".5", 0.5},                {"5.", 5},         {"2.5e3", 2500},
      {"1E-2x", 0.01},      {"4e", 4},                  {"4e+", 4},        {"1.2.3", 1.2},
      {"&HFF", 255},        {"&hff", 255},              {" &H1f!", 31},    {"&HFFFFFFFF", 4294967295.0},
      {"&H", 0},            {"&HG", 0},                 {"-&H10", 0},      {"abc", 0},
      {"", 0},              {"1 000", 1},               {"1,5", 1},        {"- 5", 0},
      {"bottom", 0},        {"0x10", 0},                {"00042", 42},     {"-0", 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadingRules, HugeAndTinyNumbersStayFinitelyOrdered) {
  EXPECT_EQ(LeadingNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("1e-400"), 0.0);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

TEST(ReadingRules, WholeNumberNeedsTheWholeText) {
  struct Case {
    const char* text;
    bool is_number;
    double value;
  };
  const Case cases[] = {
      {"255", true, 255},        {"  255  ", true, 255}, {"&HFF", true, 255},   {" &hff ", true, 255},
      {"-1", true, -1},          {"+2.5", true, 2.5},    {"1e3", true, 1000},   {"16777215", true, 16777215},
      {"255abc", false, 0},      {"", false, 0},         {"   ", false, 0},     {"&H", false, 0},
      {"12 34", false, 0},       {"0x10", false, 0},     {"yes", false, 0},     {"-&H1", false, 0},
  };
  for (const Case& c : cases) {
    std::optional<double> n = WholeNumber(c.text);
    EXPECT_EQ(n.has_value(), c.is_number) << '"' << c.text << '"';
    if (n && c.is_number) {
      EXPECT_DOUBLE_EQ(*n, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(ReadingRules, BooleanIsExactlyYesOrAPositiveNumber) {
  struct Case {
    const char* text;
    bool value;
  };
  const Case cases[] = {
      {"yes", true},  {"  yes  ", true}, {"1", true},    {"2", true},      {"0.1", true},  {"&H1", true},
      {"Yes", false}, {"YES", false},    {"0", false},   {"-1", false},    {"no", false},  {"", false},
      {"yess", false}, {"\tyes", false}, {"true", false}, {"3 apples", true},
  };
  for (const Case& c : cases) EXPECT_EQ(BooleanRule(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadingRules, RoundingTakesHalvesToEven) {
  const double cases[][2] = {{0.5, 0},  {1.5, 2},     {2.5, 2},   {3.5, 4},       {-0.5, 0},      {-1.5, -2},
                             {-2.5, -2}, {2.6, 3},     {2.4, 2},   {500.5, 500},   {64999.5, 65000}, {7, 7}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
}

}  // namespace
