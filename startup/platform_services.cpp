#include "startup/platform_services.h"

#include "catalogue/file_system.h"
#include "catalogue/image_probe.h"
#include "options/dialog_services.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "saver/power.h"

PlatformServices::PlatformServices()
    : loop(CreatePlatformEventLoop()),
      system(CreatePlatformSystem()),
      windows(CreatePlatformWindowSystem()),
      registry(CreatePlatformRegistry()),
      display(CreatePlatformDisplay()),
      graphics(CreatePlatformGraphics()),
      files(CreatePlatformFileSystem()),
      probe(CreatePlatformImageProbe()),
      power(CreatePlatformPower()),
      dialogs(CreatePlatformDialogServices()) {}

PlatformServices::~PlatformServices() = default;

ProgramServices PlatformServices::View() {
  return ProgramServices{*loop,
                         *system,
                         *windows,
                         *registry,
                         *display,
                         *graphics,
                         *files,
                         *probe,
                         *power,
                         *dialogs,
                         PlatformPathStyle(),
                         CreatePlatformEngineWindow,
                         CreatePlatformSaverWindow,
                         CreatePlatformOptionsWindow};
}
