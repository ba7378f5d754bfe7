#pragma once
// Linux monitor-power port over the X DPMS extension. The X calls sit behind
// DpmsDisplay so that tests can stand in for a server that has DPMS (no
// virtual X server has it).
#include <memory>

#include "saver/power.h"

// DPMS power levels (DPMSModeOn .. DPMSModeOff).
enum class DpmsLevel { kOn, kStandby, kSuspend, kOff };

class DpmsDisplay {
 public:
  virtual ~DpmsDisplay() = default;
  // DPMSQueryExtension and DPMSCapable: the server can switch the monitors.
  virtual bool Available() = 0;
  // DPMSInfo: the current level and whether DPMS is enabled; false when it
  // cannot be read.
  virtual bool Query(DpmsLevel* level, bool* enabled) = 0;
  // DPMSEnable and DPMSDisable.
  virtual void Enable() = 0;
  virtual void Disable() = 0;
  // DPMSForceLevel(DPMSModeOff).
  virtual void ForceOff() = 0;
  // XQueryKeymap: some key is held down.
  virtual bool AnyKeyDown() = 0;
};

// The DPMS of GDK's default display; reports nothing available when that is
// not an X display or the server lacks the extension.
std::unique_ptr<DpmsDisplay> CreateXDpmsDisplay();

// The power port over a DPMS display: the level is read every poll_ms while
// someone watches, and each change is reported as a Windows power level.
std::unique_ptr<PowerPort> CreateDpmsPower(std::unique_ptr<DpmsDisplay> display, unsigned poll_ms);

// A DPMS level as the power level of a Windows monitor-power command.
int MonitorPowerOf(DpmsLevel level);
