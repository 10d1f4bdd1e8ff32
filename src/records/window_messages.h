// The program's own window messages, numbered in one place so that no two share a number.
#pragma once
#include <windows.h>

// The private lap request: wParam and lParam 0; takes a lap while the stopwatch runs.
constexpr UINT WM_LAP_REQUEST = WM_APP;

// Asks the open history window to list the laps it does not show yet; sent by AppendLapLine.
constexpr UINT WM_SHOW_NEW_LAPS = WM_APP + 1;

// Answers how many pictures the window has shown since it was created; benchmarks read it from outside.
constexpr UINT WM_GET_PAINT_COUNT = WM_APP + 2;

// The paced repaint: the main window is posted WM_SHOW_FRAME (once until it takes it) and draws the frame at once,
// or at the priority of a paint when input waits; only what changed is copied to the screen.
constexpr UINT WM_SHOW_FRAME = WM_APP + 3;

// Posted once, by StartLapJournal at start-up with wParam 0: offers what earlier runs left unsaved, then brings the
// lap journal up to the lap count in wParam.
constexpr UINT WM_LAP_JOURNAL = WM_APP + 4;

// Sent to the main window at every expiry, after the alarm (if any) has been started; wParam and lParam 0.
constexpr UINT WM_COUNTDOWN_EXPIRED = WM_APP + 5;

// Posted once per run when the lap journal could not be written, so that the box saying it comes up outside the
// lap that found it; wParam and lParam 0.
constexpr UINT WM_LAP_JOURNAL_FAILED = WM_APP + 6;

// The main window's timers, each with a timer procedure of its own.
constexpr UINT_PTR WakeTimerId = 0x7A1;               // the measurements' next wake
constexpr UINT_PTR LapJournalFlushTimerId = 0x4C4A;  // the journal's wait for the disk, at most once a second
constexpr UINT_PTR MenuRefreshTimerId = 0x4D52;      // the open pop-up menu's item states, every 100 ms
