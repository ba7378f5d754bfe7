#include "startup/platform_services.h"

#include "catalogue/file_system.h"
#include "options/dialog_services.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "platform/work_queue.h"
#include "decode/picture_probe.h"
#include "saver/power.h"

namespace {
// How long a file job may take before the queue leaves it to its thread and
// goes on: longer than any healthy read, short against a dead share's minutes.
constexpr std::chrono::milliseconds kWalkPatience{2000};
constexpr std::chrono::milliseconds kPicturePatience{3000};
}  // namespace

PlatformServices::PlatformServices()
    : loop(CreatePlatformEventLoop()),
      system(CreatePlatformSystem()),
      windows(CreatePlatformWindowSystem()),
      registry(CreatePlatformRegistry()),
      monitor_list(CreatePlatformMonitorList()),
      graphics(CreatePlatformGraphics()),
      files(CreatePlatformFileSystem()),
      probe(CreateHeaderProbe()),
      preparer(CreatePicturePreparer()),
      walk_queue(CreateThreadWorkQueue(kWalkPatience)),
      picture_queue(CreateThreadWorkQueue(kPicturePatience)),
      power(CreatePlatformPower()),
      dialogs(CreatePlatformDialogServices()) {}

PlatformServices::~PlatformServices() = default;

ProgramServices PlatformServices::View() {
  return ProgramServices{*loop,
                         *system,
                         *windows,
                         *registry,
                         *monitor_list,
                         *graphics,
                         *files,
                         *probe,
                         *preparer,
                         *walk_queue,
                         *picture_queue,
                         *power,
                         *dialogs,
                         PlatformPathStyle(),
                         CreatePlatformHiddenWindow,
                         CreatePlatformSaverWindow,
                         CreatePlatformOptionsWindow};
}
