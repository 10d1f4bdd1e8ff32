// Laps leaving the program: the lap file, the questions before unsaved laps are discarded, the clipboard.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "records/lap_list_record.h"

// How the save question ended. The laps may go only once saved or declined: a Cancel in Save As or a file that
// could not be written (the user has been told) leaves them unsaved.
enum class SaveAnswer { Saved, Declined, NotSaved };
// Before a close: the time since the last lap becomes a final lap (while the list has room) and the user is
// asked. The stopwatch must be stopped.
SaveAnswer AskSaveLapsWithFinalLap(HWND owner);
// Before a reset, the same; true when the laps may go. Otherwise the final lap is taken back whole, so that
// nothing has changed and the next reset asks again.
bool AskSaveLapsBeforeReset(HWND owner);
// The journal's offer of laps an earlier run left unsaved (lap n in records[n - 1], an empty text where none
// was read): asks, and on Yes writes them, numbered as they were, to a file chosen in Save As. True when they
// may go: No, or the file written; a Cancel or a file that could not be written (the user has been told) keeps
// them.
bool OfferUnsavedLaps(HWND owner, const LapRecord* records, int32_t count);
// The save command: the laps with the current time as a provisional last line that is not kept.
void SaveLapsCommand(HWND window);
// Puts the current lap time on the clipboard as text; 1 on success.
int CopyResultToClipboard(HWND owner);

// For the tests only: nothing outside this module calls these.
// The first free LapTimeList0000.txt … LapTimeList9999.txt in `folder` (with its trailing separator), or an empty
// path when every one is taken. Save As proposes it beside the executable.
std::wstring MakeDefaultLapFileNameIn(const std::wstring& folder);
// Writes every lap to `path`, replacing the file; 1 when all of it was written, otherwise the user is told.
int WriteLapFile(HWND owner, const wchar_t* path);
// Asks whether to save the laps and saves them on Yes; Declined also when there are none.
SaveAnswer AskSaveLaps(HWND owner);
