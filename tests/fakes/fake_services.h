#pragma once
// Every platform service faked, and the show's subsystems wired on them as
// the program wires them. Tests build one per case.
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "fakes/fake_dialog_services.h"
#include "fakes/fake_display.h"
#include "fakes/fake_event_loop.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_image_probe.h"
#include "fakes/fake_power.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_windows.h"
#include "platform/engine.h"
#include "render/graphics.h"
#include "render/renderer.h"
#include "saver/power_watch.h"
#include "sequence/picture_order.h"
#include "sequence/slide_show.h"
#include "settings/identity.h"
#include "startup/program.h"

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

struct FakeServices {
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

  ProgramServices View() {
    return {loop,  system, windows, registry, display, graphics, files, probe, power, dialogs, kWindowsPaths,
            windows.EngineWindows(), windows.SaverWindows(), windows.OptionsWindows()};
  }
};

// The show on fakes: catalogue, order, renderer, slide show and power watch,
// with the settings at their defaults but in folder order.
struct FakeShow {
  FakeShow() {
    settings.random_order = false;
    settings.include_folders = "C:\\p\\";
    engine.SetHandlers({[this] { catalogue.OnScanTimer(); }, [this] { show.OnSlideTimer(); },
                        [this](EngineWindow& window) { watch.Hook(window); },
                        [this](EngineWindow& window) { watch.Unhook(window); }});
    order.SetCurrentIndex(-1);
  }
  // Lists `count` pictures (Picture(0) on) through a walk of the fake file
  // system, and leaves the scan done or still running.
  void SetPictures(int count, bool scan_done = true) {
    for (int i = 0; i < count; ++i) f.files.Make(Picture(i));
    catalogue.Seed();
    if (scan_done) catalogue.ScanQueue();
    else catalogue.ScanFolder(1);
  }
  // "C:\p\p007.jpg": names that sort in number order.
  static std::string Picture(int i) {
    const std::string n = std::to_string(i);
    return "C:\\p\\p" + std::string(3 - n.size(), '0') + n + ".jpg";
  }

  FakeServices f;
  ProgramIdentity identity = RestoreIdentity();
  SaverSettings settings = MakeDefaultSettings();
  GraphicsSession graphics{f.graphics, f.system};
  Engine engine{f.loop, f.windows.EngineWindows()};
  Catalogue catalogue{{f.files, f.probe, f.loop, engine, graphics, kWindowsPaths}, settings};
  PictureOrder order{catalogue, f.system, f.loop};
  FrameRenderer renderer{graphics, settings, identity};
  SlideShow show{{engine, catalogue, order, renderer}, settings, identity};
  PowerWatch watch{f.power, show};
};
