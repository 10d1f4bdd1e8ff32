// Laps leaving the program: the lap file, the question before unsaved laps are discarded, the clipboard.
#pragma once
#include <windows.h>
#include <cstdint>
#include "laps/lap_list.h"

// Fills `path` (MAX_PATH bytes) with the first free LapTimeList0000.txt … LapTimeList9999.txt beside the
// executable and returns 1, or empties it and returns 0.
int MakeDefaultLapFileName(char* path);
// The same in a given folder (with its trailing separator).
int MakeDefaultLapFileNameIn(const char* folder, char* path);
// Runs the Save As dialog proposing the default name; fills `path` (MAX_PATH bytes) and returns 1, or empties
// it and returns 0.
int ChooseLapFile(HWND owner, char* path);
// Writes every lap to `path`, replacing the file; 1 when all of it was written, otherwise the user is told.
int WriteLapFile(HWND owner, const char* path);
// The same for any `count` records, each numbered by its place; a record with an empty text is left out.
int WriteLapRecords(HWND owner, const char* path, const LapRecord* records, int32_t count);
// One line of the lap file, "000n,lap,total" and CRLF; false unless all of it was written.
bool WriteLapLine(HANDLE file, int32_t number, const char* text);
// False on a failed or short write.
bool WriteAll(HANDLE file, const char* text, DWORD length);
// Lets the user choose a file and writes every lap to it; 1 when the file was written.
int SaveLapsToFile(HWND owner);
// How the save question ended. The laps may go only once saved or declined: a Cancel in Save As or a file that
// could not be written (the user has been told) leaves them unsaved.
enum class SaveAnswer { Saved, Declined, NotSaved };
// Asks whether to save the laps and saves them on Yes; Declined also when there are none.
SaveAnswer AskSaveLaps(HWND owner);
// Before a close: the time since the last lap becomes a final lap (while the list has room) and the user is
// asked. The stopwatch's timer must be stopped.
SaveAnswer AskSaveLapsWithFinalLap(HWND owner);
// Before a reset, the same; true when the laps may go. Otherwise the final lap is taken back whole, so that
// nothing has changed and the next reset asks again.
bool AskSaveLapsBeforeReset(HWND owner);
// The save command: the laps with the current time as a provisional last line that is not kept.
void SaveLapsCommand(HWND window);
// Puts the current lap time on the clipboard as text; 1 on success.
int CopyResultToClipboard(HWND owner);
