// The folder-list rules, the grace-period text and the control table.
#include "options/folder_lists.h"

#include <gtest/gtest.h>

#include "options/control_ids.h"
#include "options/grace_period.h"

namespace {

using Lines = std::vector<std::string>;

TEST(FolderRules, NestingWalkRefusesContainedPathsAndRemovesInnerLines) {
  struct Case {
    Lines lines;
    std::string path;
    std::optional<std::string> container;
    Lines left;
  };
  const std::vector<Case> cases = {
      {{"C:\\A\\B\\", "C:\\A\\C\\", "C:\\AB\\"}, "C:\\A\\", std::nullopt, {"C:\\AB\\"}},
      // The walk stops at the container: lines before it are not looked at.
      {{"C:\\A\\X\\Y\\", "C:\\A\\"}, "C:\\A\\X\\", "C:\\A\\", {"C:\\A\\X\\Y\\", "C:\\A\\"}},
      {{"C:\\A\\", "C:\\A\\X\\Y\\"}, "C:\\A\\X\\", "C:\\A\\", {"C:\\A\\"}},
      {{"c:\\a\\"}, "C:\\A\\B\\", std::nullopt, {"c:\\a\\"}},  // case matters
      {{"", "/srv/"}, "/srv/x/", "/srv/", {"", "/srv/"}},      // an empty line holds nothing
  };
  for (const Case& c : cases) {
    Lines lines = c.lines;
    EXPECT_EQ(CheckNesting(lines, c.path), c.container) << c.path;
    EXPECT_EQ(lines, c.left) << c.path;
  }
}

TEST(FolderRules, NestedCleanupKeepsOuterFoldersInOrder) {
  struct Case {
    Lines lines, left;
  };
  const std::vector<Case> cases = {
      {{"C:\\A\\B\\", "C:\\A\\"}, {"C:\\A\\"}},
      {{"C:\\A\\B\\C\\", "D:\\", "C:\\A\\", "C:\\A\\B\\", "D:\\E\\"}, {"D:\\", "C:\\A\\"}},
      {{"X:\\", "X:\\"}, {"X:\\"}},
      {{"/a/", "", "/a/b/"}, {"/a/", ""}},
  };
  for (const Case& c : cases) {
    Lines lines = c.lines;
    RemoveNestedFolders(lines);
    EXPECT_EQ(lines, c.left);
  }
}

TEST(FolderRules, PromptUsesLoneCarriageReturnsAndThePlatformsExamples) {
  for (PathStyle style : {kWindowsPaths, kPosixPaths}) {
    const std::string prompt = TypedFolderPrompt(FolderListKind::Exclude, style);
    EXPECT_EQ(prompt.find('\n'), std::string::npos);
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), '\r'), 4);
    EXPECT_EQ(prompt.substr(0, 66), "Manually specify a folder or a network path to Exclude.\rEXAMPLE:\r\t");
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), '\t'), 3);
    EXPECT_NE(prompt.find(style.windows ? "\tC:\\PHOTOS\r\t\\\\" : "\t/"), std::string::npos);
  }
}

TEST(GraceText, DecimalNumbersWithBlanksAroundAreNumeric) {
  for (const char* yes : {" 10 ", "-3", "+4", "2.5", ".5", "1e3"}) EXPECT_TRUE(IsDecimalNumber(yes)) << yes;
  for (const char* no : {"", " ", "abc", "1 0", "12s", "&H10", ".", "1e", "1e999", "0x10"}) {
    EXPECT_FALSE(IsDecimalNumber(no)) << no;
  }
  EXPECT_EQ(GraceTextFromStore(true, " 010 "), "10");
  EXPECT_EQ(GraceTextFromStore(true, "-0"), "0");
  EXPECT_EQ(GraceTextFromStore(true, "2.50"), "2.5");
  EXPECT_EQ(GraceTextFromStore(false, "7"), "5");
}

TEST(ControlTable, TabOrderAndSharedAccessKeys) {
  int previous = -1, tabs = 0;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    EXPECT_EQ(IndexOf(info.id), i) << info.name;
    if (info.tab_index < 0) continue;
    EXPECT_EQ(info.tab_index, previous + 1) << info.name;
    previous = info.tab_index;
    ++tabs;
  }
  EXPECT_EQ(tabs, 47);
  EXPECT_EQ(AccessKeyTarget(ControlId::lblDesc0), ControlId::cmbInterval);
  EXPECT_EQ(AccessKeyTarget(ControlId::lblDesc6), ControlId::cmdColor0) << "the swatch takes no focus";
  for (char shared : {'I', 'R', 'E', 'B'}) {
    int labels = 0;
    for (int i = 0; i < kControlCount; ++i) labels += AccessKeyOf(AllControls()[i].id) == shared;
    EXPECT_EQ(labels, 2) << shared;
  }
}

}  // namespace
