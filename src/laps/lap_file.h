// The lap file's lines, "000n,lap,total" and CRLF, which lap files and the journal share, and a whole lap file
// written from records. Nothing here talks to the user: each caller decides what a failure means.
#pragma once
#include <windows.h>
#include <cstdint>
#include "records/lap_list_record.h"

// False on a failed or short write.
bool WriteAll(HANDLE file, const char* text, DWORD length);
// One line of the lap file; false unless all of it was written.
bool WriteLapLine(HANDLE file, int32_t number, const char* text);

enum class LapFileResult { Written, NotCreated, NotWritten };
// Writes `count` records to `path`, replacing the file, each numbered by its place; a record with an empty text
// is left out. Written only when every write and the close succeeded.
LapFileResult WriteRecordsToLapFile(const wchar_t* path, const LapRecord* records, int32_t count);
