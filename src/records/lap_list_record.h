// The recorded laps: up to 1000 texts of lap time and total time, in the order taken.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int32_t MaxLaps = 1000;
constexpr int LapRecordSize = 128;

// One lap: lap text, a comma and total text, zero-terminated, at most 127 characters.
struct LapRecord {
  char Text[LapRecordSize];
};

struct LapListRecord {
  int32_t Count;
  LapRecord Records[MaxLaps];
  int32_t Unsaved;
  HWND LapHistoryWindow;
};

extern LapListRecord LapList;
