// The lap journal: every lap since the last reset, kept in <program>.laps beside the executable so that laps
// not yet saved outlive a crash, a kill or a power cut, and are offered for saving at the next start. Beside it,
// <program>.run keeps the run state, so that the measurement itself can go on at the next start.
//
// Lines end in CRLF. A lap is a line of the lap file ("000n,lap,total"); "saved,N" says that laps 1..N were
// saved, and the last whole one counts. Lines are only ever appended, so a cut anywhere costs at most the line it
// cut; the file is written afresh only when a lap is taken back, and by the first write after a failed create or
// write. Laps an offer at the start could not save are moved to journals of their own and offered again.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/lap_list_record.h"

struct RunState;

// A journal as read back: lap n in Records[n - 1], an empty text where no whole line held it.
struct RecoveredLaps {
  LapRecord Records[MaxLaps];
  int32_t Count;  // the highest lap number found
  int32_t Saved;  // laps saved according to the last mark
};

// Offers laps an earlier run left unsaved, lap n in records[n - 1] (an empty text where none was read); true
// when they may go, false to keep them for a later start.
using UnsavedLapsOffer = bool (*)(HWND owner, const LapRecord* records, int32_t count);

// From WinMain once the main window exists: the journal is kept from now on, and the window's first
// WM_LAP_JOURNAL has `offer` offer what an earlier run left unsaved. Without this (the in-process tests) nothing
// is written.
void StartLapJournal(HWND window, UnsavedLapsOffer offer);
// WM_LAP_JOURNAL: appends the laps below `upTo` that the journal lacks.
void OnLapJournal(HWND window, WPARAM upTo);
// WM_LAP_JOURNAL_FAILED: says that laps (wParam 0) or the run state (1) are not being kept against a crash,
// unless the run has ended.
void OnLapJournalFailed(HWND window, WPARAM which);
// After every Start, Stop, reset, mode or resolution change and expiry (and, from here, every lap): the run state
// is written at once. Nothing is written before the start-up's decision on an earlier run, nor after the end.
void WriteRunState();
// After RecordLap: journals the new lap at once.
void JournalRecordedLaps();
// Every lap of the list has been saved.
void MarkLapJournalSaved();
// The list lost its last lap: the journal is written afresh from the list. Where it cannot be, the old journal is
// deleted and the failure said as any other.
void RewriteLapJournal();
// The laps were cleared: the journal is deleted and the next lap starts a new one.
void DiscardLapJournal();
// How a run ends: its measurement ended (a close), kept for the question at the next start (the end of a Windows
// session), or kept to go on without asking (a close or the session's end with ResumeAfterExit=1).
enum class RunEnd { Ended, KeptForQuestion, KeptToGoOn };
// The program ends: the run state goes, or is kept while it holds a measurement; the journal is deleted, unless
// laps are still unsaved (a save at the close was cancelled or failed, or the Windows session ends) or belong to
// the measurement kept, which it keeps for the next start. Nothing is written any more.
void EndLapJournal(RunEnd end);

// How the journal's file is created; tests put a creation that fails here.
extern HANDLE(WINAPI* CreateJournalFile)(LPCWSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                                         DWORD disposition, DWORD flags, HANDLE templateFile);

// For the tests only: nothing outside this module calls these.
// Reads every whole valid line of the journal at `path`; false when it cannot be opened.
bool ReadLapJournal(const wchar_t* path, RecoveredLaps& laps);
// Reads the later whole copy of a run state file; false when it has none.
bool ReadRunStateFile(const wchar_t* path, RunState& state);
