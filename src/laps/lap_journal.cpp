// The lap journal and the run state's file. A recorded lap has the journal append what it lacks, found by comparing
// with the lap count; the run state is written whole at every change of a measurement. Each write reaches the file
// at once (a killed process loses nothing); the disk itself is flushed by a one-second timer that the first write
// after a flush arms, so a lap never waits for the disk, the disk is waited for at most once a second, and at most
// a second of laps and run states is ever unflushed.
#include "laps/lap_journal.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include "helpers/file_handle.h"
#include "helpers/file_paths.h"
#include "helpers/message_box.h"
#include "laps/lap_file.h"
#include "records/window_messages.h"
#include "timing/run_state.h"

HANDLE(WINAPI* CreateJournalFile)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = CreateFileW;

namespace {

enum class JournalPhase {
  Off,       // not started (in-process tests) or ended at exit
  Starting,  // waiting for the first WM_LAP_JOURNAL, which deals with an earlier run's journal
  Offering,  // an earlier run's laps are being offered: nothing is written, nothing offered twice
  On,
  Refused,   // an earlier run's journal could not be moved aside: nothing is written, which the first lap says
};

// A run writes at most every lap and one mark per save, each mark higher than the last.
constexpr int MaxJournalLines = 2 * MaxLaps;

// The journal of the laps in the list: its file and how far the file and the saves have come. Made fresh when the
// laps are cleared.
struct CurrentJournal {
  FileHandle File;
  bool FlushArmed = false;
  int32_t JournalledLaps = 0;  // laps of the list already in the file
  int32_t SavedLaps = 0;       // laps of the list saved to a lap file
  int32_t MarkedLaps = 0;      // the mark the file holds
};

// The run state's file: two copies at fixed places, written in turn, so that a write cut short (a power cut) leaves
// the other whole, and the later whole one counts.
constexpr DWORD RunCopySize = 1024;
struct RunFile {
  std::wstring Path;
  FileHandle File;
  bool On = false;  // from the start-up's decision on an earlier run until this run ends
  bool FailureSaid = false;
  int64_t Sequence = 0;
};

// Everything the journal keeps in a run; made fresh when the run's journal starts.
struct LapJournalState {
  JournalPhase Phase = JournalPhase::Off;
  HWND Window = nullptr;
  std::wstring Path;
  UnsavedLapsOffer Offer = nullptr;  // the recovery question, given by StartLapJournal
  bool FailureSaid = false;          // the journal's failure is said once per run
  CurrentJournal Current;
  RunFile Run;
};
LapJournalState Journal;

// An earlier run's journal as read back for its offer; too large for the stack.
RecoveredLaps Recovered;

// Whole decimal number of one to four digits; -1 otherwise.
int32_t NumberIn(std::string_view digits) {
  if (digits.empty() || digits.size() > 4) return -1;
  int32_t value = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return -1;
    value = value * 10 + (digit - '0');
  }
  return value;
}

bool IsTimeText(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789:.") == std::string_view::npos;
}

bool TakeLapLine(std::string_view line, RecoveredLaps& laps) {
  if (line.size() < 5 || line[4] != ',') return false;
  const int32_t number = NumberIn(line.substr(0, 4));
  const std::string_view text = line.substr(5);
  const size_t comma = text.find(',');
  if (number < 1 || number > MaxLaps || comma == std::string_view::npos || text.size() >= LapRecordSize ||
      !IsTimeText(text.substr(0, comma)) || !IsTimeText(text.substr(comma + 1))) {
    return false;
  }
  memcpy(laps.Records[number - 1].Text, text.data(), text.size());
  laps.Records[number - 1].Text[text.size()] = '\0';
  if (number > laps.Count) laps.Count = number;
  return true;
}

void TakeSavedMark(std::string_view line, RecoveredLaps& laps) {
  constexpr std::string_view Prefix = "saved,";
  if (line.substr(0, Prefix.size()) != Prefix) return;
  const int32_t saved = NumberIn(line.substr(Prefix.size()));
  if (saved >= 0 && saved <= MaxLaps) laps.Saved = saved;
}

void TakeJournalLine(std::string_view line, RecoveredLaps& laps) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!TakeLapLine(line, laps)) TakeSavedMark(line, laps);
}

void FlushJournalFile() {
  if (Journal.Current.File.IsOpen()) FlushFileBuffers(Journal.Current.File.Get());
  if (Journal.Run.File.IsOpen()) FlushFileBuffers(Journal.Run.File.Get());
}

void CALLBACK FlushJournal(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  Journal.Current.FlushArmed = false;
  FlushJournalFile();
}

void ScheduleFlush() {
  bool& armed = Journal.Current.FlushArmed;
  if (!armed) armed = SetTimer(Journal.Window, LapJournalFlushTimerId, 1000, FlushJournal) != 0;
}

void CloseJournalFile() {
  if (Journal.Current.FlushArmed) KillTimer(Journal.Window, LapJournalFlushTimerId);
  Journal.Current.FlushArmed = false;
  Journal.Current.File.Close();
}

// The journal's and the run state's files are written afresh, readable and deletable by others meanwhile.
FileHandle CreateFreshFile(const std::wstring& path) {
  return FileHandle(CreateJournalFile(ExtendedLengthPath(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool OpenFreshJournal() {
  CurrentJournal& current = Journal.Current;
  current.File = CreateFreshFile(Journal.Path);
  current.JournalledLaps = 0;
  current.MarkedLaps = 0;
  return current.File.IsOpen();
}

bool AppendLaps(int32_t upTo) {
  CurrentJournal& current = Journal.Current;
  for (; current.JournalledLaps < upTo; ++current.JournalledLaps) {
    if (!WriteLapLine(current.File.Get(), current.JournalledLaps + 1, LapList.Records[current.JournalledLaps].Text)) {
      return false;
    }
  }
  return true;
}

bool AppendSavedMark() {
  CurrentJournal& current = Journal.Current;
  if (current.MarkedLaps == current.SavedLaps) return true;
  char line[32];
  const int length = snprintf(line, sizeof line, "saved,%d\r\n", static_cast<int>(current.SavedLaps));
  if (length <= 0 || !WriteAll(current.File.Get(), line, static_cast<DWORD>(length))) return false;
  current.MarkedLaps = current.SavedLaps;
  return true;
}

// The first failure of a run with each file has the main window say it, once the lap or save that met it is over.
void ReportFailure(bool& said, WPARAM which) {
  if (said) return;
  said = true;
  PostMessageW(Journal.Window, WM_LAP_JOURNAL_FAILED, which, 0);
}
void ReportFailure() { ReportFailure(Journal.FailureSaid, 0); }

bool OpenFreshRunFile() {
  RunFile& run = Journal.Run;
  run.File = CreateFreshFile(run.Path);
  run.Sequence = 0;
  return run.File.IsOpen();
}

// The run state now, as the next of the file's copies. After a failed create or write the next change creates
// the file afresh.
void WriteRunCopy(bool keptAtExit) {
  RunFile& run = Journal.Run;
  if (!run.On) return;
  if (run.File.IsOpen() || OpenFreshRunFile()) {
    RunState state = CaptureRunState(ReadRunMoment());
    state.Sequence = ++run.Sequence;
    state.KeptAtExit = keptAtExit ? 1 : 0;
    std::string copy = FormatRunState(state);
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(state.Sequence % 2) * RunCopySize;
    DWORD written = 0;
    if (copy.size() <= RunCopySize) {
      copy.resize(RunCopySize, '\0');
      if (WriteFile(run.File.Get(), copy.data(), RunCopySize, &written, &at) && written == RunCopySize) {
        ScheduleFlush();
        return;
      }
    }
    run.File.Close();
  }
  ReportFailure(run.FailureSaid, 1);
}

// The run ends: its state is kept for the next start, flushed, or the file goes with the measurement.
void EndRunFile(bool keep, bool keptAtExit) {
  RunFile& run = Journal.Run;
  if (!run.On) return;
  if (keep) {
    WriteRunCopy(keptAtExit);
    if (run.File.IsOpen()) FlushFileBuffers(run.File.Get());
    run.File.Close();
  } else {
    run.File.Close();
    DeleteFileW(ExtendedLengthPath(run.Path).c_str());
  }
  run.On = false;
}

// The laps of a measurement that goes on come back into the list as the previous run's journal holds them, saved
// ones too; once on, the journal is written afresh from the list.
void AdoptPreviousLaps() {
  if (!ReadLapJournal(Journal.Path.c_str(), Recovered)) return;
  LapList.Count = Recovered.Count;
  memcpy(LapList.Records, Recovered.Records, sizeof LapList.Records);
  LapList.Unsaved = Recovered.Count > Recovered.Saved ? 1 : 0;
  Journal.Current.SavedLaps = std::min(Recovered.Saved, Recovered.Count);
}

// A measurement left by a run that did not end normally goes on when the user says so, and one a normal exit
// kept goes on without asking; true when one does. Until the answer the earlier state stays in its file, so a
// run ended while the question is open asks again.
bool ResumeEarlierRun(HWND window) {
  RunState state = {};
  const bool held = ReadRunStateFile(Journal.Run.Path.c_str(), state) && HoldsMeasurement(state);
  const bool resume = held && (state.KeptAtExit == 1 ||
                               ShowMessageBox(window, L"前回の計測が途中で中断されました。続けて計測しますか？",
                                              MB_YESNO) == IDYES);
  Journal.Run.On = true;
  if (!resume) {
    DeleteFileW(ExtendedLengthPath(Journal.Run.Path).c_str());
    return false;
  }
  AdoptPreviousLaps();  // also a lap journalled just before a kill that its run state did not count yet
  ResumeRunState(state, ReadRunMoment());
  WriteRunCopy(false);
  return true;
}

// Writes the laps below `upTo` and the saved mark that the file lacks. After a failed create or write the file is
// closed, and the next lap writes the whole journal again.
void BringJournalUpTo(int32_t upTo) {
  if (Journal.Phase == JournalPhase::Refused && LapList.Count > 0) ReportFailure();
  if (Journal.Phase != JournalPhase::On) return;
  const int32_t count = LapList.Count;
  if (upTo > count) upTo = count;  // never a provisional lap, never past the list
  const CurrentJournal& current = Journal.Current;
  if (current.JournalledLaps >= upTo && current.MarkedLaps == current.SavedLaps) return;
  if (current.File.IsOpen() || OpenFreshJournal()) {
    if (AppendLaps(upTo) && AppendSavedMark()) {
      ScheduleFlush();
      return;
    }
    CloseJournalFile();
  }
  ReportFailure();
}

// Laps that an offer could not save are kept in journals of their own, "<program>.1.laps" to ".9.laps", where
// this run's laps, resets and exit never reach them.
constexpr int KeptJournalCount = 9;

std::wstring KeptJournalPath(int number) {
  wchar_t extension[16];
  wsprintfW(extension, L".%d.laps", number);
  return PathBesideProgram(extension);
}

// Has the unsaved laps of a journal file offered; true when they may go: nothing unsaved, or the offer let them.
bool OfferLapsOf(HWND window, const wchar_t* path) {
  if (!ReadLapJournal(path, Recovered)) return false;
  if (Recovered.Count <= Recovered.Saved) return true;
  return Journal.Offer(window, Recovered.Records, Recovered.Count);
}

// Moves the previous run's journal out of this run's way; false when no kept journal is free or it cannot move.
bool KeepPreviousJournal() {
  for (int number = 1; number <= KeptJournalCount; ++number) {
    if (MoveFileW(ExtendedLengthPath(Journal.Path).c_str(), ExtendedLengthPath(KeptJournalPath(number)).c_str())) {
      return true;
    }
  }
  return false;
}

// Every journal an earlier run left is offered in turn, the kept ones first, and goes once its laps may go. The
// previous run's, when kept, moves aside; when it cannot, this run journals nothing rather than overwrite it. A
// measurement that goes on has taken the previous run's laps back into its list.
void OfferPreviousLaps(HWND window, bool resumed) {
  for (int number = 1; number <= KeptJournalCount; ++number) {
    const std::wstring kept = KeptJournalPath(number);
    if (FileExists(kept.c_str()) && OfferLapsOf(window, kept.c_str())) {
      DeleteFileW(ExtendedLengthPath(kept).c_str());
    }
  }
  if (resumed || !FileExists(Journal.Path.c_str())) return;
  if (OfferLapsOf(window, Journal.Path.c_str())) {
    DeleteFileW(ExtendedLengthPath(Journal.Path).c_str());
  } else if (!KeepPreviousJournal()) {
    Journal.Phase = JournalPhase::Refused;
  }
}

}  // namespace

bool ReadLapJournal(const wchar_t* path, RecoveredLaps& laps) {
  laps.Count = 0;
  laps.Saved = 0;
  for (LapRecord& record : laps.Records) record.Text[0] = '\0';
  const FileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) return false;
  // A last line without its end was cut and is left out. Of a longer line only the start is kept, which is
  // already too long for a lap or a mark.
  char chunk[4096];
  char line[LapRecordSize + 16];
  size_t length = 0;
  int lines = 0;
  DWORD got = 0;
  while (lines < MaxJournalLines && ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got && lines < MaxJournalLines; ++i) {
      if (chunk[i] == '\n') {
        TakeJournalLine(std::string_view(line, length), laps);
        length = 0;
        ++lines;
      } else if (length < sizeof line) {
        line[length++] = chunk[i];
      }
    }
  }
  return true;
}

bool ReadRunStateFile(const wchar_t* path, RunState& state) {
  const FileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  char bytes[2 * RunCopySize];
  DWORD got = 0;
  if (!file.IsOpen() || !ReadFile(file.Get(), bytes, sizeof bytes, &got, nullptr)) return false;
  bool found = false;
  for (DWORD at = 0; at < got; at += RunCopySize) {
    const std::string_view copy(bytes + at, std::min(got - at, RunCopySize));
    RunState read = {};
    if (ParseRunState(copy.substr(0, copy.find('\0')), read) && (!found || read.Sequence > state.Sequence)) {
      state = read;
      found = true;
    }
  }
  return found;
}

void StartLapJournal(HWND window, UnsavedLapsOffer offer) {
  const std::wstring path = PathBesideProgram(L".laps");
  if (!offer || path.empty()) return;
  // Once a run, before any lap: nothing is journalled yet.
  Journal = LapJournalState{};
  Journal.Path = path;
  Journal.Run.Path = PathBesideProgram(L".run");
  Journal.Window = window;
  Journal.Offer = offer;
  Journal.Phase = JournalPhase::Starting;
  PostMessageW(window, WM_LAP_JOURNAL, 0, 0);
}

void OnLapJournal(HWND window, WPARAM upTo) {
  if (Journal.Phase == JournalPhase::Starting) {
    Journal.Phase = JournalPhase::Offering;
    OfferPreviousLaps(window, ResumeEarlierRun(window));
    // Unless it ended meanwhile, or must not write.
    if (Journal.Phase == JournalPhase::Offering) Journal.Phase = JournalPhase::On;
    upTo = static_cast<WPARAM>(LapList.Count);  // the laps of a measurement that goes on
  }
  BringJournalUpTo(static_cast<int32_t>(std::min<WPARAM>(upTo, MaxLaps)));
}

void OnLapJournalFailed(HWND window, WPARAM which) {
  if (Journal.Phase == JournalPhase::Off) return;
  const std::wstring text =
      which == 0 ? L"ラップタイムの一時保存ファイル「" + Journal.Path +
                       L"」に書き込めません。計測は続けられますが、プログラムが異常終了したときには、保存して"
                       L"いないラップタイムは戻りません。"
                 : L"計測の一時保存ファイル「" + Journal.Run.Path +
                       L"」に書き込めません。計測は続けられますが、プログラムが異常終了したときには、次の起動で"
                       L"計測を続けることはできません。";
  ShowMessageBox(window, text.c_str());
}

void WriteRunState() { WriteRunCopy(false); }

void JournalRecordedLaps() {
  BringJournalUpTo(LapList.Count);
  WriteRunState();
}

void MarkLapJournalSaved() {
  Journal.Current.SavedLaps = LapList.Count;
  BringJournalUpTo(Journal.Current.SavedLaps);
}

void RewriteLapJournal() {
  if (Journal.Phase != JournalPhase::On) return;
  CloseJournalFile();
  WriteRunState();  // where the current lap began is back too
  if (OpenFreshJournal()) {
    BringJournalUpTo(LapList.Count);
    return;
  }
  // The old journal still holds the lap taken back, which a crash would have offered as a real one. The next lap
  // writes the whole journal again.
  DeleteFileW(ExtendedLengthPath(Journal.Path).c_str());
  ReportFailure();
}

void DiscardLapJournal() {
  if (Journal.Phase != JournalPhase::On) return;
  CloseJournalFile();
  DeleteFileW(ExtendedLengthPath(Journal.Path).c_str());
  Journal.Current = CurrentJournal{};  // the next lap starts a new journal
}

void EndLapJournal(RunEnd end) {
  const bool keepRun = end != RunEnd::Ended && HoldsMeasurement(CaptureRunState(ReadRunMoment()));
  EndRunFile(keepRun, end == RunEnd::KeptToGoOn);
  if (Journal.Phase == JournalPhase::On && (LapList.Unsaved || (keepRun && LapList.Count > 0))) {
    BringJournalUpTo(LapList.Count);
    FlushJournalFile();
    CloseJournalFile();
  } else {
    DiscardLapJournal();
  }
  Journal.Phase = JournalPhase::Off;
}
