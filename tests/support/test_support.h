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

// Zeroes the engine, the lap list and the alarm state, restores the real timer calls, applies the default
// resolutions and points MainWindow at the stand-in.
void ResetEngineState();

// Counts stopwatch ticks on this thread, as the running timer's callback would (it counts only while the
// stopwatch runs, so each tick first marks it running; a tick that stops the stopwatch clears the mark).
void TickByHand(int count = 1);

// Pumps messages until the condition holds or the timeout passes; returns the condition's last value.
// The default bound is generous: on a busy machine a Wine process can stall for seconds, and a wait that ends
// early fails a test that would have passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

// Runs `action` on this thread while a watcher answers the first message box of this process with `button`
// (0: its first button), and returns the box's caption and text (both empty when no box appeared). The watcher
// looks for the whole action and at least `timeoutMs` from its start.
MessageBoxText AnswerMessageBoxDuring(const std::function<void()>& action, int button = 0, DWORD timeoutMs = 5000);

// Values that the timer thread may add while the test thread reads them: read as a copy taken under a lock.
class CallList {
 public:
  void push_back(UINT value);
  std::vector<UINT> operator()() const;
 private:
  std::vector<UINT> values_;
};
// Multimedia timer calls as the engine made them; the real calls still happen unless creation is made to fail.
struct TimerCallLog {
  CallList BeginPeriods;  // period of each timeBeginPeriod
  CallList EndPeriods;
  CallList Periods;       // delay of each timeSetEvent
  CallList Created;       // ids returned
  CallList Killed;
  bool FailCreation = false;
};
TimerCallLog& InstallTimerCallLog();

// A fresh empty folder under the temporary directory, removed with its files when the test ends.
std::string ScratchFolder();

}  // namespace test
