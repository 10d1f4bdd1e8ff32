// Shared helpers of the unit tests: a stand-in main window, a clean engine state, waits that pump messages,
// message boxes answered from a watcher thread, counting multimedia timer calls, and scratch folders.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "support/files.h"
#include "support/process_windows.h"

namespace test {

// A real, shown, off-screen window standing in for the main window: Windows keeps an update region only for
// visible windows, so repaint requests can be observed. It records the WM_COMMAND identifiers it receives.
HWND StandInMainWindow();
std::vector<int> ReceivedCommands();
void ForgetReceivedCommands();
// True when a repaint or a paced frame is pending; clears both.
bool TakeRepaintRequest(HWND window);

// The pixels of a device context from its top left corner, row by row; a window's DC gives what the screen shows.
std::vector<COLORREF> PixelsOf(HDC dc, int width, int height);

// Creates the real main window in this process from a settings file holding `ini` (written to a scratch folder,
// IniPath pointing at it), off-screen so that it never covers the windows of tests that read the screen.
// Returns null when it could not be created.
HWND OpenRealMainWindow(const std::string& ini = "");

// Makes the engine's records fresh (the timing record, the lap list, the alarm's and frame pacing's), restores the
// real counter and timer calls, applies the default resolutions and points MainWindow at the stand-in. The
// settings are left as they are: EngineTest keeps and puts back the whole record.
void ResetEngineState();

// The performance counter as the in-process tests drive it: it stands still until a test moves it, at
// `frequency` counts a second (10 MHz, as Windows 10 and 11 report, by default). ResetEngineState puts the real
// counter back.
void HoldClock(int64_t frequency = 10000000);
// Moves the held counter on by exactly `millis` milliseconds (with the default frequency, any fraction of one).
void MoveClock(double millis);
// The held counter's time in milliseconds since it was installed.
double ClockMillis();
// The held clock's time at which the program's next wake is armed; infinity when none is.
double ArmedWakeMillis();
// Moves the held counter to `millis` after its installation (never back).
void MoveClockTo(double millis);

// How a system's timer keeps a wake the program asked for: Windows 11 gives a minimised or covered window only
// its default resolution, wakes then come on a 15.6 ms grid, and whether the periods missed meanwhile are fired
// back to back is not documented; a busy machine may also stall a wake for seconds.
struct TimerBehaviour {
  const char* Name;
  double GridMillis;  // a wake comes at the first multiple of this at or after its time; 0: at its time
  int Callbacks;      // callbacks at each wake: more than 1 when missed periods are fired back to back
  double StallFrom;   // no wake comes from here...
  double StallTo;     // ...until here, in milliseconds of the held clock
};
extern const TimerBehaviour TimerBehaviours[4];
// When a wake asked for at `millis` comes under `behaviour`.
double DeliveredAt(const TimerBehaviour& behaviour, double millis);
// A user's action at a moment of the held clock.
struct TimedAction {
  double AtMillis;
  std::function<void()> Do;
};
// Plays the actions in order on the held clock, with every wake the program arms delivered as `behaviour`
// delivers it, until the last action and no wake is due before `endMillis`.
void PlayWithWakes(const TimerBehaviour& behaviour, const std::vector<TimedAction>& actions, double endMillis);

// Runs the stopwatch for `millis` more milliseconds of the held clock, then wakes the program once, as its timer
// would; the clock is held first if it is not, and a stopwatch that is not running is started.
void RunStopwatchFor(double millis);

// Pumps messages until the condition holds or the timeout passes; returns the condition's last value.
// The default bound is generous: on a busy machine a Wine process can stall for seconds, and a wait that ends
// early fails a test that would have passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

// Runs `action` on this thread while a watcher answers the first message box of this process with `button`
// (0: its first button), and returns the box's caption and text (both empty when no box appeared). The watcher
// looks for the whole action and at least `timeoutMs` from its start; boxes that come after the first while the
// action runs are answered too, their texts kept in `later` when it is given.
MessageBoxText AnswerMessageBoxDuring(const std::function<void()>& action, int button = 0, DWORD timeoutMs = 5000,
                                      std::vector<MessageBoxText>* later = nullptr);

// The timer resolution calls as the program made them; the real calls still happen.
struct TimerCallLog {
  std::vector<UINT> BeginPeriods;  // period of each timeBeginPeriod
  std::vector<UINT> EndPeriods;
};
TimerCallLog& InstallTimerCallLog();

// A fresh empty folder under the temporary directory, removed with its files when the test ends.
std::string ScratchFolder();

}  // namespace test
