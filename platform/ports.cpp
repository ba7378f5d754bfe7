#include "platform/ports.h"

#include "catalogue/file_system.h"
#include "catalogue/image_probe.h"
#include "options/dialog_services.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "platform/window_system.h"
#include "saver/power.h"
#include "settings/registry.h"
#include "startup/graphics.h"
#include "startup/monitors.h"

PlatformPorts::PlatformPorts() = default;
PlatformPorts::~PlatformPorts() = default;

Ports PlatformPorts::View() const {
  Ports p;
  p.loop = loop.get();
  p.system = system.get();
  p.windows = windows.get();
  p.registry = registry.get();
  p.display = display.get();
  p.graphics = graphics.get();
  p.files = files.get();
  p.probe = probe.get();
  p.power = power.get();
  p.dialogs = dialogs.get();
  p.paths = PlatformPathStyle();
  return p;
}

void CreatePlatformPorts(PlatformPorts& ports) {
  ports.loop = CreatePlatformEventLoop();
  ports.system = CreatePlatformSystem();
  ports.windows = CreatePlatformWindowSystem();
  ports.registry = CreatePlatformRegistry();
  ports.display = CreatePlatformDisplay();
  ports.graphics = CreatePlatformGraphics();
  ports.files = CreatePlatformFileSystem();
  ports.probe = CreatePlatformImageProbe();
  ports.power = CreatePlatformPower();
  ports.dialogs = CreatePlatformDialogServices();
}
