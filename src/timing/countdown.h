// Timer mode: a countdown of the set hours, minutes and seconds, taken off in resolution steps of time read from
// the performance counter. Everything here runs on the user-interface thread; `now` is always a counter value.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/stopwatch_clock_record.h"

// What the countdown calls at its expiry, the step that reaches zero (where it halts, or counts on in overtime),
// before the main window is sent WM_COUNTDOWN_EXPIRED; the program installs the alarm's hand-over here at start-up.
extern void (*CountdownExpiryHook)();

// The longest countdown a 32-bit millisecond count holds in whole seconds: 596:31:23. Longer set times (only
// from an edited settings file) are clamped to it, negative ones to zero.
constexpr int32_t MaxCountdownTicks = 2147483000;
// How far past zero a countdown in overtime counts before it halts: 99:59:59.
constexpr int32_t MaxOvertimeTicks = 359999000;

ClockTime ReadCountdownRemaining();
// Loads the set time, halts any running countdown and clears TimerStarted. TimerExpired is left to the caller.
void LoadCountdown(HWND window);
// Starts or continues the countdown, or after the expiry its overtime while TimerOvertime is 1 and the overtime
// is short of its limit; returns 0 when it is already running or cannot go on.
int StartCountdownRun(int64_t now);
// Takes the steps reached by `now`, then halts; the next Start's first step comes a whole step after it.
void StopCountdownRun(int64_t now);
// Takes every step reached by `now`; at zero raises TimerExpired and hands the alarm over, and halts unless
// TimerOvertime is 1, when it counts on below zero (negative TimerRemaining) up to MaxOvertimeTicks. True when
// the remaining time changed or it expired.
bool AdvanceCountdown(int64_t now);
// The counter values of the running countdown's end, and of its next step after `now`.
int64_t CountdownEnd();
int64_t NextCountdownStep(int64_t now);
// The counter value of the first step after `now` that shows another whole second, while it runs.
int64_t NextCountdownSecond(int64_t now);
// A countdown kept from an earlier run shows `remaining` (negative past zero); the rest of its state is its caller's.
void PutBackCountdown(int32_t remaining);
// A reset's first step: clears TimerExpired and returns true, or returns false while the countdown runs.
bool ClearExpiryUnlessRunning();

// For the tests only: nothing outside this module calls these.
// The set time in milliseconds, clamped to 0..MaxCountdownTicks.
int32_t CountdownTicksFor(int32_t hours, int32_t minutes, int32_t seconds);
