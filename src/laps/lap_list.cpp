// The recorded laps, written on the user-interface thread: by the stopwatch at a lap's boundary, or by a reset or
// a close once the stopwatch is stopped.
#include "laps/lap_list.h"
#include <cstdio>
#include "display/time_text.h"
#include "laps/lap_journal.h"
#include "records/window_messages.h"
#include "resources/resource.h"
#include "timing/stopwatch_clock.h"

namespace {

// Writes the current lap into the next free slot and counts it; false when the list is full.
bool AppendCurrentLap() {
  const int32_t count = LapList.Count;
  if (count < 0 || count >= MaxLaps) return false;
  char lap[64] = "";
  char total[64] = "";
  FormatCurrentLapText(lap, sizeof lap);
  FormatCurrentTotalText(total, sizeof total);
  snprintf(LapList.Records[count].Text, LapRecordSize, "%s,%s", lap, total);
  LapList.Count = count + 1;
  return true;
}

void ShowInHistoryWindow() {
  if (LapList.LapHistoryWindow) AppendLapLine();
}

}  // namespace

void RecordLap() {
  if (!AppendCurrentLap()) return;
  ZeroLapCounters();
  ShowInHistoryWindow();
  LapList.Unsaved = 1;
  JournalRecordedLaps();
}

void RecordProvisionalLap() {
  if (AppendCurrentLap()) ShowInHistoryWindow();
}

void DropLastLap() {
  const int32_t count = LapList.Count - 1;
  if (count < 0) return;
  LapList.Count = count;
  LapList.Records[count].Text[0] = '\0';
  const HWND history = LapList.LapHistoryWindow;
  if (history && IsWindow(history)) SendDlgItemMessageW(history, IDC_LAP_HISTORY_LIST, LB_DELETESTRING, 0, 0);
}

void TakeBackLap(const LapCounters& before) {
  DropLastLap();
  PutBackLapCounters(before);
  RewriteLapJournal();
}

void ClearLaps() {
  LapList.Count = 0;
  for (LapRecord& record : LapList.Records) record.Text[0] = '\0';
  const HWND history = LapList.LapHistoryWindow;
  if (!history || !IsWindow(history)) return;
  const HWND list = GetDlgItem(history, IDC_LAP_HISTORY_LIST);
  for (LRESULT line = SendMessageW(list, LB_GETCOUNT, 0, 0) - 1; line >= 0; --line) {
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
  }
}

void AppendLapLine() {
  // The window lists what it lacks.
  const HWND history = LapList.LapHistoryWindow;
  if (history) SendMessageW(history, WM_SHOW_NEW_LAPS, 0, 0);
}
