#pragma once
// Small text helpers shared by several subsystems.
#include <string>
#include <vector>

// Leading and trailing spaces removed (only the space character: tabs and
// line breaks stay).
std::string TrimSpaces(const std::string& text);

// Leading and trailing blanks removed: spaces, tabs and line breaks.
std::string TrimBlanks(const std::string& text);

// A folder list split at CR-LF, pieces kept as they are (empty ones too);
// the empty text gives no pieces.
std::vector<std::string> SplitFolderLines(const std::string& text);
