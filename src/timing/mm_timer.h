// The timer resolution the wakes ask for, and the request that Windows 11 keep it for a hidden window.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include "helpers/optional_calls.h"

// The two winmm calls, through the run-time lookup of winmm (SystemDllCalls). Tests put counting stand-ins here;
// the program never changes them.
struct MmTimerApi {
  MMRESULT(WINAPI* BeginPeriod)(UINT);
  MMRESULT(WINAPI* EndPeriod)(UINT);
};
extern MmTimerApi MmTimer;

// Windows 11 stops honouring a raised timer resolution for a process whose windows are all minimised or covered,
// which is just when a user times with the hotkeys; a process may ask to keep it. Where the system lacks
// SetProcessInformation (Windows 7) nothing is asked; Windows 10 refuses the request, which changes nothing.
void KeepTimerResolutionWhereSupported();

// For the tests only: nothing outside this module calls this.
using SetProcessInformationCall = decltype(OptionalCallTable::SetProcessInformation);
// The request with `setInformation` as the system's SetProcessInformation; true when it was taken.
bool KeepTimerResolution(SetProcessInformationCall setInformation);
