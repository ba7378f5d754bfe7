#include "options/folder_lists.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr char kCrLf[] = "\r\n";

// Line i of the list, or "" past its end: the cleanup reads lines afresh while
// it removes them, and an index can run past the shrinking list.
const std::string& LineAt(const FolderLines& lines, int i) {
  static const std::string kNone;
  return i >= 0 && i < static_cast<int>(lines.size()) ? lines[i] : kNone;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

bool BeginsWith(const std::string& a, const std::string& b) {
  return !b.empty() && a.compare(0, b.size(), b) == 0;
}

bool Contains(const std::string& a, const std::string& b) { return !b.empty() && a.find(b) != std::string::npos; }

std::string WithTrailingSeparator(const std::string& path, PathStyle style) {
  if (!path.empty() && path.back() == style.separator) return path;
  return path + style.separator;
}

bool IsAcceptedFolder(const std::string& path, PathStyle style) {
  std::string lower = Lower(path);
  if (lower.rfind("http", 0) == 0 || lower.rfind("ftp", 0) == 0) return false;
  if (style.windows) return path.rfind("\\\\", 0) == 0 || path.find(":\\") != std::string::npos;
  return path.rfind("/", 0) == 0;
}

std::optional<std::string> CheckNesting(FolderLines& lines, const std::string& path, std::vector<int>* removed_at) {
  for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i) {
    if (BeginsWith(path, lines[i])) return lines[i];
    if (BeginsWith(lines[i], path)) {
      lines.erase(lines.begin() + i);
      if (removed_at) removed_at->push_back(i);
    }
  }
  return std::nullopt;
}

bool IsInsideInclude(const FolderLines& include, const std::string& path) {
  return std::any_of(include.begin(), include.end(),
                     [&](const std::string& line) { return BeginsWith(path, line) && path != line; });
}

std::vector<int> RemoveNestedFolders(FolderLines& lines) {
  std::vector<int> removed;
  for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i) {
    for (int j = static_cast<int>(lines.size()) - 1; j >= 0; --j) {
      if (i != j && BeginsWith(LineAt(lines, i), LineAt(lines, j))) {
        lines.erase(lines.begin() + i);
        removed.push_back(i);
      }
    }
  }
  return removed;
}

std::string JoinFolderLines(const FolderLines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kCrLf;
  return text;
}


std::string TypedFolderPrompt(FolderListKind kind, PathStyle style) {
  std::string prompt = kind == FolderListKind::Include ? "Manually specify a folder or a network path."
                                                       : "Manually specify a folder or a network path to Exclude.";
  prompt += "\rEXAMPLE:";
  if (style.windows) {
    prompt += "\r\tC:\\PHOTOS\r\t\\\\MYSERVER\\SHAREPHOTO\r\t\\\\192.168.1.20\\c$\\photos";
  } else {
    // Network shares appear on Linux as mounted folders.
    prompt += "\r\t/home/user/Pictures\r\t/media/user/PHOTOS\r\t/mnt/myserver/sharephoto";
  }
  return prompt;
}

const char* FolderPickerTitle(FolderListKind kind) {
  return kind == FolderListKind::Include ? "Please select your Images folder." : "Please select your Exclude folder.";
}

std::string SubfolderMessage(FolderListKind kind, const std::string& line) {
  return "This folder is a subfolder of " + line +
         (kind == FolderListKind::Include ? " that is already included!" : " that is already excluded!");
}
