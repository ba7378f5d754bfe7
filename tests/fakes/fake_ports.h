#pragma once
// Every port faked, and a ProgramState wired to them. Tests build one per case.
#include <memory>

#include "fakes/fake_dialog_services.h"
#include "fakes/fake_display.h"
#include "fakes/fake_event_loop.h"
#include "fakes/fake_power.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_image_probe.h"
#include "fakes/fake_system.h"
#include "fakes/fake_windows.h"
#include "startup/graphics.h"
#include "startup/program_state.h"

class FakeGraphics final : public GraphicsLibrary {
 public:
  int Startup(std::uint32_t* token) override {
    ++starts;
    *token = fail ? 0 : 0x1234;
    return fail ? 1 : 0;
  }
  void Shutdown(std::uint32_t) override { ++stops; }
  bool fail = false;
  int starts = 0, stops = 0;
};

struct FakePorts {
  FakeEventLoop loop;
  FakeSystem system;
  FakeWindowSystem windows;
  FakeDisplay display;
  FakeGraphics graphics;
  FakeDialogServices dialogs;
  FakePower power;
  FakeRegistry registry;
  FakeFileSystem files;
  FakeImageProbe probe;

  Ports View() {
    return {&loop, &system, &windows, &registry, &display, &graphics, &files, &probe, &power, &dialogs, kWindowsPaths};
  }
};

// A program state whose ports are the fakes (which must outlive it).
struct FakeProgram {
  FakeProgram() { state.ports = fakes.View(); }
  FakePorts fakes;
  ProgramState state;
};
