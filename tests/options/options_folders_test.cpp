// The include and exclude folder lists of the options dialog.
#include "options/folder_lists.h"
#include "options_fixture.h"

namespace {

using C = ControlId;

class OptionsFoldersTest : public OptionsTest {
 protected:
  void Type(const std::string& text, bool exclude = false) {
    f.dialogs.typed.push_back(text);
    exclude ? dialog->cmdAddExclude_Click(1) : dialog->cmdAdd_Click(1);
  }
  void Pick(const std::string& folder, bool exclude = false) {
    f.dialogs.picked.push_back(folder);
    exclude ? dialog->cmdAddExclude_Click(0) : dialog->cmdAdd_Click(0);
  }
};

struct TypedCase {
  PathStyle style;
  std::string typed, added;  // added: "" when nothing is
  bool refused;
};

class TypedPathTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedPathTest, IsNormalisedOrRefused) {
  const TypedCase& c = GetParam();
  OptionsHarness t;
  t.s.ports.paths = c.style;
  t.Open();
  t.f.dialogs.typed.push_back(c.typed);
  t.dialog->cmdAdd_Click(1);
  ASSERT_EQ(t.f.dialogs.inputs.size(), 1u);
  EXPECT_EQ(t.f.dialogs.inputs[0].text, TypedFolderPrompt(FolderListKind::Include, c.style));
  EXPECT_EQ(t.f.dialogs.inputs[0].title, t.s.ProgramTitle);
  EXPECT_EQ(t.Items(C::lstDirectory), c.added.empty() ? Lines{} : Lines{c.added});
  EXPECT_EQ(t.s.CurrentSettings.ImageDirectory, c.added.empty() ? "" : c.added + "\r\n");
  ASSERT_EQ(t.f.system.boxes.size(), c.refused ? 1u : 0u);
  if (c.refused) {
    EXPECT_EQ(t.f.system.boxes[0].text, "Only UNC and LOCAL path are allowed!");
    EXPECT_EQ(t.f.system.boxes[0].title, t.s.ProgramTitle);
    EXPECT_EQ(t.f.system.boxes[0].style, 16);
  }
}

INSTANTIATE_TEST_SUITE_P(BothPathStyles, TypedPathTest,
                         ::testing::Values(TypedCase{kWindowsPaths, "  C:\\Photos  ", "C:\\Photos\\", false},
                                           TypedCase{kWindowsPaths, "\\\\nas\\share", "\\\\nas\\share\\", false},
                                           TypedCase{kWindowsPaths, "   ", "", false},
                                           TypedCase{kWindowsPaths, "Photos\\", "", true},
                                           TypedCase{kWindowsPaths, "http://example.com/pics", "", true},
                                           TypedCase{kWindowsPaths, "FTP:\\\\host\\x", "", true},
                                           TypedCase{kPosixPaths, " /home/user/Pictures ", "/home/user/Pictures/", false},
                                           TypedCase{kPosixPaths, "/", "/", false},
                                           TypedCase{kPosixPaths, "~/Pictures", "", true},
                                           TypedCase{kPosixPaths, "C:\\Photos", "", true}));

TEST_F(OptionsFoldersTest, PickerAddsOnceWithItsTitleAndCancelAddsNothing) {
  Open();
  Pick("");
  Pick("C:\\Pics");
  Pick("C:\\Pics\\");  // the same folder again: silently ignored
  Pick("E:\\More");
  EXPECT_EQ(f.dialogs.pickers[0].title, "Please select your Images folder.");
  EXPECT_EQ(f.dialogs.pickers[0].owner, window->Handle());
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"C:\\Pics\\", "E:\\More\\"}));
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 1);
  EXPECT_TRUE(Enabled(C::cmdMove0));
  EXPECT_FALSE(Enabled(C::cmdMove1));
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "C:\\Pics\\\r\nE:\\More\\\r\n");
}

TEST_F(OptionsFoldersTest, WithSubfoldersAnIncludeCannotNestButSwallowsInnerFolders) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\";
  Open();
  Type("C:\\A\\B");
  EXPECT_EQ(Messages(), Lines{"This folder is a subfolder of C:\\A\\ that is already included!"});
  Type("C:\\");
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"D:\\", "C:\\"}));
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "D:\\\r\nC:\\\r\n");
}

TEST_F(OptionsFoldersTest, WithoutSubfoldersNestedIncludesStayUntilSubfoldersAreIncluded) {
  s.ports.paths = kPosixPaths;
  s.CurrentSettings.ImageDirectory = "/srv/a/";
  Open();
  Type("/srv/a/b");
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"/srv/a/", "/srv/a/b/"}));
  dialog->chkRecursive_Click(true);
  EXPECT_EQ(Items(C::lstDirectory), Lines{"/srv/a/"});
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "/srv/a/\r\n");
}

TEST_F(OptionsFoldersTest, ExclusionsMustLieStrictlyInsideAnIncludeAndRefusalsKeepTheSetting) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  Open();
  Pick("D:\\X", true);
  EXPECT_EQ(f.dialogs.pickers[0].title, "Please select your Exclude folder.");
  Type("C:\\A\\X", true);
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\\r\n");
  Type("C:\\A\\X\\Y", true);
  Type("C:\\A", true);  // removes C:\A\X\ on the way, then is refused
  EXPECT_EQ(Messages(), (Lines{"Only subfolders of a path included in image paths is allowed!",
                               "This folder is a subfolder of C:\\A\\X\\ that is already excluded!",
                               "Only subfolders of a path included in image paths is allowed!"}));
  EXPECT_TRUE(Items(C::lstExclude).empty());
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\\r\n") << "not rebuilt after a refusal";
}

TEST_F(OptionsFoldersTest, RemovingIncludesTakesTheirExclusionsAlong) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\\r\nE:\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\nD:\\B\\X\\\r\nC:\\A\\Y\\Z\\";
  Open();
  dialog->cmdMore_Click();
  engine->calls.clear();
  dialog->cmdDel_Click();
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"D:\\B\\", "E:\\"}));
  EXPECT_EQ(Items(C::lstExclude), Lines{"D:\\B\\X\\"});
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_TRUE(Enabled(C::cmdMove1));
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "D:\\B\\X\\\r\n");
  EXPECT_EQ(engine->calls, Lines{"StartCatalogue"});
  dialog->cmdDel_Click();
  dialog->cmdDel_Click();
  for (C id : {C::cmdDel, C::cmdMove0, C::cmdMove1, C::cmdDelExclude}) EXPECT_FALSE(Enabled(id)) << InfoOf(id).name;
  EXPECT_EQ(window->focused.back(), C::lstDirectory);
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "");
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "");
}

TEST_F(OptionsFoldersTest, MovesFollowTheSelectionRule) {
  s.CurrentSettings.ImageDirectory = "A:\\\r\nB:\\\r\nC:\\";
  Open();
  const std::tuple<int, bool, bool> rules[] = {{1, true, true}, {2, true, false}, {0, false, true}};
  for (auto [selected, up, down] : rules) {
    dialog->lstDirectory_Click(selected);
    EXPECT_EQ(Enabled(C::cmdMove0), up) << selected;
    EXPECT_EQ(Enabled(C::cmdMove1), down) << selected;
  }
  dialog->cmdMove_Click(0);  // disabled at the top: nothing happens
  dialog->cmdMove_Click(1);
  dialog->cmdMove_Click(1);
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"B:\\", "C:\\", "A:\\"}));
  EXPECT_EQ(window->focused, std::vector<C>{C::lstDirectory}) << "focused only on reaching an end";
  dialog->lstDirectory_Click(1);
  dialog->cmdMove_Click(0);
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_EQ(window->focused.size(), 2u);
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "C:\\\r\nB:\\\r\nA:\\\r\n");
}

}  // namespace
