// Timer mode: a countdown of the set hours, minutes and seconds, taken off in resolution steps by a periodic
// multimedia timer of its own.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/stopwatch_clock_record.h"

// What the expiring step calls on the timer thread once the countdown has halted, before the main window is sent
// WM_COUNTDOWN_EXPIRED; the program installs the alarm's hand-over here before any timer runs.
extern void (*CountdownExpiryHook)();

// The longest countdown a 32-bit millisecond count holds in whole seconds: 596:31:23. Longer set times (only
// from an edited settings file) are clamped to it, negative ones to zero.
constexpr int32_t MaxCountdownTicks = 2147483000;

// The set time in milliseconds, clamped to 0..MaxCountdownTicks.
int32_t CountdownTicksFor(int32_t hours, int32_t minutes, int32_t seconds);

// The remaining time as one step left it, whatever the countdown does meanwhile; any thread.
ClockTime ReadCountdownRemaining();
// Loads the set time, halts any running countdown and clears TimerStarted. TimerExpired is left to the caller.
void LoadCountdown(HWND window);
// Starts or continues the countdown; returns 0 when it is expired, already running, or no timer was to be had.
int StartCountdown(HWND window);
// The expiring callback: kills the countdown's timer, clears TimerRunning and raises TimerExpired in one step
// under the timer lifecycle lock; the remaining time stays.
void HaltAtExpiry();
// A reset's first step: clears TimerExpired and returns true, or returns false while the countdown runs; both
// flags are read and written under the lock the expiry takes.
bool ClearExpiryUnlessRunning();
// The same from the user-interface thread, returning once no countdown callback is under way.
void StopCountdownTimer();
void CALLBACK CountdownTick(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1, DWORD_PTR reserved2);
