// Windows entry point: the platform services, then Main and the message loop.
#include <windows.h>

#include <string>

#include "startup/platform_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  PlatformServices platform;
  Program program(platform.View());
  if (program.Main(command_line ? command_line : "")) program.RunToTheEnd();
  return 0;
}
