// Periodic multimedia timers, each one inside its own timeBeginPeriod(1)/timeEndPeriod(1) pair.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include "timing/shared_value.h"

// The four winmm calls. Tests put counting or failing stand-ins here; the program never changes them.
struct MmTimerApi {
  MMRESULT(WINAPI* BeginPeriod)(UINT);
  MMRESULT(WINAPI* EndPeriod)(UINT);
  MMRESULT(WINAPI* SetEvent)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
  MMRESULT(WINAPI* KillEvent)(UINT);
};
extern MmTimerApi MmTimer;

// Raises the timer resolution to 1 ms and creates a periodic timer. Returns its id, or 0 when the system refused
// one; the resolution is then lowered again, so begin and end stay paired.
UINT CreatePeriodicTimer(UINT periodMs, LPTIMECALLBACK callback, DWORD_PTR user);
// Kills the timer whose id is stored in `id` (if any), lowers the resolution and stores 0. The id is taken by an
// atomic exchange, so a kill from the timer's own callback and one from the user-interface thread never both act.
void KillPeriodicTimer(Shared<UINT>& id);

// Creating a timer and publishing its id and run flag happen under this lock; a callback that stops its own
// timer takes it too, so it never misses an id that its creator has not stored yet.
void LockTimerLifecycle();
void UnlockTimerLifecycle();

// Tells the user that a measurement could not start because no multimedia timer was to be had.
void ShowTimerStartFailure(HWND owner);
