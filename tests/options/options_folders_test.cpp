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
  C action;  // AddIncludeByPath/AddExcludeByPath type the input, AddIncludeWithPicker/AddExcludeWithPicker pick it; SubfoldersCheck
             // checks ("1") or clears it; others select the input's line first (then click)
  const char* input;
  const char *include_after, *exclude_after, *message;
  bool rebuilt;      // the settings follow the lists (and the preview rescans)
  int selected;      // in the include list
  const char* moves; // "^v": the enabled move buttons
};

const FolderCase kCases[] = {
    // Typed or picked paths are normalised, or refused unless local or UNC.
    {W, 0, "", "", C::AddIncludeByPath, "  \\\\nas\\share  ", "\\\\nas\\share\\", "", "", true, 0, "--"},
    {W, 0, "C:\\Pics\\", "", C::AddIncludeWithPicker, "E:\\More", "C:\\Pics\\ E:\\More\\", "", "", true, 1, "^-"},
    {W, 0, "", "", C::AddIncludeByPath, "   ", "", "", "", false, -1, "--"},
    {W, 0, "", "", C::AddIncludeByPath, "Photos\\", "", "", kUnc, false, -1, "--"},
    {W, 0, "", "", C::AddIncludeByPath, "http:\\\\host\\pics", "", "", kUnc, false, -1, "--"},
    {W, 0, "", "", C::AddIncludeByPath, "FTP:\\\\host", "", "", kUnc, false, -1, "--"},
    {P, 0, "", "", C::AddIncludeByPath, " /home/u/Pics ", "/home/u/Pics/", "", "", true, 0, "--"},
    {P, 0, "", "", C::AddIncludeByPath, "C:\\Photos", "", "", kUnc, false, -1, "--"},
    // A duplicate is ignored silently.
    {W, 0, "C:\\Pics\\ D:\\", "", C::AddIncludeWithPicker, "C:\\Pics", "C:\\Pics\\ D:\\", "", "", false, 0, "-v"},
    // With subfolders, an include cannot nest in another and swallows inner ones.
    {W, 1, "C:\\A\\ D:\\", "", C::AddIncludeByPath, "C:\\A\\B", "C:\\A\\ D:\\", "",
     "This folder is a subfolder of C:\\A\\ that is already included!", false, 0, "-v"},
    {W, 1, "C:\\A\\B\\ D:\\ C:\\A\\C\\ C:\\AB\\", "", C::AddIncludeByPath, "C:\\A", "D:\\ C:\\AB\\ C:\\A\\", "", "", true, 2,
     "^-"},
    {P, 0, "/a/", "", C::AddIncludeByPath, "/a/b", "/a/ /a/b/", "", "", true, 1, "^-"},
    {P, 0, "/a/b/ /a/", "", C::SubfoldersCheck, "1", "/a/", "", "", true, -1, "--"},
    {P, 0, "/a/ /a/b/", "", C::SubfoldersCheck, "1", "/a/", "", "", true, 0, "--"},  // the lines left decide the moves
    {P, 1, "/a/", "/a/x/", C::SubfoldersCheck, "0", "/a/", "/a/x/", "", false, 0, "--"},  // exclusions stay
    // Exclusions lie strictly inside an include; they nest like includes, walked
    // from the last line: inner lines on the way are removed even when refused.
    {W, 1, "C:\\A\\", "", C::AddExcludeWithPicker, "D:\\X", "C:\\A\\", "", kOutside, false, 0, "--"},
    {W, 1, "C:\\A\\", "", C::AddExcludeByPath, "C:\\A", "C:\\A\\", "", kOutside, false, 0, "--"},
    {W, 1, "C:\\A\\", "", C::AddExcludeByPath, "C:\\A\\X", "C:\\A\\", "C:\\A\\X\\", "", true, 0, "--"},
    {P, 1, "/a/", "/a/x/y/z/ /a/x/", C::AddExcludeByPath, "/a/x/y", "/a/", "/a/x/y/z/ /a/x/",
     "This folder is a subfolder of /a/x/ that is already excluded!", false, 0, "--"},
    {P, 1, "/a/", "/a/x/ /a/x/y/z/", C::AddExcludeByPath, "/a/x/y", "/a/", "/a/x/",
     "This folder is a subfolder of /a/x/ that is already excluded!", false, 0, "--"},
    // Removing an include removes the exclusions inside it.
    {W, 1, "C:\\A\\ D:\\B\\ E:\\", "C:\\A\\X\\ D:\\B\\X\\ C:\\A\\Y\\Z\\", C::RemoveInclude, "0", "D:\\B\\ E:\\", "D:\\B\\X\\",
     "", true, 0, "-v"},
    {P, 0, "/a/", "", C::RemoveInclude, "0", "", "", "", true, -1, "--"},
    {P, 1, "/a/", "/a/x/ /a/y/", C::RemoveExclude, "1", "/a/", "/a/x/", "", true, 0, "--"},
    // Moves, and which moves the selection allows.
    {P, 0, "/a/ /b/ /c/", "", C::MoveIncludeDown, "0", "/b/ /a/ /c/", "", "", true, 1, "^v"},
    {P, 0, "/a/ /b/ /c/", "", C::MoveIncludeDown, "1", "/a/ /c/ /b/", "", "", true, 2, "^-"},
    {P, 0, "/a/ /b/ /c/", "", C::MoveIncludeUp, "0", "/a/ /b/ /c/", "", "", false, 0, "-v"},
    {P, 0, "/a/ /b/ /c/", "", C::IncludeList, "2", "/a/ /b/ /c/", "", "", false, 2, "^-"},
};

TEST(OptionsFolders, ActionsFollowTheListRules) {
  for (const FolderCase& c : kCases) {
    SCOPED_TRACE(std::to_string(IndexOf(c.action)) + " '" + c.input + "' on " + c.include + " | " + c.exclude);
    OptionsHarness t;
    t.paths = c.style;
    t.settings.include_subfolders = c.subdirs;
    t.settings.include_folders = Stored(c.include, false);
    t.settings.exclude_folders = Stored(c.exclude, false);
    t.Open().OnClick(C::InfoToggle);  // the preview shows, so a change rescans
    const SaverSettings before = t.settings;
    const std::string in = c.input;
    const bool typed = c.action == C::AddIncludeByPath || c.action == C::AddExcludeByPath;
    const bool picked = c.action == C::AddIncludeWithPicker || c.action == C::AddExcludeWithPicker;
    (typed ? t.fakes.dialogs.typed : t.fakes.dialogs.picked).push_back(in);  // asked only by an add
    if (!typed && !picked && c.action != C::SubfoldersCheck)
      t.dialog->OnSelect(c.action == C::RemoveExclude ? C::ExcludeList : C::IncludeList, std::stoi(in));
    t.preview->calls.clear();
    c.action == C::SubfoldersCheck ? t.dialog->OnCheck(c.action, in == "1") : t.dialog->OnClick(c.action);

    EXPECT_EQ(t.Items(C::IncludeList), Split(c.include_after));
    EXPECT_EQ(t.Items(C::ExcludeList), Split(c.exclude_after));
    Lines messages;
    for (const auto& box : t.fakes.system.boxes)
      messages.push_back(box.style == MessageBoxStyle::Critical ? box.text : "not critical");
    EXPECT_EQ(messages, *c.message ? Lines{c.message} : Lines{});
    EXPECT_EQ(t.settings.include_folders, c.rebuilt ? Stored(c.include_after) : before.include_folders);
    EXPECT_EQ(t.settings.exclude_folders, c.rebuilt ? Stored(c.exclude_after) : before.exclude_folders);
    const bool rescan = c.rebuilt || c.action == C::SubfoldersCheck;
    EXPECT_EQ(t.preview->calls, rescan ? Lines{"StartCatalogue"} : Lines{});
    EXPECT_EQ(t.Ctl(C::IncludeList).selected, c.selected);
    EXPECT_EQ(std::string() + (t.Enabled(C::MoveIncludeUp) ? '^' : '-') + (t.Enabled(C::MoveIncludeDown) ? 'v' : '-'), c.moves);
    EXPECT_EQ(t.Enabled(C::RemoveInclude), !t.Items(C::IncludeList).empty());
    for (C id : {C::ExcludeList, C::AddExcludeByPath}) EXPECT_EQ(t.Enabled(id), t.settings.include_subfolders);
    const bool include = c.action == C::AddIncludeWithPicker || c.action == C::AddIncludeByPath;
    const char* title = include ? "Please select your Images folder." : "Please select your Exclude folder.";
    EXPECT_EQ(t.fakes.dialogs.pickers, picked ? Lines{title} : Lines{});
    EXPECT_EQ(t.fakes.dialogs.owner, typed || picked ? t.window->Handle() : 0);
  }
}

}  // namespace
