#include "startup/program.h"

#include <cmath>
#include <cstdlib>

#include "options/options_storage.h"
#include "options/preview_show.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "render/canvas.h"
#include "saver/saver_exit.h"
#include "settings/settings_io.h"
#include "startup/command_line.h"

namespace {

// The dialog keeps its distance from the corner of the window that owns it.
constexpr int kOwnerOffset = 32;
// Keeping monitor 1 usable shrinks its window to a fifth.
constexpr int kSkipMonitorDivisor = 5;

// The monitors of a daemon's other hacks, which draw there themselves: the
// show takes their pictures in turn and draws nothing (no canvas, so nothing
// is decoded either).
class OtherHacksScreen final : public PictureBox {
 public:
  std::unique_ptr<Canvas> CreateCanvas() override { return nullptr; }
  void AreaSize(int& width, int& height) override { width = height = 0; }
  void Refresh() override {}
  void Clear() override {}
};

}  // namespace

Program::Program(const ProgramServices& services)
    : services_(services),
      identity_(RestoreIdentity()),
      graphics_(services.graphics, services.system),
      timers_(services.loop, services.hidden_windows),
      catalogue_({services.files, services.probe, services.loop, timers_, services.walk_queue, services.paths},
                 settings_),
      order_(catalogue_, services.system, services.loop),
      renderer_(graphics_, settings_, identity_),
      supply_({services.preparer, services.picture_queue, services.loop, graphics_}, services.picture_budget),
      show_({timers_, catalogue_, order_, renderer_, supply_}, settings_, identity_),
      power_watch_(services.power, show_) {
  timers_.SetHandlers({
      .scan_tick = [this] { catalogue_.OnScanTimer(); },
      .slide_tick = [this] { show_.OnSlideTimer(); },
      .started =
          [this](HiddenWindow& window) {
            window.SetCaption(identity_.short_name);
            power_watch_.Hook(window);
          },
      .stopping = [this](HiddenWindow& window) { power_watch_.Unhook(window); },
  });
}

Program::~Program() = default;

void Program::ReadSettings() {
  const SaverSettings defaults = MakeDefaultSettings();
  settings_ = defaults;
  LoadSettings(services_.registry, identity_.settings_key, defaults, settings_, switches_);
  show_.Flags().status_overlay = switches_.status_overlay;
  order_.Seed();
}

bool Program::Main(const std::string& command_line) {
  ReadSettings();
  const CommandLine command = ParseCommandLine(command_line);
  if (command.mode == "/S") {
    RunSaverMode();
  } else if (command.mode == "/P") {
    RunPreviewMode(command.handle);
  } else if (command.mode == "/C" || command.mode.empty()) {
    RunOptionsMode(command.handle);
  } else {
    services_.system.ShowMessage(kRefusalMessage, identity_.title, MessageBoxStyle::Exclamation);
    return false;
  }
  return true;
}

SaverScreen& Program::AddSaverScreen() {
  saver_screens_.push_back(std::make_unique<SaverScreen>(
      SaverScreen::Services{services_.system, services_.power, timers_, graphics_, show_, services_.saver_windows}));
  SaverScreen& screen = *saver_screens_.back();
  screen.Load();
  return screen;
}

void Program::StartScanAndShow() {
  catalogue_.StartScan();
  services_.loop.ProcessPendingEvents();
  // Input handled during the yield may have ended the show and stopped the timers.
  if (!timers_.IsRunning()) return;
  timers_.SlideTimer().SetEnabled(true);
  show_.OnSlideTimer();
}

void Program::RunSaverMode() {
  order_.SetCurrentIndex(-1);
  std::vector<MonitorRecord> monitors;
  const int count = EnumerateMonitors(services_.monitor_list, monitors);
  // No monitor on the desktop: nothing to show.
  if (count < 1) services_.system.EndProcess(0);
  // A keyboard grab takes the keys from every window on the screen: with
  // monitor 1 kept usable, no saver window grabs.
  const bool grab_keyboard = !switches_.keep_first_monitor;
  if (!switches_.keep_first_monitor) services_.system.ShowCursor(false);
  services_.system.SetScreenSaverRunning(false);
  services_.system.SetScreenSaverRunning(true);

  std::vector<PictureBox*> screens;
  for (int i = 1; i <= count; ++i) {
    SaverScreen& screen = AddSaverScreen();
    const MonitorRecord& m = monitors[i];
    auto width = static_cast<std::int16_t>(m.right - m.left);
    auto height = static_cast<std::int16_t>(m.bottom - m.top);
    if (i == 1 && switches_.keep_first_monitor) {
      width = static_cast<std::int16_t>(width / kSkipMonitorDivisor);
      height = static_cast<std::int16_t>(height / kSkipMonitorDivisor);
    }
    screen.Window().PlaceTopmost(m.left, m.top, width, height, grab_keyboard);
    screens.push_back(&screen.Surface());
  }
  show_.SetScreens(std::move(screens));

  timers_.Start();
  catalogue_.Seed();
  StartScanAndShow();
}

void Program::RunPreviewMode(WindowHandle host) {
  show_.SetSystemPreview(true);
  if (services_.windows.GetParent(host) == 0) services_.system.EndProcess(0);
  timers_.Start();
  catalogue_.Seed();
  catalogue_.StartScan();
  services_.loop.ProcessPendingEvents();

  order_.SetCurrentIndex(-1);
  SaverScreen& screen = AddSaverScreen();
  WindowRect host_rect;
  services_.windows.GetNormalRect(host, &host_rect);
  screen.Window().EmbedInto(host, host_rect, true);
  show_.SetScreens({&screen.Surface()});

  if (!timers_.IsRunning()) return;
  timers_.SlideTimer().SetEnabled(true);
  show_.OnSlideTimer();
}

// Unlike /S: no cursor hidden, no system flag set, no grab; the daemon does
// all of that and owns the input.
void Program::MainHack(WindowHandle window) {
  ReadSettings();
  WindowRect rect;
  if (!services_.windows.GetNormalRect(window, &rect))
    EndHackForWindow(window, "does not exist", {timers_, services_.system, services_.power, graphics_});
  order_.SetCurrentIndex(-1);
  SaverScreen& screen = AddSaverScreen();
  screen.ServeAsHack(window);
  screen.Window().EmbedInto(window, rect, false);
  show_.SetScreens(HackScreens(rect, screen.Surface()));
  timers_.Start();
  catalogue_.Seed();
  StartScanAndShow();
}

void Program::EndShow() { EndSaver({timers_, services_.system, services_.power, graphics_}); }

void Program::RunToTheEnd() {
  services_.system.EndProcess(services_.loop.Run());
  std::abort();  // EndProcess never returns
}

// A daemon runs one hack process per monitor, each in a window over its
// monitor. Each process takes every monitor's turn of a slide as /S does but
// draws only its own monitor's, so in folder order the monitors show what /S
// shows there, never the same picture at once; in random order each follows
// its own sequence. A window that is no monitor (a preview, the root over
// all monitors) shows every picture.
std::vector<PictureBox*> Program::HackScreens(const WindowRect& window, PictureBox& own) {
  std::vector<MonitorRecord> monitors;
  const int count = EnumerateMonitors(services_.monitor_list, monitors);
  for (int i = 1; i <= count; ++i) {
    const MonitorRecord& m = monitors[i];
    if (m.left != window.left || m.top != window.top || m.right != window.right || m.bottom != window.bottom) continue;
    other_hacks_screen_ = std::make_unique<OtherHacksScreen>();
    std::vector<PictureBox*> screens(count, other_hacks_screen_.get());
    screens[i - 1] = &own;
    return screens;
  }
  return {&own};
}

void Program::PlaceOptionsDialog(WindowHandle owner_handle, OptionsWindow& window) {
  std::vector<MonitorRecord> monitors;
  const int count = EnumerateMonitors(services_.monitor_list, monitors);
  WindowRect owner;
  if (!services_.windows.GetNormalRect(owner_handle, &owner)) return;
  for (int i = 1; i <= count; ++i) {
    const MonitorRecord& m = monitors[i];
    if (owner.left >= m.left && owner.right <= m.right && owner.top >= m.top && owner.bottom <= m.bottom) {
      window.MoveTo(owner.left + kOwnerOffset, owner.top + kOwnerOffset);
      return;
    }
  }
  if (count < 1) return;  // no monitor to centre on: the dialog keeps its own place
  const MonitorRecord& m = monitors[1];
  // std::nearbyint rounds halves to even in the default rounding mode.
  const double x = (m.right - m.left) / 2.0 + m.left - window.OuterWidth() / 2.0;
  const double y = (m.bottom - m.top) / 2.0 + m.top - window.OuterHeight() / 2.0;
  window.MoveTo(static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y)));
}

void Program::RunOptionsMode(WindowHandle handle) {
  options_ = std::make_unique<OptionsDialog>(
      OptionsDialog::Services{services_.system, services_.windows, services_.dialogs, services_.paths,
                              services_.options_windows},
      settings_, identity_, CreatePreviewShow(timers_, services_.loop, catalogue_, order_, show_),
      CreateRegistryOptionsStorage(services_.registry, identity_.settings_key));
  show_.SetDialogPreview(options_.get());
  options_->Load();
  // The program's icon is carried by the hidden window.
  timers_.Start();
  const WindowHandle owner = services_.windows.GetParent(handle);
  if (owner != 0) {
    options_->SetOwner(owner);
    options_->Window()->SetOwner(owner);
    PlaceOptionsDialog(owner, *options_->Window());
    services_.windows.EnableWindow(owner, false);
  }
  options_->Show();
}
