// Periodic multimedia timers, each one inside its own timeBeginPeriod(1)/timeEndPeriod(1) pair.
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

// Raises the timer resolution to 1 ms and creates a periodic timer. Returns its id, or 0 when the system refused
// one; the resolution is then lowered again, so begin and end stay paired.
UINT CreatePeriodicTimer(UINT periodMs, LPTIMECALLBACK callback, DWORD_PTR user);
// Kills the timer whose id is stored in `id` (if any), lowers the resolution and stores 0. The id is taken by an
// atomic exchange, so a kill from the timer's own callback and one from the user-interface thread never both act.
void KillPeriodicTimer(Shared<UINT>& id);

// Windows 11 stops honouring a raised timer resolution for a process whose windows are all minimised or covered,
// which is just when a user times with the hotkeys; a process may ask to keep it. `setInformation` is the system's
// SetProcessInformation; true when the request was taken. Windows 10 refuses it and older systems lack the
// function: the process goes on as before.
using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
bool KeepTimerResolution(SetProcessInformationCall setInformation);
// The same with SetProcessInformation looked up at run time: the program starts on Windows 7, which lacks it.
void KeepTimerResolutionWhereSupported();

// Creating a timer and publishing its id and run flag happen under this lock, held for the holder's scope; a
// callback that stops its own timer takes it too, so it never misses an id that its creator has not stored yet.
class TimerLifecycleLock {
 public:
  TimerLifecycleLock();
  ~TimerLifecycleLock();
  TimerLifecycleLock(const TimerLifecycleLock&) = delete;
  TimerLifecycleLock& operator=(const TimerLifecycleLock&) = delete;
};

// The shared flags of a measurement's timer: its callback counts only while Running is set; Started stays set
// from the first successful start until a reset.
struct TimerFlags {
  Shared<int32_t>& Running;
  Shared<UINT>& Id;
  Shared<int32_t>& Started;
};

enum class TimerStart { Started, Refused, NoTimer };
// Under the lifecycle lock: `ready` may refuse the start (false) or prepare for it; then Running is raised before
// the first callback can come, the timer created and its id and Started published. When the system has no timer
// to give, Running is cleared again.
TimerStart StartMeasurementTimer(const TimerFlags& timer, UINT periodMs, LPTIMECALLBACK callback, DWORD_PTR user,
                                 bool (*ready)());
// From the timer's own callback: clears Running and kills the timer under the lifecycle lock, then runs `alsoHalted`
// (if any) before the lock is released. It never waits, since the callback to wait for is the caller.
void StopOwnTimer(const TimerFlags& timer, void (*alsoHalted)() = nullptr);

// A handshake between a periodic callback and the thread that stops it, since a callback may still arrive after
// timeKillEvent has returned. The callback marks itself busy and then checks its run flag; the stopper clears
// the run flag, kills the timer and waits for the busy mark to clear (both sides sequentially consistent). Either
// the callback sees the stop and does nothing, or the stopper sees the callback and waits for it.
bool BeginCallback(std::atomic<int32_t>& busy, const Shared<int32_t>& running);
void EndCallback(std::atomic<int32_t>& busy);
// The stop from the user-interface thread: while it waits it takes the messages the callback may be sending to
// this thread.
void StopTimerAndDrain(Shared<int32_t>& running, Shared<UINT>& id, const std::atomic<int32_t>& busy);

// Tells the user that a measurement could not start because no multimedia timer was to be had.
void ShowTimerStartFailure(HWND owner);
