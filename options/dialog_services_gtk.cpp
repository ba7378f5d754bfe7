// First cut of this platform service; the subsystem that needs it fills it in.
#include "options/dialog_services.h"

namespace {
class PlatformDialogServices final : public DialogServices {};
}  // namespace

std::unique_ptr<DialogServices> CreatePlatformDialogServices() { return std::make_unique<PlatformDialogServices>(); }
