#pragma once
// Dialog services port: the small modal dialogs and the shell call the options
// dialog uses. Message boxes go through SystemPort::ShowMessage.
// Windows: an input box of our own, SHBrowseForFolder, ChooseColorA,
// ShellExecuteA (dialog_services_win.cpp). Linux: GTK dialogs and the
// desktop's default handler (dialog_services_gtk.cpp). Tests: scripted answers
// (tests/fakes/fake_dialog_services.h). UI thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/window_system.h"

// The colour dialog's 16 custom colours (0x00BBGGRR). The caller keeps the
// table for the life of the process, so colours the user defines stay
// available from one call to the next; they start black.
using CustomColors = std::array<std::int32_t, 16>;

inline constexpr std::int32_t kColorCancelled = -1;

class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // A modal input box owned by `owner`: the prompt (its lines separated by a
  // lone CR), one text field holding `default_text`, OK and Cancel. Returns
  // the text as typed, or "" when cancelled.
  virtual std::string InputBox(WindowHandle owner, const std::string& prompt, const std::string& title,
                               const std::string& default_text) = 0;

  // The system folder picker owned by `owner`, with `title`, rooted at the
  // desktop (Linux: the file system), file-system folders only. Returns the
  // chosen folder's path in the platform's style (no trailing separator
  // needed), or "" when cancelled.
  virtual std::string BrowseFolder(WindowHandle owner, const std::string& title) = 0;

  // The system colour dialog owned by `owner`, opened fully with `initial`
  // selected and `custom` as its custom colours (which it updates). Returns
  // the chosen colour, or kColorCancelled.
  virtual std::int32_t PickColor(WindowHandle owner, std::int32_t initial, CustomColors& custom) = 0;

  // Opens a link target (a web address) with the shell's "open" verb or the
  // desktop's default handler. True when the system accepted it.
  virtual bool OpenLink(const std::string& target) = 0;
};

std::unique_ptr<DialogServices> CreatePlatformDialogServices();
