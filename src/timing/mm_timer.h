// The multimedia timer calls: the pop-up menu's periodic refresh, and the timer resolution the wakes ask for.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <cstdint>
#include "helpers/shared_value.h"

// The four winmm calls. Tests put counting or failing stand-ins here; the program never changes them.
struct MmTimerApi {
  MMRESULT(WINAPI* BeginPeriod)(UINT);
  MMRESULT(WINAPI* EndPeriod)(UINT);
  MMRESULT(WINAPI* SetEvent)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
  MMRESULT(WINAPI* KillEvent)(UINT);
};
extern MmTimerApi MmTimer;

// Creates a periodic timer. Returns its id, or 0 when the system refused one.
UINT CreatePeriodicTimer(UINT periodMs, LPTIMECALLBACK callback, DWORD_PTR user);

// Windows 11 stops honouring a raised timer resolution for a process whose windows are all minimised or covered,
// which is just when a user times with the hotkeys; a process may ask to keep it. The request goes through
// SetProcessInformation, looked up at run time: the program starts on Windows 7, which lacks it. Windows 10
// refuses it: the process goes on as before.
void KeepTimerResolutionWhereSupported();

// A handshake between a periodic callback and the thread that stops it, since a callback may still arrive after
// timeKillEvent has returned. The callback marks itself busy and then checks its run flag; the stopper clears
// the run flag, kills the timer and waits for the busy mark to clear (both sides sequentially consistent). Either
// the callback sees the stop and does nothing, or the stopper sees the callback and waits for it.
bool BeginCallback(std::atomic<int32_t>& busy, const Shared<int32_t>& running);
void EndCallback(std::atomic<int32_t>& busy);
// The stop from the user-interface thread: while it waits it takes the messages the callback may be sending to
// this thread.
void StopTimerAndDrain(Shared<int32_t>& running, Shared<UINT>& id, const std::atomic<int32_t>& busy);

// For the tests only: nothing outside this module calls these.
// The request with `setInformation` as the system's SetProcessInformation; true when it was taken.
using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
bool KeepTimerResolution(SetProcessInformationCall setInformation);
