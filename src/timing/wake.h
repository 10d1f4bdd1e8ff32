// What wakes the program while a measurement runs: one window timer on the main window, armed for the earliest
// moment either measurement has something to show or to do. Time itself comes from the performance counter, so a
// wake that comes late, early, twice or not at all changes no measured time, only when it is shown.
#pragma once
#include <windows.h>
#include <cstdint>

// Brings both measurements up to the counter's present (laps, limits, the countdown's steps and end), asks for a
// frame when the picture on screen changed, and arms the next wake. Called at every wake and after every change
// that may want an earlier one (a Start, a lap request, the window shown again, the mode switched).
void ServiceMeasurements();

// What shows the running time in the minimised window's caption, installed by the program at start-up; called
// after every service with whether the caption shows the time now (else it is the program's name).
extern void (*CaptionTimeHook)(bool shown);

// For the tests only: nothing outside this module calls these.
// The counter value the next wake is armed for; NoWake when none is.
int64_t ArmedWake();
// The wake timer's delay from `now` to `due` in whole milliseconds, rounded up so that a wake never comes before
// what it is for, within the window timer's bounds.
UINT DelayMillis(int64_t now, int64_t due);
