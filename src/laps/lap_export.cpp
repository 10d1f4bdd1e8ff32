// Laps leaving the program: the numbered lap file chosen in a Save As dialog, the questions asked before unsaved
// laps are discarded, and the current lap time copied to the clipboard.
#include "laps/lap_export.h"
#include <string>
#include <commdlg.h>
#include <cstdio>
#include <cstring>
#include "display/time_text.h"
#include "helpers/file_paths.h"
#include "helpers/message_box.h"
#include "helpers/window_helpers.h"
#include "laps/lap_file.h"
#include "laps/lap_journal.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "timing/stopwatch_clock.h"

namespace {

// Clipboard failures are shown without a caption of their own.
int ClipboardFailure(HWND owner, const wchar_t* message) {
  ShowMessageBox(owner, message, MB_OK, nullptr);
  return 0;
}

// The clipboard, open for the life of this object.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// A copy of some bytes in movable memory, which the clipboard takes; freed when the scope ends unless the
// clipboard took it.
class ClipboardBlock {
 public:
  ClipboardBlock(const void* bytes, size_t size) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size)) {
    void* const target = block_ ? GlobalLock(block_) : nullptr;
    if (!target) {
      Free();
      return;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block_);
  }
  ~ClipboardBlock() { Free(); }
  ClipboardBlock(const ClipboardBlock&) = delete;
  ClipboardBlock& operator=(const ClipboardBlock&) = delete;
  bool IsFilled() const { return block_ != nullptr; }
  // Puts the block on the open clipboard in `format`; once taken, it is the clipboard's.
  bool HandOver(UINT format) {
    if (!SetClipboardData(format, block_)) return false;
    block_ = nullptr;
    return true;
  }

 private:
  void Free() {
    if (block_) GlobalFree(block_);
    block_ = nullptr;
  }
  HGLOBAL block_;
};

// Puts `text` on the clipboard in place of what it held; null when it did, otherwise what failed.
const wchar_t* PutTextOnClipboard(HWND owner, const char* text) {
  const OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return L"クリップボードをオープンできません。";
  ClipboardBlock block(text, strlen(text) + 1);
  if (!block.IsFilled()) return L"クリップボード用のメモリを確保できません。";
  if (!EmptyClipboard()) return L"クリップボードを空にできません。";
  if (!block.HandOver(CF_TEXT)) return L"クリップボードにデータをセットできません。";
  return nullptr;
}

std::wstring MakeDefaultLapFileName() {
  const std::wstring folder = GetExecutableFolder();
  return folder.empty() ? folder : MakeDefaultLapFileNameIn(folder);
}

// The longest path Save As may return, with its terminating null.
constexpr DWORD LapFilePathBuffer = 32768;

// Runs the Save As dialog proposing the default name; the chosen path, or an empty one.
std::wstring ChooseLapFile(HWND owner) {
  const std::wstring proposal = MakeDefaultLapFileName();
  const wchar_t* const fileName = FileNamePart(proposal.c_str());
  std::wstring folder = proposal.substr(0, static_cast<size_t>(fileName - proposal.c_str()));
  // Wine's dialog fails on an initial folder of MAX_PATH characters or more: such a folder is proposed within the
  // whole path instead, whose folder the dialog opens where it can.
  const bool longFolder = folder.size() >= MAX_PATH;
  std::wstring name = longFolder ? proposal : fileName;
  if (longFolder) folder.clear();
  name.resize(LapFilePathBuffer);
  wchar_t fileTitle[256] = L"";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"Text Files(*.txt)\0*.txt\0";
  dialog.lpstrFile = &name[0];
  dialog.nMaxFile = LapFilePathBuffer;
  dialog.lpstrFileTitle = fileTitle;
  dialog.nMaxFileTitle = 256;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = L"名前を付けて保存";
  dialog.Flags = OFN_OVERWRITEPROMPT;
  dialog.lpstrDefExt = L"txt";
  if (GetSaveFileNameW(&dialog) != 1) return {};
  return name.c_str();  // up to its terminating null
}

// Writes the records to the lap file at `path`; 1 when all of it was written. A short file must not pass for
// saved laps: the user is told and the laps stay unsaved.
int WriteLapRecords(HWND owner, const wchar_t* path, const LapRecord* records, int32_t count) {
  const LapFileResult result = WriteRecordsToLapFile(path, records, count);
  if (result == LapFileResult::Written) return 1;
  const wchar_t* const message =
      result == LapFileResult::NotCreated ? L"ファイルを作成できません。" : L"ファイルに書き込めません。";
  ShowMessageBox(owner, message);
  return 0;
}

// Lets the user choose a file and writes the records to it; 1 when the file was written.
int SaveRecordsAs(HWND owner, const LapRecord* records, int32_t count) {
  const std::wstring path = ChooseLapFile(owner);
  if (path.empty()) return 0;
  return WriteLapRecords(owner, path.c_str(), records, count);
}

// Only while the stopwatch is stopped: the wakes go on in Save As's modal loop, and a running stopwatch would add
// laps to the list while the user chooses.
int SaveLapsToFile(HWND owner) { return SaveRecordsAs(owner, LapList.Records, LapList.Count); }

}  // namespace

std::wstring MakeDefaultLapFileNameIn(const std::wstring& folder) {
  for (int number = 0; number <= 9999; ++number) {
    wchar_t digits[8];
    wsprintfW(digits, L"%04d", number);
    const std::wstring candidate = folder + L"LapTimeList" + digits + L".txt";
    if (!FileExists(candidate.c_str())) return candidate;
  }
  return {};
}

int WriteLapFile(HWND owner, const wchar_t* path) { return WriteLapRecords(owner, path, LapList.Records, LapList.Count); }

SaveAnswer AskSaveLaps(HWND owner) {
  if (LapList.Count == 0) return SaveAnswer::Declined;
  // A hotkey's reset asks while another program is in front: the user waits for the question there.
  BringForward(owner);
  if (ShowMessageBox(owner, L"ラップタイムを保存しますか？", MB_YESNO) != IDYES) return SaveAnswer::Declined;
  if (SaveLapsToFile(owner) != 1) return SaveAnswer::NotSaved;
  LapList.Unsaved = 0;
  MarkLapJournalSaved();
  return SaveAnswer::Saved;
}

SaveAnswer AskSaveLapsWithFinalLap(HWND owner) {
  CancelLapRequest();
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

bool OfferUnsavedLaps(HWND owner, const LapRecord* records, int32_t count) {
  if (ShowMessageBox(owner, L"前回の計測で保存されていないラップタイムがあります。保存しますか？", MB_YESNO) !=
      IDYES) {
    return true;
  }
  return SaveRecordsAs(owner, records, count) == 1;
}

void SaveLapsCommand(HWND window) {
  // The provisional line goes into the list only while the stopwatch, which records laps too, is stopped.
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
  char text[32];
  FormatCurrentLapText(text, sizeof text);
  // The clipboard is closed and the block freed before the user is told.
  const wchar_t* const failure = PutTextOnClipboard(owner, text);
  return failure ? ClipboardFailure(owner, failure) : 1;
}
