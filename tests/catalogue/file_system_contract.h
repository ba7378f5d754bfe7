#pragma once
// The file-system contract: every FileSystem (the in-memory fake, POSIX,
// Win32) must pass these, first at the port and then as the walk uses it.
// Each implementation supplies a TreeFixture that builds real (or fake)
// folders; include this in one test file per implementation and instantiate
// with INSTANTIATE_TYPED_TEST_SUITE_P.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/file_system.h"
#include "catalogue/folder_scan.h"
#include "fakes/fake_ports.h"
#include "test_files.h"

// Builds a tree for one implementation. Folder paths end with the separator.
class TreeFixture {
 public:
  virtual ~TreeFixture() = default;
  virtual FileSystem& Files() = 0;
  virtual PathStyle Paths() const = 0;
  // An empty folder of the test's own.
  virtual std::string Root() const = 0;
  virtual void MakeFolder(const std::string& folder) = 0;
  virtual void MakeFile(const std::string& path) = 0;
  // A hidden file; returns the name the listing gives it.
  virtual std::string MakeHiddenFile(const std::string& folder, const std::string& name) = 0;
  // An entry that must never be listed (system attribute; a pipe on POSIX).
  virtual void MakeUnlisted(const std::string& folder, const std::string& name) = 0;
  // A shortcut to target (a folder without its separator, or a file); returns its entry name.
  virtual std::string MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) = 0;
  // Another path to an existing folder, "" when the platform offers none.
  virtual std::string AliasOf(const std::string& folder) = 0;
};

template <typename Factory>
class FileSystemContract : public ::testing::Test {
 protected:
  void SetUp() override {
    tree = Factory::Create();
    root = tree->Root();
    ASSERT_GT(root.size(), 1u);
    sep = tree->Paths().separator;
    program.state.ports.files = &tree->Files();
    program.state.ports.paths = tree->Paths();
  }
  FileSystem& files() { return tree->Files(); }
  std::string Folder(const std::string& parent, const std::string& name) {
    const std::string folder = parent + name + sep;
    tree->MakeFolder(folder);
    return folder;
  }

  // Every entry of a folder, name -> attributes; fails on repeated names.
  std::map<std::string, std::uint32_t> List(const std::string& folder) {
    std::map<std::string, std::uint32_t> entries;
    std::unique_ptr<FolderListing> listing = files().OpenFolder(folder);
    EXPECT_TRUE(listing) << folder;
    if (!listing) return entries;
    FolderEntry entry;
    while (listing->Next(entry)) EXPECT_TRUE(entries.emplace(entry.name, entry.attributes).second) << entry.name;
    return entries;
  }

  ScanEnd Walk(const std::string& include, bool recursive, const std::string& exclude = "") {
    ProgramState& s = program.state;
    s.CurrentSettings.ImageDirectory = include;
    s.CurrentSettings.ExcludeDirectory = exclude;
    s.CurrentSettings.Recursive = recursive;
    SeedCatalogue(s);
    s.ScanDone = false;
    s.StopScan = false;
    // A walk that never ends fails here instead of hanging the suite.
    int yields = 0;
    program.fakes.loop.on_yield = [&] { s.StopScan = s.StopScan || ++yields > 10000; };
    return ScanQueue(s);
  }
  std::vector<std::string> Pictures() const {
    const ProgramState& s = program.state;
    return std::vector<std::string>(s.PictureList.begin(), s.PictureList.begin() + s.PictureCount);
  }
  std::multiset<std::string> PictureSet() const {
    const auto list = Pictures();
    return std::multiset<std::string>(list.begin(), list.end());
  }
  std::ptrdiff_t IndexOf(const std::string& path) const {
    const auto list = Pictures();
    return std::find(list.begin(), list.end(), path) - list.begin();
  }

  std::unique_ptr<TreeFixture> tree;
  std::string root;
  char sep = '\\';
  FakeProgram program;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, ListsEveryEntryOnceWithItsKind) {
  this->Folder(this->root, "sub");
  this->tree->MakeFile(this->root + "a.jpg");
  const auto entries = this->List(this->root);
  ASSERT_EQ(entries.size(), 2u);  // never "." or ".."
  EXPECT_TRUE(entries.at("sub") & kFileDirectory);
  EXPECT_FALSE(entries.at("a.jpg") & (kFileDirectory | kFileSymlink));
  EXPECT_TRUE(this->List(this->root + "sub" + this->sep).empty());
  // The attribute query agrees, with or without the separator; failures are 0.
  FileSystem& fs = this->files();
  EXPECT_TRUE(fs.GetAttributes(this->root + "sub") & kFileDirectory);
  EXPECT_TRUE(fs.GetAttributes(this->root + "sub" + this->sep) & kFileDirectory);
  EXPECT_NE(fs.GetAttributes(this->root + "a.jpg"), 0u);
  EXPECT_FALSE(fs.GetAttributes(this->root + "a.jpg") & kFileDirectory);
  EXPECT_EQ(fs.GetAttributes(this->root + "missing.jpg"), 0u);
  EXPECT_EQ(fs.GetAttributes(""), 0u);
  EXPECT_EQ(fs.OpenFolder(this->root + "missing" + this->sep), nullptr);
}

TYPED_TEST_P(FileSystemContract, ListsHiddenEntriesAndLeavesOutSystemOnes) {
  const std::string hidden = this->tree->MakeHiddenFile(this->root, "secret.jpg");
  this->tree->MakeUnlisted(this->root, "system.jpg");
  this->tree->MakeFile(this->root + "plain.jpg");
  const auto entries = this->List(this->root);
  EXPECT_EQ(entries.size(), 2u);
  ASSERT_TRUE(entries.count(hidden));
  EXPECT_TRUE(entries.at(hidden) & kFileHidden);
  EXPECT_FALSE(entries.at("plain.jpg") & kFileHidden);
}

TYPED_TEST_P(FileSystemContract, UnicodeNamesSurviveTheRoundTrip) {
  const std::string folder_name = test_files::Utf8(u8"\u00dcn\u00efc\u00f8d\u00e9 \u2600");
  const std::string file_name = test_files::Utf8(u8"\u5199\u771f \U0001F4F7.JPG");
  const std::string folder = this->Folder(this->root, folder_name);
  this->tree->MakeFile(folder + file_name);
  EXPECT_TRUE(this->List(this->root).count(folder_name));
  const auto entries = this->List(folder);
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries.count(file_name));
  EXPECT_NE(this->files().GetAttributes(folder + file_name), 0u);
}

TYPED_TEST_P(FileSystemContract, ShortcutsResolveToTheirTargetsOrToNothing) {
  const std::string other = this->Folder(this->root, "other");
  this->tree->MakeFile(other + "pic.png");
  const std::string folder_target = this->root + "other";
  const std::string to_folder = this->tree->MakeShortcut(this->root, "folder", folder_target);
  const std::string to_picture = this->tree->MakeShortcut(this->root, "picture", other + "pic.png");
  const std::string broken = this->tree->MakeShortcut(this->root, "broken", this->root + "gone.jpg");
  this->tree->MakeFile(this->root + "text.lnk");  // not a shortcut at all
  FileSystem& fs = this->files();
  EXPECT_EQ(fs.ResolveShortcut(this->root, to_folder), folder_target);
  EXPECT_TRUE(fs.GetAttributes(folder_target) & kFileDirectory);
  EXPECT_EQ(fs.ResolveShortcut(this->root, to_picture), other + "pic.png");
  // A shortcut to something gone may still name it, but nothing is there.
  const std::string gone = fs.ResolveShortcut(this->root, broken);
  EXPECT_TRUE(gone.empty() || fs.GetAttributes(gone) == 0u) << gone;
  EXPECT_EQ(fs.ResolveShortcut(this->root, "text.lnk"), "");
  EXPECT_EQ(fs.ResolveShortcut(this->root, "missing.lnk"), "");
}

TYPED_TEST_P(FileSystemContract, PathsToTheSameFolderShareItsIdentity) {
  const std::string a = this->Folder(this->root, "a");
  const std::string b = this->Folder(this->root, "b");
  auto identity = [&](const std::string& folder) {
    std::unique_ptr<FolderListing> listing = this->files().OpenFolder(folder);
    return listing ? listing->Identity() : std::string("unopened");
  };
  const std::string id_a = identity(a);
  EXPECT_FALSE(id_a.empty());
  EXPECT_EQ(identity(a), id_a);
  EXPECT_NE(identity(b), id_a);
  const std::string alias = this->tree->AliasOf(a);
  if (!alias.empty()) {
    EXPECT_EQ(identity(alias), id_a) << alias;
  }
}

// The walk over this implementation: extensions, hidden and system entries,
// and no file opened while the filters are off.
TYPED_TEST_P(FileSystemContract, WalkTakesPicturesByExtensionOnly) {
  const std::string& r = this->root;
  for (const char* name :
       {"a.JPG", "b.jpg", "c.png", "d.Gif", "e.bmp", "f.wmf", "g.jpeg", "h.tif", "i.tiff", "j.txt", "jpg"})
    this->tree->MakeFile(r + name);
  const std::string hidden = this->tree->MakeHiddenFile(r, "k.jpg");
  this->tree->MakeUnlisted(r, "l.jpg");
  EXPECT_EQ(this->Walk(r, true), ScanEnd::kDone);
  EXPECT_EQ(this->PictureSet(), (std::multiset<std::string>{r + "a.JPG", r + "b.jpg", r + "c.png", r + "d.Gif",
                                                            r + "e.bmp", r + "f.wmf", r + hidden}));
  EXPECT_TRUE(this->program.fakes.probe.opened.empty());
}

TYPED_TEST_P(FileSystemContract, WalkIsBreadthFirstAndSkipsExactExclusions) {
  const std::string& r = this->root;
  const std::string sub = this->Folder(r, "sub");
  const std::string deep = this->Folder(sub, "deep");
  const std::string skip = this->Folder(r, "Skip");
  this->tree->MakeFile(r + "1.jpg");
  this->tree->MakeFile(sub + "2.jpg");
  this->tree->MakeFile(deep + "3.jpg");
  this->tree->MakeFile(skip + "4.jpg");
  this->Walk(r, true, skip);
  EXPECT_EQ(this->PictureSet(), (std::multiset<std::string>{r + "1.jpg", sub + "2.jpg", deep + "3.jpg"}));
  EXPECT_LT(this->IndexOf(r + "1.jpg"), this->IndexOf(sub + "2.jpg"));
  EXPECT_LT(this->IndexOf(sub + "2.jpg"), this->IndexOf(deep + "3.jpg"));
  // Another letter case is another text: not excluded.
  std::string other_case = skip;
  std::transform(other_case.begin(), other_case.end(), other_case.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  this->Walk(r, true, other_case);
  EXPECT_EQ(this->PictureSet().count(skip + "4.jpg"), 1u);
}

TYPED_TEST_P(FileSystemContract, WalkWithoutSubfoldersStillResolvesPictureShortcuts) {
  const std::string& r = this->root;
  const std::string include = this->Folder(r, "include");
  const std::string other = this->Folder(r, "other");
  this->Folder(include, "sub");
  this->tree->MakeFile(include + "sub" + this->sep + "hidden-below.jpg");
  this->tree->MakeFile(other + "far.jpg");
  this->tree->MakeFile(other + "target.PNG");
  this->tree->MakeShortcut(include, "to-folder", r + "other");
  this->tree->MakeShortcut(include, "to-picture", other + "target.PNG");
  this->tree->MakeShortcut(include, "broken", r + "nowhere");
  this->Walk(include, false);
  EXPECT_EQ(this->Pictures(), (std::vector<std::string>{other + "target.PNG"}));
  EXPECT_EQ(this->program.state.FolderCount, 1);

  this->Walk(include, true);
  // The picture is reached by its shortcut and again in its folder: listed twice.
  EXPECT_EQ(this->PictureSet(),
            (std::multiset<std::string>{other + "target.PNG", other + "target.PNG", other + "far.jpg",
                                        include + "sub" + this->sep + "hidden-below.jpg"}));
}

TYPED_TEST_P(FileSystemContract, WalkEndsOnALinkToAnAncestor) {
  const std::string& r = this->root;
  const std::string top = this->Folder(r, "top");
  const std::string sub = this->Folder(top, "sub");
  this->tree->MakeFile(top + "1.jpg");
  this->tree->MakeFile(sub + "2.jpg");
  this->tree->MakeShortcut(sub, "up", r + "top");
  const std::string alias = this->tree->AliasOf(top);
  if (!alias.empty()) this->tree->MakeShortcut(sub, "alias", alias.substr(0, alias.size() - 1));
  EXPECT_EQ(this->Walk(top, true), ScanEnd::kDone);
  EXPECT_EQ(this->PictureSet(), (std::multiset<std::string>{top + "1.jpg", sub + "2.jpg"}));
  EXPECT_LE(this->program.state.FolderCount, 3);
}

TYPED_TEST_P(FileSystemContract, WalkGoesOnPastMissingFolders) {
  const std::string& r = this->root;
  const std::string a = this->Folder(r, "a");
  this->tree->MakeFile(a + "1.jpg");
  EXPECT_EQ(this->Walk(r + "missing" + this->sep + "\r\n" + a, true), ScanEnd::kDone);
  EXPECT_EQ(this->Pictures(), (std::vector<std::string>{a + "1.jpg"}));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, ListsEveryEntryOnceWithItsKind,
                            ListsHiddenEntriesAndLeavesOutSystemOnes, UnicodeNamesSurviveTheRoundTrip,
                            ShortcutsResolveToTheirTargetsOrToNothing, PathsToTheSameFolderShareItsIdentity,
                            WalkTakesPicturesByExtensionOnly, WalkIsBreadthFirstAndSkipsExactExclusions,
                            WalkWithoutSubfoldersStillResolvesPictureShortcuts, WalkEndsOnALinkToAnAncestor,
                            WalkGoesOnPastMissingFolders);
