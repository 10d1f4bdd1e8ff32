// Laps leaving the program: the numbered lap file chosen in a Save As dialog, the question asked before unsaved
// laps are discarded, and the current lap time copied to the clipboard.
#include "laps/lap_export.h"
#include <commdlg.h>
#include <cstdio>
#include <cstring>
#include "display/time_text.h"
#include "helpers/file_paths.h"
#include "helpers/window_helpers.h"
#include "laps/lap_journal.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/stopwatch_clock_record.h"

namespace {

// Clipboard failures are shown without a caption of their own.
int ClipboardFailure(HWND owner, const char* message) {
  MessageBoxA(owner, message, nullptr, MB_OK);
  return 0;
}

}  // namespace

int MakeDefaultLapFileNameIn(const char* folder, char* path) {
  path[0] = '\0';
  for (int number = 0; number <= 9999; ++number) {
    char candidate[MAX_PATH + 32];
    const int length = snprintf(candidate, sizeof candidate, "%sLapTimeList%04d.txt", folder, number);
    if (length < 0 || length >= MAX_PATH) return 0;
    if (!FileExists(candidate)) {
      memcpy(path, candidate, static_cast<size_t>(length) + 1);
      return 1;
    }
  }
  return 0;
}

int MakeDefaultLapFileName(char* path) {
  path[0] = '\0';
  char folder[MAX_PATH];
  if (!GetExecutableFolder(folder)) return 0;
  return MakeDefaultLapFileNameIn(folder, path);
}

int ChooseLapFile(HWND owner, char* path) {
  char proposal[MAX_PATH];
  char folder[MAX_PATH] = "";
  char name[MAX_PATH] = "";
  if (MakeDefaultLapFileName(proposal)) {
    const size_t folderLength = SplitPath(proposal).FolderLength;
    lstrcpynA(name, proposal + folderLength, MAX_PATH);
    lstrcpynA(folder, proposal, static_cast<int>(folderLength) + 1);
  }
  char fileTitle[256] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "Text Files(*.txt)\0*.txt\0";
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFileTitle = fileTitle;
  dialog.nMaxFileTitle = sizeof fileTitle;
  dialog.lpstrInitialDir = folder[0] ? folder : nullptr;
  dialog.lpstrTitle = "名前を付けて保存";
  dialog.Flags = OFN_OVERWRITEPROMPT;
  dialog.lpstrDefExt = "txt";
  if (GetSaveFileNameA(&dialog) == 1) {
    lstrcpynA(path, name, MAX_PATH);
    return 1;
  }
  path[0] = '\0';
  return 0;
}

bool WriteAll(HANDLE file, const char* text, DWORD length) {
  DWORD written = 0;
  return WriteFile(file, text, length, &written, nullptr) && written == length;
}

bool WriteLapLine(HANDLE file, int32_t number, const char* text) {
  char line[LapRecordSize + 16];
  const int length = snprintf(line, sizeof line, "%04d,%s\r\n", static_cast<int>(number), text);
  return length > 0 && length < static_cast<int>(sizeof line) && WriteAll(file, line, static_cast<DWORD>(length));
}

int WriteLapFile(HWND owner, const char* path) { return WriteLapRecords(owner, path, LapList.Records, LapList.Count); }

int WriteLapRecords(HWND owner, const char* path, const LapRecord* records, int32_t count) {
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    MessageBoxA(owner, "ファイルを作成できません。", AppCaption, MB_OK);
    return 0;
  }
  bool written = true;
  for (int32_t i = 0; written && i < count; ++i) {
    if (records[i].Text[0]) written = WriteLapLine(file, i + 1, records[i].Text);
  }
  written = CloseHandle(file) && written;
  if (!written) {
    // A short file must not pass for saved laps: the user is told and the laps stay unsaved.
    MessageBoxA(owner, "ファイルに書き込めません。", AppCaption, MB_OK);
    return 0;
  }
  return 1;
}

int SaveLapsToFile(HWND owner) {
  char path[MAX_PATH];
  if (ChooseLapFile(owner, path) != 1) return 0;
  return WriteLapFile(owner, path);
}

SaveAnswer AskSaveLaps(HWND owner) {
  if (LapList.Count == 0) return SaveAnswer::Declined;
  if (MessageBoxA(owner, "ラップタイムを保存しますか？", AppCaption, MB_YESNO) != IDYES) return SaveAnswer::Declined;
  if (SaveLapsToFile(owner) != 1) return SaveAnswer::NotSaved;
  LapList.Unsaved = 0;
  MarkLapJournalSaved();
  return SaveAnswer::Saved;
}

SaveAnswer AskSaveLapsWithFinalLap(HWND owner) {
  StopwatchClock.LapRequest = 0;
  if (LapList.Count < MaxLaps) RecordLap();
  return AskSaveLaps(owner);
}

bool AskSaveLapsBeforeReset(HWND owner) {
  const LapCounters before = ReadLapCounters();
  const int32_t count = LapList.Count;
  if (AskSaveLapsWithFinalLap(owner) != SaveAnswer::NotSaved) return true;
  if (LapList.Count > count) TakeBackLap(before);
  return false;
}

void SaveLapsCommand(HWND window) {
  // The provisional line is written on this thread: only while the tick, which writes laps too, is stopped.
  if (StopwatchClock.StopwatchRunning) return;
  const bool provisional = LapList.Count < MaxLaps;
  if (provisional) RecordProvisionalLap();
  const int saved = SaveLapsToFile(window);
  if (provisional) DropLastLap();
  RequestRepaint(window);
  if (saved == 1) {
    LapList.Unsaved = 0;
    MarkLapJournalSaved();  // the list no longer holds the provisional line: every lap in it is saved
  }
}

int CopyResultToClipboard(HWND owner) {
  if (!OpenClipboard(owner)) return ClipboardFailure(owner, "クリップボードをオープンできません。");
  char text[32];
  FormatCurrentLapText(text, sizeof text);
  const size_t size = strlen(text) + 1;
  // The clipboard takes movable memory.
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  char* const target = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!target) {
    if (block) GlobalFree(block);
    CloseClipboard();
    return ClipboardFailure(owner, "クリップボード用のメモリを確保できません。");
  }
  memcpy(target, text, size);
  GlobalUnlock(block);
  if (!EmptyClipboard()) {
    GlobalFree(block);
    CloseClipboard();
    return ClipboardFailure(owner, "クリップボードを空にできません。");
  }
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);  // not handed over: still ours
    CloseClipboard();
    return ClipboardFailure(owner, "クリップボードにデータをセットできません。");
  }
  CloseClipboard();
  return 1;
}
