// The folder-list rules, the grace-period text and the control table, as
// plain functions.
#include "options/folder_lists.h"

#include <gtest/gtest.h>

#include <set>

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
      {{"C:\\A\\"}, "C:\\A\\B\\", "C:\\A\\", {"C:\\A\\"}},
      {{"C:\\A\\", "D:\\"}, "C:\\", std::nullopt, {"D:\\"}},
      {{"C:\\A\\B\\", "C:\\A\\C\\", "C:\\AB\\"}, "C:\\A\\", std::nullopt, {"C:\\AB\\"}},
      // Walking from the end, a line inside the new path goes before a container is met.
      {{"C:\\A\\", "C:\\A\\X\\Y\\"}, "C:\\A\\X\\", "C:\\A\\", {"C:\\A\\"}},
      // The walk stops at the container: lines before it are not looked at.
      {{"C:\\A\\X\\Y\\", "C:\\A\\"}, "C:\\A\\X\\", "C:\\A\\", {"C:\\A\\X\\Y\\", "C:\\A\\"}},
      {{"c:\\a\\"}, "C:\\A\\B\\", std::nullopt, {"c:\\a\\"}},  // case matters
      {{"", "/srv/"}, "/srv/x/", "/srv/", {"", "/srv/"}},      // an empty line holds nothing
      {{"/srv/x/", "/srv/y/"}, "/srv/", std::nullopt, {}},
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
      {{"C:\\A\\", "C:\\A\\B\\"}, {"C:\\A\\"}},
      {{"C:\\A\\B\\", "C:\\A\\"}, {"C:\\A\\"}},
      {{"C:\\A\\B\\C\\", "D:\\", "C:\\A\\", "C:\\A\\B\\", "D:\\E\\"}, {"D:\\", "C:\\A\\"}},
      {{"X:\\", "X:\\"}, {"X:\\"}},
      {{"/a/", "", "/a/b/"}, {"/a/", ""}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    Lines lines = c.lines;
    RemoveNestedFolders(lines);
    EXPECT_EQ(lines, c.left);
  }
}

TEST(FolderRules, ExclusionMustLieStrictlyInsideAnInclude) {
  const Lines include = {"C:\\A\\", "D:\\B\\"};
  EXPECT_TRUE(IsInsideInclude(include, "C:\\A\\X\\"));
  EXPECT_TRUE(IsInsideInclude(include, "D:\\B\\X\\Y\\"));
  EXPECT_FALSE(IsInsideInclude(include, "C:\\A\\"));
  EXPECT_FALSE(IsInsideInclude(include, "E:\\X\\"));
  EXPECT_FALSE(IsInsideInclude({""}, "E:\\X\\"));
}

TEST(FolderRules, StoredListsSplitUnchangedAndJoinWithATrailingBreak) {
  EXPECT_EQ(SplitFolderLines(""), Lines{});
  EXPECT_EQ(SplitFolderLines("A\r\nB"), (Lines{"A", "B"}));
  EXPECT_EQ(SplitFolderLines("A\r\nB\r\n"), (Lines{"A", "B", ""}));
  EXPECT_EQ(SplitFolderLines("A\r\n\r\nB\nC"), (Lines{"A", "", "B\nC"}));
  EXPECT_EQ(JoinFolderLines({"A", "B"}), "A\r\nB\r\n");
  EXPECT_EQ(JoinFolderLines({}), "");
}

TEST(FolderRules, PromptUsesLoneCarriageReturnsAndThePlatformsExamples) {
  for (PathStyle style : {kWindowsPaths, kPosixPaths}) {
    for (FolderListKind kind : {FolderListKind::Include, FolderListKind::Exclude}) {
      std::string prompt = TypedFolderPrompt(kind, style);
      EXPECT_EQ(prompt.find('\n'), std::string::npos);
      EXPECT_EQ(std::count(prompt.begin(), prompt.end(), '\r'), 4);
      EXPECT_NE(prompt.find("\rEXAMPLE:\r\t"), std::string::npos);
      std::size_t examples = prompt.find("EXAMPLE:");
      EXPECT_EQ(std::count(prompt.begin() + examples, prompt.end(), '\t'), 3);
    }
  }
  EXPECT_EQ(TypedFolderPrompt(FolderListKind::Exclude, kWindowsPaths).substr(0, 56),
            "Manually specify a folder or a network path to Exclude.\r");
  EXPECT_NE(TypedFolderPrompt(FolderListKind::Include, kWindowsPaths).find("\r\tC:\\PHOTOS\r\t\\\\"), std::string::npos);
  EXPECT_NE(TypedFolderPrompt(FolderListKind::Include, kPosixPaths).find("\r\t/"), std::string::npos);
}

TEST(GraceText, DecimalNumbersWithBlanksAroundAreNumeric) {
  for (const char* yes : {"7", " 10 ", "-3", "+4", "2.5", ".5", "5.", "1e3", "0"}) {
    EXPECT_TRUE(IsDecimalNumber(yes)) << yes;
  }
  for (const char* no : {"", " ", "abc", "1 0", "12s", "&H10", ".", "1e", "--1", "1e999", "0x10"}) {
    EXPECT_FALSE(IsDecimalNumber(no)) << no;
  }
  EXPECT_EQ(GraceTextFromStore(true, " 010 "), "10");
  EXPECT_EQ(GraceTextFromStore(true, "-0"), "0");
  EXPECT_EQ(GraceTextFromStore(true, "1e3"), "1000");
  EXPECT_EQ(GraceTextFromStore(false, "7"), "5");
}

TEST(ControlTable, TabOrderAccessKeysAndPanelGeometry) {
  std::set<int> tabs;
  int previous = -1;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    EXPECT_EQ(IndexOf(info.id), i) << info.name;
    if (info.tab_index < 0) continue;
    EXPECT_GT(info.tab_index, previous) << info.name;
    previous = info.tab_index;
    tabs.insert(info.tab_index);
  }
  EXPECT_EQ(tabs.size(), 47u);
  EXPECT_EQ(*tabs.rbegin(), 46);
  EXPECT_EQ(AccessKeyTarget(ControlId::lblDesc0), ControlId::cmbInterval);
  EXPECT_EQ(AccessKeyTarget(ControlId::lblDesc6), ControlId::cmdColor0) << "the swatch takes no focus";
  EXPECT_EQ(AccessKeyTarget(ControlId::lblDesc8), ControlId::txtGrace);
  EXPECT_EQ(AccessKeyTarget(ControlId::cmdOk), ControlId::Form);
  for (char shared : {'I', 'R', 'E', 'B'}) {
    int labels = 0;
    for (int i = 0; i < kControlCount; ++i) labels += AccessKeyOf(AllControls()[i].id) == shared;
    EXPECT_EQ(labels, 2) << shared;
  }
  EXPECT_EQ(InfoOf(ControlId::fraFrame2).rect.left, kClientWidthAtOpen);
}

}  // namespace
