// Windows entry point: the platform services, then Main and the message loop.
#include <windows.h>

#include <string>

#include "reader/reader_server.h"
#include "startup/platform_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  // Started by the saver as its reader: serves it and ends there.
  RunAsReaderIfStartedAsOne();
  PlatformServices platform;
  Program program(platform.View());
  if (program.Main(command_line ? command_line : "")) program.RunToTheEnd();
  return 0;
}
