// First cut of this platform service; the subsystem that needs it fills it in.
#include "options/dialog_services.h"

namespace {
// Every dialog answers "cancelled" until the platform dialogs arrive.
class PlatformDialogServices final : public DialogServices {
 public:
  std::string InputBox(WindowHandle, const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  std::string BrowseFolder(WindowHandle, const std::string&) override { return ""; }
  std::int32_t PickColor(WindowHandle, std::int32_t, CustomColors&) override { return kColorCancelled; }
  bool OpenLink(const std::string&) override { return false; }
};
}  // namespace

std::unique_ptr<DialogServices> CreatePlatformDialogServices() { return std::make_unique<PlatformDialogServices>(); }
