#pragma once
// The rules of the dialog's two folder lists as plain functions over lines of
// text: path normalisation and acceptance, the nesting walk, the nested-folder
// cleanup, the list text stored in the settings, and the input-box prompt.
// Paths follow the platform's style: "\" with local "C:\..." and network
// "\\server\share\..." paths on Windows, "/" with absolute paths on Linux.
#include <optional>
#include <string>
#include <vector>

#include "platform/path_style.h"
#include "platform/text.h"

using FolderLines = std::vector<std::string>;

// "A begins with B": B's text is found in A at the first position. An empty B
// is never found, so an empty line (kept from the stored settings) can neither
// contain nor swallow a folder.
bool BeginsWith(const std::string& a, const std::string& b);
// B's text is found anywhere in A (an empty B never is).
bool Contains(const std::string& a, const std::string& b);

// The path with the separator appended when it does not end with it.
std::string WithTrailingSeparator(const std::string& path, PathStyle style);

// Windows: begins with "\\" or contains ":\". Linux: begins with "/". Either
// way a path whose lower-cased text begins with "http" or "ftp" is refused.
bool IsAcceptedFolder(const std::string& path, PathStyle style);

// The nesting check of an add: walks the lines from the last to the first.
// A line that contains the new path ends the walk: it is returned (the add is
// refused). A line inside the new path is removed and the walk goes on.
// Removed lines stay removed even when the add is then refused.
// removed_at receives the index of every removed line, in removal order.
std::optional<std::string> CheckNesting(FolderLines& lines, const std::string& path,
                                        std::vector<int>* removed_at = nullptr);

// True when the path lies strictly inside one of the include lines.
bool IsInsideInclude(const FolderLines& include, const std::string& path);

// When subfolders are included, a folder inside another listed folder is
// redundant: removes every such inner line (duplicates leave the first).
// Returns the indexes removed, in removal order.
std::vector<int> RemoveNestedFolders(FolderLines& lines);

// The stored form of a list: every line followed by CR-LF; "" for no lines.
std::string JoinFolderLines(const FolderLines& lines);

enum class FolderListKind { Include, Exclude };

// The input box prompt for typing a folder: lines separated by a CR alone.
std::string TypedFolderPrompt(FolderListKind kind, PathStyle style);
// The folder picker's title.
const char* FolderPickerTitle(FolderListKind kind);

// Messages of the folder lists (critical-stop icon).
inline constexpr char kOnlyUncAndLocal[] = "Only UNC and LOCAL path are allowed!";
inline constexpr char kOnlyInsideInclude[] = "Only subfolders of a path included in image paths is allowed!";
// "This folder is a subfolder of " + line + " that is already included!" (or "excluded!").
std::string SubfolderMessage(FolderListKind kind, const std::string& line);
