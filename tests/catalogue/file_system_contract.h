#pragma once
// The file-system contract, seen through the folder walk: every FileSystem
// (the in-memory fake, POSIX, Win32) must give the same catalogue of the same
// tree. Instantiate with a tree type that has: Files(), Root() (a folder of its
// own, ending with the separator), Make(path, attributes) (a folder when path
// ends with the separator, else an empty file; kFileHidden and kFileSystem set
// on Windows, a system file is a pipe on POSIX, where a dot makes a name
// hidden), MakeShortcut(folder, stem, target) (target: a file, or a folder
// without its separator) and AliasOf(folder) (another path to it, "" when none).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "catalogue/catalogue.h"
#include "fakes/fake_services.h"
#include "test_files.h"

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

template <typename Tree>
class FileSystemContract : public ::testing::Test {
 protected:
  std::string Folder(const std::string& parent, const std::string& name) {
    tree.Make(parent + name + sep);
    return parent + name + sep;
  }
  // The pictures the walk lists, in order; a walk that never ends fails.
  std::vector<std::string> Walk(const std::string& include, bool recursive, const std::string& exclude = "") {
    settings.include_folders = include;
    settings.exclude_folders = exclude;
    settings.include_subfolders = recursive;
    Catalogue catalogue(
        {tree.Files(), fakes.probe, fakes.loop, timers, fakes.walk_queue, sep == '\\' ? kWindowsPaths : kPosixPaths},
        settings);
    catalogue.Seed();
    catalogue.BeginWalk();
    fakes.loop.RunPosted(100000);
    EXPECT_TRUE(catalogue.ScanDone()) << "the walk never ended";
    EXPECT_TRUE(fakes.probe.opened.empty()) << "both filters off: no file opened";
    std::vector<std::string> pictures;
    for (int i = 0; i < catalogue.PictureCount(); ++i) pictures.push_back(catalogue.Picture(i));
    return pictures;
  }

  Tree tree;
  const std::string root = tree.Root();
  const char sep = root.back();
  FakeServices fakes;
  SaverSettings settings = MakeDefaultSettings();
  ShowTimers timers{fakes.loop, fakes.windows.HiddenWindows()};
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, PicturesByTheirExtensionInAnyCaseHiddenIncludedSystemLeftOut) {
  const std::string& r = this->root;
  const std::vector<std::string> pictures = {"a.JPG",  "b.png",  "c.Gif",  "d.bmp", "e.wmf",  "f.jpeg", "l.JPE",
                                             "m.jfif", "n.HEIC", "o.heif", "p.Hif", "q.avif", "s.WebP"};
  for (const std::string& name : pictures) this->tree.Make(r + name);
  for (const char* name : {"g.tif", "h.txt", "jpg", "i.jpg.bak", "t.heic.txt", "u.avi", "v.web"})
    this->tree.Make(r + name);
  this->tree.Make(r + ".j.jpg", kFileHidden);
  this->tree.Make(r + "k.jpg", kFileSystem);
  std::vector<std::string> expected = {r + ".j.jpg"};
  for (const std::string& name : pictures) expected.push_back(r + name);
  EXPECT_THAT(this->Walk(r + "missing" + this->sep + "\r\n" + r, true), UnorderedElementsAreArray(expected));
}

TYPED_TEST_P(FileSystemContract, BreadthFirstAndExclusionsOfTheExactCase) {
  const std::string& r = this->root;
  const std::string sub = this->Folder(r, "sub"), deep = this->Folder(sub, "deep"), skip = this->Folder(r, "Skip");
  for (const std::string& path : {r + "1.jpg", sub + "2.jpg", deep + "3.jpg", skip + "4.jpg"}) this->tree.Make(path);
  // Include and exclude folders get their separator.
  const std::string no_sep = r.substr(0, r.size() - 1), skip_no_sep = skip.substr(0, skip.size() - 1);
  EXPECT_THAT(this->Walk(no_sep, true, skip_no_sep), ElementsAre(r + "1.jpg", sub + "2.jpg", deep + "3.jpg"));
  std::string other_case = skip;
  other_case[other_case.size() - 5] = 's';
  EXPECT_THAT(this->Walk(r, true, other_case), ::testing::Contains(skip + "4.jpg"));
}

// Picture shortcuts are followed always, folder shortcuts with subfolders only;
// links back to a folder already walked (by its path or another) end the walk.
TYPED_TEST_P(FileSystemContract, ShortcutsToUnicodeNamesAndLinksToAnAncestor) {
  const std::string& r = this->root;
  const std::string include = this->Folder(r, "include"), sub = this->Folder(include, "sub");
  const std::string other = this->Folder(r, test_files::Utf8(u8"\u00dcn\u00efc\u00f8d\u00e9 \u2600"));
  const std::string target = other + test_files::Utf8(u8"\u5199\u771f \U0001F4F7.PNG");
  for (const std::string& path : {target, other + "far.jpg", sub + "below.jpg", include + "text.lnk"})
    this->tree.Make(path);
  this->tree.MakeShortcut(include, "to-folder", other.substr(0, other.size() - 1));
  this->tree.MakeShortcut(include, "to-picture", target);
  this->tree.MakeShortcut(include, "broken", r + "nowhere");
  this->tree.MakeShortcut(sub, "up", include.substr(0, include.size() - 1));
  const std::string alias = this->tree.AliasOf(include);
  if (!alias.empty()) this->tree.MakeShortcut(sub, "alias", alias.substr(0, alias.size() - 1));
  EXPECT_THAT(this->Walk(include, false), ElementsAre(target));
  // Reached by its shortcut and again in its folder: listed twice.
  EXPECT_THAT(this->Walk(include, true), UnorderedElementsAre(target, target, other + "far.jpg", sub + "below.jpg"));
}

// The walk's threads come and go (a stuck one is replaced by a fresh one):
// shortcuts resolve on several at once, each new to it.
TYPED_TEST_P(FileSystemContract, ShortcutsResolveOnSeveralThreadsAtOnce) {
  const std::string links = this->Folder(this->root, "links"), target = this->root.substr(0, this->root.size() - 1);
  this->tree.MakeShortcut(links, "up", target);
  FolderEntry link;
  ASSERT_TRUE(this->tree.Files().OpenFolder(links)->Next(link));
  std::vector<std::string> targets(4);
  std::vector<std::thread> threads;
  for (std::string& resolved : targets)
    threads.emplace_back([&] { resolved = this->tree.Files().ResolveShortcut(links, link.name); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(targets, std::vector<std::string>(4, target));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, PicturesByTheirExtensionInAnyCaseHiddenIncludedSystemLeftOut,
                            BreadthFirstAndExclusionsOfTheExactCase, ShortcutsToUnicodeNamesAndLinksToAnAncestor,
                            ShortcutsResolveOnSeveralThreadsAtOnce);
