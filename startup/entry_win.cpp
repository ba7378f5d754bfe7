// Windows entry point: the platform services, then Main and the message loop.
#include <windows.h>

#include <string>

#include "platform/event_loop.h"
#include "platform/ports.h"
#include "startup/main.h"
#include "startup/program_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  PlatformPorts platform;
  CreatePlatformPorts(platform);
  ProgramState state;
  state.ports = platform.View();
  if (!Main(state, command_line ? command_line : "")) return 0;
  return platform.loop->Run();
}
