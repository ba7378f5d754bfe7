#pragma once
// The program's shared state: one object created by the entry point, zeroed,
// and handed by reference to every component. Nothing else carries state
// between the windows, the timers and the modules.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/ports.h"
#include "platform/window_system.h"
#include "sequence/runtime_random.h"
#include "settings/saver_settings.h"

class EngineForm;
class OptionsDialog;
class SaverForm;
class PrngVex;

struct ProgramState {
  ProgramState();
  ~ProgramState();
  ProgramState(const ProgramState&) = delete;
  ProgramState& operator=(const ProgramState&) = delete;

  // Platform services (real ones in the program, fakes in tests).
  Ports ports;

  // Windows and objects.
  std::unique_ptr<EngineForm> T;     // engine form: scan and slide timers; created on first use
  std::unique_ptr<OptionsDialog> C;  // options dialog; created on first use
  std::vector<std::unique_ptr<SaverForm>> SaverWindows;  // indexes 1..MonitorCount (0 unused)
  std::int16_t MonitorCount = 0;     // 0 while the options dialog's preview is the target
  std::unique_ptr<PrngVex> SharedPrng;
  std::uint32_t GdiplusToken = 0;    // 0 = graphics library not started
  WindowHandle PreviewHost = 0;      // the /P host window; 0 in every other mode
  WindowHandle OptionsOwner = 0;     // disabled while the options dialog is up
  std::uintptr_t PreviousWindowProc = 0;  // engine window procedure replaced by the power hook

  // Settings.
  SaverSettings CurrentSettings;
  SaverSettings DefaultSettings;
  bool DebugMode = false;         // draw the status overlay
  bool DebugSkipMonitor = false;  // keep monitor 1 usable (small window, cursor shown)

  // Catalogue.
  std::vector<std::string> PictureList;  // 0..PictureCount-1 valid
  std::int32_t PictureCount = 0;
  std::vector<std::string> FolderQueue;  // 0..FolderCount-1 valid, each ending in a backslash
  std::int32_t FolderCount = 0;
  std::vector<std::string> ExcludeList;
  bool ScanDone = false;
  bool StopScan = false;
  std::int32_t CurrentIndex = 0;  // picture drawn last; -1 = none yet
  // Walk guards, reset by each catalogue start: the run number tells a walk
  // interrupted at a yield that a newer start replaced it; the two sets keep
  // links to ancestor folders from making the walk endless.
  std::uint32_t ScanRun = 0;
  std::unordered_set<std::string> QueuedFolders;   // folder paths queued in this run
  std::unordered_set<std::string> ScannedFolders;  // identities of folders listed in this run

  // Saver.
  bool Sleeping = false;         // monitors powered off, no input since
  bool CommandKeyArmed = false;  // the overlay key sequence's first key came last

  // The runtime's own uniform generator (independent of SharedPrng).
  RuntimeRandom BuiltinRandom;

  // Identity texts, restored at start-up.
  std::string ShortName;
  std::string CreditName;
  std::string ProgramFullName;
  std::string ProgramTitle;
  std::string AboutLinkTarget;
  std::string SettingsKeyPath;
};

// Booleans stored as 16-bit values: true is -1.
constexpr std::int16_t ToStoredBool(bool value) { return value ? -1 : 0; }
