#pragma once
// The input box Windows does not have: a small modal dialog with the prompt,
// one text field and OK and Cancel, sized to fit the prompt.
#include <windows.h>

#include <string>

// Shows the box owned by `owner` (which it disables while it is open) and
// returns the text as typed, or "" when the user cancels or closes it.
std::string ShowInputBox(HWND owner, const std::string& prompt, const std::string& title,
                         const std::string& default_text);

// The prompt's line breaks (a lone CR, a lone LF or CR-LF) as CR-LF, which
// the static control shows as separate lines.
std::string PromptLines(const std::string& prompt);

// The control id of the text field (GetDlgItem); OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kInputBoxTextId = 100;
inline constexpr int kInputBoxPromptId = 101;
