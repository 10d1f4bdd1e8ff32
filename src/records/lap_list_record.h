// The recorded laps: up to 1000 texts of lap time and total time, in the order taken.
#pragma once
#include <windows.h>
#include <cstdint>
#include "helpers/shared_value.h"

constexpr int32_t MaxLaps = 1000;
constexpr int LapRecordSize = 128;

// One lap: lap text, a comma and total text, zero-terminated, at most 127 characters.
struct LapRecord {
  char Text[LapRecordSize];
};

struct LapListRecord {
  // Raised (with release order) only after the record it counts is complete, so a reader that loads it sees
  // whole records below it.
  Shared<int32_t> Count;
  LapRecord Records[MaxLaps];
  Shared<int32_t> Unsaved;
  Shared<HWND> LapHistoryWindow;
};

extern LapListRecord LapList;
