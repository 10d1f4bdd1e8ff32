// The timer resolution calls.
#include "timing/mm_timer.h"

namespace {

// The system's calls, winmm's looked up at the first request; without winmm no resolution is raised.
MMRESULT WINAPI SystemBeginPeriod(UINT period) {
  const auto call = SystemDllCalls().timeBeginPeriod;
  return call ? call(period) : TIMERR_NOCANDO;
}
MMRESULT WINAPI SystemEndPeriod(UINT period) {
  const auto call = SystemDllCalls().timeEndPeriod;
  return call ? call(period) : TIMERR_NOCANDO;
}

}  // namespace

MmTimerApi MmTimer = {SystemBeginPeriod, SystemEndPeriod};

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
