// The include and exclude folder lists of the options dialog, as one table:
// lists at open, one user action, then the lists, the message, the stored
// settings and the include list's selection rule.
#include <sstream>

#include "options_fixture.h"

namespace {

Lines Split(const std::string& text) {  // lines separated by blanks in the table
  std::istringstream in(text);
  Lines lines;
  for (std::string line; in >> line;) lines.push_back(line);
  return lines;
}
std::string Stored(const std::string& text, bool rebuilt = true) {  // as loaded, the last line ends the text
  std::string stored;
  for (const std::string& line : Split(text)) stored += line + "\r\n";
  return rebuilt || stored.empty() ? stored : stored.substr(0, stored.size() - 2);
}

constexpr PathStyle W = kWindowsPaths, P = kPosixPaths;
constexpr char kUnc[] = "Only UNC and LOCAL path are allowed!";
constexpr char kOutside[] = "Only subfolders of a path included in image paths is allowed!";

struct FolderCase {
  PathStyle style;
  bool subdirs;
  const char *include, *exclude;  // at open
  C action;  // cmdAdd1/cmdAddExclude1 type the input, cmdAdd0/cmdAddExclude0 pick it; chkRecursive
             // checks ("1") or clears it; others select the input's line first (then click)
  const char* input;
  const char *include_after, *exclude_after, *message;
  bool rebuilt;      // the settings follow the lists (and the preview rescans)
  int selected;      // in the include list
  const char* moves; // "^v": the enabled move buttons
};

const FolderCase kCases[] = {
    // Typed or picked paths are normalised, or refused unless local or UNC.
    {W, 0, "", "", C::cmdAdd1, "  \\\\nas\\share  ", "\\\\nas\\share\\", "", "", true, 0, "--"},
    {W, 0, "C:\\Pics\\", "", C::cmdAdd0, "E:\\More", "C:\\Pics\\ E:\\More\\", "", "", true, 1, "^-"},
    {W, 0, "", "", C::cmdAdd1, "   ", "", "", "", false, -1, "--"},
    {W, 0, "", "", C::cmdAdd1, "Photos\\", "", "", kUnc, false, -1, "--"},
    {W, 0, "", "", C::cmdAdd1, "http:\\\\host\\pics", "", "", kUnc, false, -1, "--"},
    {W, 0, "", "", C::cmdAdd1, "FTP:\\\\host", "", "", kUnc, false, -1, "--"},
    {P, 0, "", "", C::cmdAdd1, " /home/u/Pics ", "/home/u/Pics/", "", "", true, 0, "--"},
    {P, 0, "", "", C::cmdAdd1, "C:\\Photos", "", "", kUnc, false, -1, "--"},
    // A duplicate is ignored silently.
    {W, 0, "C:\\Pics\\ D:\\", "", C::cmdAdd0, "C:\\Pics", "C:\\Pics\\ D:\\", "", "", false, 0, "-v"},
    // With subfolders, an include cannot nest in another and swallows inner ones.
    {W, 1, "C:\\A\\ D:\\", "", C::cmdAdd1, "C:\\A\\B", "C:\\A\\ D:\\", "",
     "This folder is a subfolder of C:\\A\\ that is already included!", false, 0, "-v"},
    {W, 1, "C:\\A\\B\\ D:\\ C:\\A\\C\\ C:\\AB\\", "", C::cmdAdd1, "C:\\A", "D:\\ C:\\AB\\ C:\\A\\", "", "", true, 2,
     "^-"},
    {P, 0, "/a/", "", C::cmdAdd1, "/a/b", "/a/ /a/b/", "", "", true, 1, "^-"},
    {P, 0, "/a/b/ /a/", "", C::chkRecursive, "1", "/a/", "", "", true, -1, "--"},
    {P, 0, "/a/ /a/b/", "", C::chkRecursive, "1", "/a/", "", "", true, 0, "--"},  // the lines left decide the moves
    {P, 1, "/a/", "/a/x/", C::chkRecursive, "0", "/a/", "/a/x/", "", false, 0, "--"},  // exclusions stay
    // Exclusions lie strictly inside an include; they nest like includes, walked
    // from the last line: inner lines on the way are removed even when refused.
    {W, 1, "C:\\A\\", "", C::cmdAddExclude0, "D:\\X", "C:\\A\\", "", kOutside, false, 0, "--"},
    {W, 1, "C:\\A\\", "", C::cmdAddExclude1, "C:\\A", "C:\\A\\", "", kOutside, false, 0, "--"},
    {W, 1, "C:\\A\\", "", C::cmdAddExclude1, "C:\\A\\X", "C:\\A\\", "C:\\A\\X\\", "", true, 0, "--"},
    {P, 1, "/a/", "/a/x/y/z/ /a/x/", C::cmdAddExclude1, "/a/x/y", "/a/", "/a/x/y/z/ /a/x/",
     "This folder is a subfolder of /a/x/ that is already excluded!", false, 0, "--"},
    {P, 1, "/a/", "/a/x/ /a/x/y/z/", C::cmdAddExclude1, "/a/x/y", "/a/", "/a/x/",
     "This folder is a subfolder of /a/x/ that is already excluded!", false, 0, "--"},
    // Removing an include removes the exclusions inside it.
    {W, 1, "C:\\A\\ D:\\B\\ E:\\", "C:\\A\\X\\ D:\\B\\X\\ C:\\A\\Y\\Z\\", C::cmdDel, "0", "D:\\B\\ E:\\", "D:\\B\\X\\",
     "", true, 0, "-v"},
    {P, 0, "/a/", "", C::cmdDel, "0", "", "", "", true, -1, "--"},
    {P, 1, "/a/", "/a/x/ /a/y/", C::cmdDelExclude, "1", "/a/", "/a/x/", "", true, 0, "--"},
    // Moves, and which moves the selection allows.
    {P, 0, "/a/ /b/ /c/", "", C::cmdMove1, "0", "/b/ /a/ /c/", "", "", true, 1, "^v"},
    {P, 0, "/a/ /b/ /c/", "", C::cmdMove1, "1", "/a/ /c/ /b/", "", "", true, 2, "^-"},
    {P, 0, "/a/ /b/ /c/", "", C::cmdMove0, "0", "/a/ /b/ /c/", "", "", false, 0, "-v"},
    {P, 0, "/a/ /b/ /c/", "", C::lstDirectory, "2", "/a/ /b/ /c/", "", "", false, 2, "^-"},
};

TEST(OptionsFolders, ActionsFollowTheListRules) {
  for (const FolderCase& c : kCases) {
    SCOPED_TRACE(std::string(InfoOf(c.action).name) + " '" + c.input + "' on " + c.include + " | " + c.exclude);
    OptionsHarness t;
    t.s.ports.paths = c.style;
    t.s.CurrentSettings.Recursive = c.subdirs;
    t.s.CurrentSettings.ImageDirectory = Stored(c.include, false);
    t.s.CurrentSettings.ExcludeDirectory = Stored(c.exclude, false);
    t.Open().cmdMore_Click();  // the preview shows, so a change rescans
    const SaverSettings before = t.s.CurrentSettings;
    const std::string in = c.input;
    const bool typed = c.action == C::cmdAdd1 || c.action == C::cmdAddExclude1;
    const bool picked = c.action == C::cmdAdd0 || c.action == C::cmdAddExclude0;
    (typed ? t.f.dialogs.typed : t.f.dialogs.picked).push_back(in);  // asked only by an add
    if (!typed && !picked && c.action != C::chkRecursive) {
      t.dialog->OnSelect(c.action == C::cmdDelExclude ? C::lstExclude : C::lstDirectory, std::stoi(in));
    }
    t.engine->calls.clear();
    c.action == C::chkRecursive ? t.dialog->chkRecursive_Click(in == "1") : t.dialog->OnClick(c.action);

    EXPECT_EQ(t.Items(C::lstDirectory), Split(c.include_after));
    EXPECT_EQ(t.Items(C::lstExclude), Split(c.exclude_after));
    Lines messages;
    for (const auto& box : t.f.system.boxes) messages.push_back(box.text + " " + std::to_string(box.style));
    EXPECT_EQ(messages, *c.message ? Lines{c.message + std::string(" 16")} : Lines{});
    EXPECT_EQ(t.s.CurrentSettings.ImageDirectory, c.rebuilt ? Stored(c.include_after) : before.ImageDirectory);
    EXPECT_EQ(t.s.CurrentSettings.ExcludeDirectory, c.rebuilt ? Stored(c.exclude_after) : before.ExcludeDirectory);
    const bool rescan = c.rebuilt || c.action == C::chkRecursive;
    EXPECT_EQ(t.engine->calls, rescan ? Lines{"StartCatalogue"} : Lines{});
    EXPECT_EQ(t.Ctl(C::lstDirectory).selected, c.selected);
    EXPECT_EQ(std::string() + (t.Enabled(C::cmdMove0) ? '^' : '-') + (t.Enabled(C::cmdMove1) ? 'v' : '-'), c.moves);
    EXPECT_EQ(t.Enabled(C::cmdDel), !t.Items(C::lstDirectory).empty());
    for (C id : {C::lstExclude, C::cmdAddExclude1}) EXPECT_EQ(t.Enabled(id), t.s.CurrentSettings.Recursive);
    const bool include = c.action == C::cmdAdd0 || c.action == C::cmdAdd1;
    const char* title = include ? "Please select your Images folder." : "Please select your Exclude folder.";
    EXPECT_EQ(t.f.dialogs.pickers, picked ? Lines{title} : Lines{});
    EXPECT_EQ(t.f.dialogs.owner, typed || picked ? t.window->Handle() : 0);
  }
}

}  // namespace
