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
#include "fakes/fake_picture_probe.h"
#include "fakes/fake_power.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_windows.h"
#include "platform/show_timers.h"
#include "render/graphics.h"
#include "render/renderer.h"
#include "saver/power_watch.h"
#include "sequence/picture_order.h"
#include "sequence/picture_supply.h"
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
  FakePictureProbe probe;
  RecordingPreparer preparer;
  InlineWorkQueue walk_queue, picture_queue;

  ProgramServices View() {
    return {loop,        system,      windows,       registry, display, graphics, files, probe, preparer,
            walk_queue,  picture_queue, power,       dialogs,  kWindowsPaths,
            windows.HiddenWindows(), windows.SaverWindows(), windows.OptionsWindows()};
  }
};

// The show on fakes: catalogue, order, renderer, slide show and power watch,
// with the settings at their defaults but in folder order.
struct FakeShow {
  FakeShow() {
    settings.random_order = false;
    settings.include_folders = "C:\\p\\";
    timers.SetHandlers({[this] { catalogue.OnScanTimer(); }, [this] { show.OnSlideTimer(); },
                        [this](HiddenWindow& window) { watch.Hook(window); },
                        [this](HiddenWindow& window) { watch.Unhook(window); }});
    order.SetCurrentIndex(-1);
  }
  // Lists `count` pictures (Picture(0) on) through a walk of the fake file
  // system; the scan is then done, or the walk stays in the folder after
  // them as if it were a slow share.
  void SetPictures(int count, bool scan_done = true) {
    for (int i = 0; i < count; ++i) fakes.files.Make(Picture(i));
    if (!scan_done) settings.include_folders = "C:\\p\\\r\nC:\\slow\\";
    catalogue.Seed();
    catalogue.BeginWalk();
    if (scan_done) {
      fakes.loop.RunPosted();
      return;
    }
    WalkUntil(count);
    fakes.loop.posted.clear();  // what the slow folder would have handed back
  }
  // Lets the walk's results come back, one posted task at a time, until the
  // list holds `count` pictures.
  void WalkUntil(int count) {
    while (catalogue.PictureCount() < count && !fakes.loop.posted.empty()) {
      std::function<void()> task = std::move(fakes.loop.posted.front());
      fakes.loop.posted.pop_front();
      task();
    }
  }
  // "C:\p\p007.jpg": names that sort in number order.
  static std::string Picture(int i) {
    const std::string n = std::to_string(i);
    return "C:\\p\\p" + std::string(3 - n.size(), '0') + n + ".jpg";
  }

  FakeServices fakes;
  ProgramIdentity identity = RestoreIdentity();
  SaverSettings settings = MakeDefaultSettings();
  GraphicsSession graphics{fakes.graphics, fakes.system};
  ShowTimers timers{fakes.loop, fakes.windows.HiddenWindows()};
  Catalogue catalogue{{fakes.files, fakes.probe, fakes.loop, timers, fakes.walk_queue, kWindowsPaths}, settings};
  PictureOrder order{catalogue, fakes.system, fakes.loop};
  FrameRenderer renderer{graphics, settings, identity};
  PictureSupply supply{{fakes.preparer, fakes.picture_queue, fakes.loop, graphics}};
  SlideShow show{{timers, catalogue, order, renderer, supply}, settings, identity};
  PowerWatch watch{fakes.power, show};
};
