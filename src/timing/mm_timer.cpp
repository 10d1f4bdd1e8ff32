// The timer resolution calls.
#include "timing/mm_timer.h"

MmTimerApi MmTimer = {timeBeginPeriod, timeEndPeriod};

bool KeepTimerResolution(SetProcessInformationCall setInformation) {
  if (!setInformation) return false;
  // The control mask names the throttling decided here; a state mask without it means "never throttle".
  PROCESS_POWER_THROTTLING_STATE state = {};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
  state.StateMask = 0;
  return setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state) != FALSE;
}

void KeepTimerResolutionWhereSupported() { KeepTimerResolution(OptionalCalls().SetProcessInformation); }
