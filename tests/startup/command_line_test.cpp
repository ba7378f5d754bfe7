#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* raw;
  const char* mode;
  WindowHandle handle;
};

void PrintTo(const Case& c, std::ostream* os) { *os << "[" << c.raw << "]"; }

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, ModeAndHandle) {
  CommandLine c = ParseCommandLine(GetParam().raw);
  EXPECT_EQ(c.mode, GetParam().mode) << "raw: [" << GetParam().raw << "]";
  EXPECT_EQ(c.handle, GetParam().handle) << "raw: [" << GetParam().raw << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(Case{"/S", "/S", 0}, Case{"/s", "/S", 0}, Case{"   /s   ", "/S", 0},
                      Case{"/saver extra words", "/S", 0},
                      // The handle starts at the fourth character: one separator.
                      Case{"/P 1234", "/P", 1234}, Case{"/p:5678", "/P", 5678},
                      // Without a separator the first digit is lost.
                      Case{"/P1234", "/P", 234}, Case{"/c:42", "/C", 42}, Case{"/C", "/C", 0},
                      Case{"/P", "/P", 0}, Case{"/P abc", "/P", 0}, Case{"/P 12ab", "/P", 12},
                      Case{"/P  77", "/P", 77}, Case{"/P 2.5", "/P", 2}, Case{"/P 3.5", "/P", 4},
                      Case{"/P 99999999999", "/P", 0}, Case{"", "", 0}, Case{"     ", "", 0},
                      Case{"/A", "/A", 0}, Case{"-S", "-S", 0}, Case{"/", "/", 0}, Case{"x", "X", 0},
                      // A blank in second place is trimmed off the mode.
                      Case{"/ S", "/", 0}));

}  // namespace
