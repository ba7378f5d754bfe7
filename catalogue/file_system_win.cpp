// First cut of this platform service; the subsystem that needs it fills it in.
#include "catalogue/file_system.h"

namespace {
class PlatformFileSystem final : public FileSystem {};
}  // namespace

std::unique_ptr<FileSystem> CreatePlatformFileSystem() { return std::make_unique<PlatformFileSystem>(); }
