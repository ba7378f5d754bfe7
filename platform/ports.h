#pragma once
// The platform services the core uses, gathered in one place. The program's
// entry point creates the real ones (CreatePlatformPorts, from the factory
// functions that each platform file defines); tests create fakes
// (tests/fakes/fake_ports.h).
#include <memory>

#include "platform/path_style.h"

class EventLoop;
class SystemPort;
class WindowSystem;
class RegistryStore;
class DisplayPort;
class GraphicsLibrary;
class FileSystem;
class ImageProbe;
class PowerPort;
class DialogServices;

// Non-owning view, held by ProgramState.
struct Ports {
  EventLoop* loop = nullptr;
  SystemPort* system = nullptr;
  WindowSystem* windows = nullptr;
  RegistryStore* registry = nullptr;
  DisplayPort* display = nullptr;
  GraphicsLibrary* graphics = nullptr;
  FileSystem* files = nullptr;
  ImageProbe* probe = nullptr;
  PowerPort* power = nullptr;
  DialogServices* dialogs = nullptr;
  PathStyle paths = kWindowsPaths;
};

// Owning set of the real platform services.
struct PlatformPorts {
  PlatformPorts();
  ~PlatformPorts();
  PlatformPorts(const PlatformPorts&) = delete;
  PlatformPorts& operator=(const PlatformPorts&) = delete;

  std::unique_ptr<EventLoop> loop;
  std::unique_ptr<SystemPort> system;
  std::unique_ptr<WindowSystem> windows;
  std::unique_ptr<RegistryStore> registry;
  std::unique_ptr<DisplayPort> display;
  std::unique_ptr<GraphicsLibrary> graphics;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<ImageProbe> probe;
  std::unique_ptr<PowerPort> power;
  std::unique_ptr<DialogServices> dialogs;

  Ports View() const;
};

// Creates every platform service of the build's platform.
void CreatePlatformPorts(PlatformPorts& ports);
