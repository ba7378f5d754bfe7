#pragma once
// The composition root: owns every subsystem, wires them together and runs
// the mode the command line asks for. Each subsystem gets only what it uses;
// nothing else holds the program's state.
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "options/options_dialog.h"
#include "platform/show_timers.h"
#include "render/graphics.h"
#include "render/renderer.h"
#include "saver/power_watch.h"
#include "saver/saver_screen.h"
#include "sequence/picture_order.h"
#include "sequence/picture_supply.h"
#include "sequence/slide_show.h"
#include "settings/identity.h"
#include "settings/registry.h"
#include "settings/saver_settings.h"
#include "startup/monitors.h"

class DialogServices;
class EventLoop;
class FileSystem;
class PicturePreparer;
class PictureProbe;
class PowerPort;
class SystemPort;
class WorkQueue;

// What the program runs on: the real platform services (platform_services.h)
// or fakes in tests. Not owned.
struct ProgramServices {
  EventLoop& loop;
  SystemPort& system;
  WindowSystem& windows;
  RegistryStore& registry;
  MonitorList& monitor_list;
  GraphicsLibrary& graphics;
  FileSystem& files;
  PictureProbe& probe;
  PicturePreparer& preparer;
  WorkQueue& walk_queue;     // folder listings and the headers the filters read
  WorkQueue& picture_queue;  // decoding, one picture at a time
  PowerPort& power;
  DialogServices& dialogs;
  PathStyle paths;
  HiddenWindowFactory hidden_windows;
  SaverWindowFactory saver_windows;
  OptionsWindowFactory options_windows;
  std::size_t picture_budget = kPictureMemoryBudget;  // prepared pictures and the decode under way
};

// The message shown for any switch the program does not know.
inline constexpr const char* kRefusalMessage =
    "This is a screen saver! Please run it with appropriate parameter: /C or /S";

class Program {
 public:
  explicit Program(const ProgramServices& services);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Reads the settings and the command line (the arguments only, no program
  // name) and sets up the chosen mode. True when a mode was set up and the
  // event loop must run; false after the refusal message.
  bool Main(const std::string& command_line);
  // Reads the settings and runs as a screen-saver daemon's hack (Linux:
  // XScreenSaver) in the daemon's window: the full show fills the window and
  // keeps its size, and the keys and the mouse stay the daemon's. Ends with
  // code 1 when the window does not exist.
  void MainHack(WindowHandle window);
  // The end a daemon asks of its hack (a signal): the saver's orderly end.
  [[noreturn]] void EndShow();
  // Runs the event loop, and should it ever return (a stray quit message),
  // ends the process with its exit code at once: threads the work queues
  // left behind may still use the services, which must outlive them.
  [[noreturn]] void RunToTheEnd();

  // The parts, for tests that drive a mode from outside.
  const SaverSettings& settings() const { return settings_; }
  Catalogue& catalogue() { return catalogue_; }
  SlideShow& show() { return show_; }
  ShowTimers& timers() { return timers_; }
  OptionsDialog* options() { return options_.get(); }
  const std::vector<std::unique_ptr<SaverScreen>>& saver_screens() const { return saver_screens_; }

 private:
  // The settings, the diagnostic switches and a freshly seeded order.
  void ReadSettings();
  // "/S": one topmost saver window per monitor, cursor hidden, the system
  // told that a screen saver runs, the scan and the show started.
  void RunSaverMode();
  // The screens of a hack's show: its own window, in its monitor's place
  // among the monitors when the window covers one.
  std::vector<PictureBox*> HackScreens(const WindowRect& window, PictureBox& own);
  // "/P <host>": one saver window embedded in the host; ends at once when
  // the host has no parent.
  void RunPreviewMode(WindowHandle host);
  // "/C [<handle>]" or nothing: the options dialog, owned by the handle's
  // parent when there is one.
  void RunOptionsMode(WindowHandle handle);
  // 32 pixels right of and below the owner when the owner lies wholly on a
  // monitor, else centred on monitor 1 (halves rounded to even); left alone
  // without any monitor.
  void PlaceOptionsDialog(WindowHandle owner, OptionsWindow& window);
  SaverScreen& AddSaverScreen();
  // Starts the walk, lets it begin, then starts the show with a first tick.
  void StartScanAndShow();

  ProgramServices services_;
  ProgramIdentity identity_;
  SaverSettings settings_;
  DiagnosticSwitches switches_;
  GraphicsSession graphics_;
  ShowTimers timers_;
  Catalogue catalogue_;
  PictureOrder order_;
  FrameRenderer renderer_;
  PictureSupply supply_;
  SlideShow show_;
  PowerWatch power_watch_;
  std::vector<std::unique_ptr<SaverScreen>> saver_screens_;
  std::unique_ptr<PictureBox> other_hacks_screen_;
  std::unique_ptr<OptionsDialog> options_;
};
