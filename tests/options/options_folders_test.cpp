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
  std::string typed;
  std::string added;  // "" when nothing is added
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
  EXPECT_EQ(t.f.dialogs.inputs[0].default_text, "");
  EXPECT_EQ(t.f.dialogs.inputs[0].owner, t.window->Handle());
  EXPECT_EQ(t.Items(C::lstDirectory), c.added.empty() ? Lines{} : Lines{c.added});
  EXPECT_EQ(t.s.CurrentSettings.ImageDirectory, c.added.empty() ? "" : c.added + "\r\n");
  if (c.refused) {
    ASSERT_EQ(t.f.system.boxes.size(), 1u);
    EXPECT_EQ(t.f.system.boxes[0].text, "Only UNC and LOCAL path are allowed!");
    EXPECT_EQ(t.f.system.boxes[0].title, t.s.ProgramTitle);
    EXPECT_EQ(t.f.system.boxes[0].style, 16);
  } else {
    EXPECT_TRUE(t.f.system.boxes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    BothPathStyles, TypedPathTest,
    ::testing::Values(TypedCase{kWindowsPaths, "  C:\\Photos  ", "C:\\Photos\\", false},
                      TypedCase{kWindowsPaths, "D:\\", "D:\\", false},
                      TypedCase{kWindowsPaths, "\\\\nas\\share", "\\\\nas\\share\\", false},
                      TypedCase{kWindowsPaths, "   ", "", false},
                      TypedCase{kWindowsPaths, "Photos\\", "", true},
                      TypedCase{kWindowsPaths, "http://example.com/pics", "", true},
                      TypedCase{kWindowsPaths, "FTP:\\\\host\\x", "", true},
                      TypedCase{kWindowsPaths, "/home/user/Pictures", "", true},
                      TypedCase{kPosixPaths, " /home/user/Pictures ", "/home/user/Pictures/", false},
                      TypedCase{kPosixPaths, "/", "/", false},
                      TypedCase{kPosixPaths, "Pictures/", "", true},
                      TypedCase{kPosixPaths, "~/Pictures", "", true},
                      TypedCase{kPosixPaths, "C:\\Photos", "", true},
                      TypedCase{kPosixPaths, "\t\n", "", false}));

TEST_F(OptionsFoldersTest, PickerAddsWithItsTitleAndCancelAddsNothing) {
  Open();
  Pick("");
  EXPECT_TRUE(Items(C::lstDirectory).empty());
  Pick("C:\\Pics");
  Pick("C:\\Pics\\");  // the same folder again: silently ignored
  EXPECT_EQ(f.dialogs.pickers[0].title, "Please select your Images folder.");
  EXPECT_EQ(f.dialogs.pickers[0].owner, window->Handle());
  EXPECT_EQ(Items(C::lstDirectory), Lines{"C:\\Pics\\"});
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_TRUE(Enabled(C::cmdDel));
  Pick("E:\\More");
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
  EXPECT_EQ(f.system.boxes[0].style, 16);
  Type("C:\\");
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"D:\\", "C:\\"}));
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "D:\\\r\nC:\\\r\n");
  EXPECT_EQ(f.system.boxes.size(), 1u);
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
  EXPECT_TRUE(s.CurrentSettings.Recursive);
}

TEST_F(OptionsFoldersTest, ExclusionsMustLieStrictlyInsideAnInclude) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  Open();
  Type("C:\\A\\X", true);
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\A\\X\\"});
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\\r\n");
  EXPECT_EQ(f.dialogs.inputs[0].text, TypedFolderPrompt(FolderListKind::Exclude, kWindowsPaths));
  Pick("D:\\X", true);
  EXPECT_EQ(f.dialogs.pickers[0].title, "Please select your Exclude folder.");
  EXPECT_EQ(Messages(), Lines{"Only subfolders of a path included in image paths is allowed!"});
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\A\\X\\"});
}

TEST_F(OptionsFoldersTest, RefusedExclusionsKeepTheStoredListEvenAfterRemovingLines) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  Open();
  Type("C:\\A\\X\\Y", true);
  EXPECT_EQ(Messages(), Lines{"This folder is a subfolder of C:\\A\\X\\ that is already excluded!"});
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\A\\X\\"});
  Type("C:\\A", true);
  EXPECT_EQ(Messages().back(), "Only subfolders of a path included in image paths is allowed!");
  EXPECT_TRUE(Items(C::lstExclude).empty()) << "the inner exclusion was removed on the way";
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\") << "but the setting was not rebuilt";
}

TEST_F(OptionsFoldersTest, RemovingAnIncludeTakesItsExclusionsAlong) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\\r\nE:\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\nD:\\B\\X\\\r\nC:\\A\\Y\\Z\\";
  Open();
  dialog->cmdMore_Click();
  engine->calls.clear();
  dialog->lstExclude_Click(2);
  dialog->cmdDel_Click();
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"D:\\B\\", "E:\\"}));
  EXPECT_EQ(Items(C::lstExclude), Lines{"D:\\B\\X\\"});
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_EQ(Ctl(C::lstExclude).selected, 0);
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_TRUE(Enabled(C::cmdMove1));
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "D:\\B\\\r\nE:\\\r\n");
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "D:\\B\\X\\\r\n");
  EXPECT_EQ(engine->calls, Lines{"StartCatalogue"});

  dialog->cmdDel_Click();
  dialog->cmdDel_Click();
  EXPECT_TRUE(Items(C::lstDirectory).empty());
  EXPECT_TRUE(Items(C::lstExclude).empty());
  EXPECT_FALSE(Enabled(C::cmdDelExclude));
  for (C id : {C::cmdDel, C::cmdMove0, C::cmdMove1}) EXPECT_FALSE(Enabled(id)) << InfoOf(id).name;
  EXPECT_EQ(window->focused.back(), C::lstDirectory);
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "");
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "");
}

TEST_F(OptionsFoldersTest, RemovingAnIncludeWithoutSubfoldersKeepsTheExcludeButtonLocked) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\nC:\\B\\X\\";
  Open();
  dialog->cmdDel_Click();
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\B\\X\\"});
  EXPECT_FALSE(Enabled(C::cmdDelExclude));
}

TEST_F(OptionsFoldersTest, RemovingExclusions) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\nC:\\A\\Y\\";
  Open();
  dialog->lstExclude_Click(1);
  dialog->cmdDelExclude_Click();
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\A\\X\\"});
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\\r\n");
  dialog->cmdDelExclude_Click();
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "");
  EXPECT_FALSE(Enabled(C::cmdDelExclude));
  EXPECT_EQ(window->focused.back(), C::lstExclude);
}

TEST_F(OptionsFoldersTest, MovesFollowTheSelectionRule) {
  s.CurrentSettings.ImageDirectory = "A:\\\r\nB:\\\r\nC:\\";
  Open();
  struct Rule {
    int selected;
    bool up, down;
  };
  for (Rule r : {Rule{0, false, true}, Rule{1, true, true}, Rule{2, true, false}}) {
    dialog->lstDirectory_Click(r.selected);
    EXPECT_EQ(Enabled(C::cmdMove0), r.up) << r.selected;
    EXPECT_EQ(Enabled(C::cmdMove1), r.down) << r.selected;
  }
  dialog->lstDirectory_Click(1);
  dialog->cmdMove_Click(0);
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"B:\\", "A:\\", "C:\\"}));
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_EQ(window->focused, std::vector<C>{C::lstDirectory});
  dialog->cmdMove_Click(0);  // the button is disabled: nothing happens
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"B:\\", "A:\\", "C:\\"}));
  dialog->cmdMove_Click(1);
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"A:\\", "B:\\", "C:\\"}));
  EXPECT_EQ(window->focused.size(), 1u) << "the middle is not an end";
  dialog->cmdMove_Click(1);
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"A:\\", "C:\\", "B:\\"}));
  EXPECT_EQ(window->focused.size(), 2u);
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "A:\\\r\nC:\\\r\nB:\\\r\n");
}

}  // namespace
