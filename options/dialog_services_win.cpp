// Win32 backend of the dialog services: our own input box, the shell's folder
// picker, the common colour dialog and the shell's "open" verb.
// The input box is our own (input_box_win.cpp); the folder picker is
// SHBrowseForFolderA, the colour dialog ChooseColorA, links open with ShellExecuteA.
#include "options/dialog_services.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include "options/input_box_win.h"

namespace {

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

class PlatformDialogServices final : public DialogServices {
 public:
  std::string InputBox(WindowHandle owner, const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    return ShowInputBox(H(owner), prompt, title, default_text);
  }

  // The classic picker (no "new folder" button), rooted at the desktop;
  // folders outside the file system (Control Panel...) cannot be chosen.
  std::string BrowseFolder(WindowHandle owner, const std::string& title) override {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the shell namespace needs COM
    char display_name[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = H(owner);
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = display_name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    std::string path;
    if (LPITEMIDLIST chosen = SHBrowseForFolderA(&info)) {
      char buffer[MAX_PATH] = {};                               // 260 characters
      if (SHGetPathFromIDListA(chosen, buffer)) path = buffer;  // up to the first NUL
      CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return path;
  }

  // The record is 36 bytes in a 32-bit process and larger in our 64-bit one
  // (pointers and handles are 8 bytes there), so its size is sizeof, never a
  // fixed number: a wrong size makes ChooseColorA fail at once.
  std::int32_t PickColor(WindowHandle owner, std::int32_t initial, CustomColors& custom) override {
    COLORREF table[16];
    for (size_t i = 0; i < 16; ++i) table[i] = static_cast<COLORREF>(custom[i]) & 0x00FFFFFF;
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = H(owner);
    choose.rgbResult = static_cast<COLORREF>(initial) & 0x00FFFFFF;
    choose.lpCustColors = table;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    const bool chosen = ChooseColorA(&choose) != FALSE;
    // Custom colours the user defined stay, even when the dialog is cancelled.
    for (size_t i = 0; i < 16; ++i) custom[i] = static_cast<std::int32_t>(table[i]);
    return chosen ? static_cast<std::int32_t>(choose.rgbResult & 0x00FFFFFF) : kColorCancelled;
  }

  bool OpenLink(const std::string& target) override {
    if (target.empty()) return false;
    HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace

std::unique_ptr<DialogServices> CreatePlatformDialogServices() { return std::make_unique<PlatformDialogServices>(); }
