// First cut of this platform service; the subsystem that needs it fills it in.
#include "catalogue/image_probe.h"

namespace {
class PlatformImageProbe final : public ImageProbe {};
}  // namespace

std::unique_ptr<ImageProbe> CreatePlatformImageProbe() { return std::make_unique<PlatformImageProbe>(); }
