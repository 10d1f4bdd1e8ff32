// Lines of the lap file and whole lap files, without a word to the user.
#include "laps/lap_file.h"
#include <cstdio>
#include "helpers/file_handle.h"
#include "helpers/file_paths.h"

namespace {

bool WriteNumberedRecords(HANDLE file, const LapRecord* records, int32_t count) {
  bool written = true;
  for (int32_t i = 0; written && i < count; ++i) {
    if (records[i].Text[0]) written = WriteLapLine(file, i + 1, records[i].Text);
  }
  return written;
}

}  // namespace

bool WriteAll(HANDLE file, const char* text, DWORD length) {
  DWORD written = 0;
  return WriteFile(file, text, length, &written, nullptr) && written == length;
}

bool WriteLapLine(HANDLE file, int32_t number, const char* text) {
  char line[LapRecordSize + 16];
  const int length = snprintf(line, sizeof line, "%04d,%s\r\n", static_cast<int>(number), text);
  return length > 0 && length < static_cast<int>(sizeof line) && WriteAll(file, line, static_cast<DWORD>(length));
}

LapFileResult WriteRecordsToLapFile(const wchar_t* path, const LapRecord* records, int32_t count) {
  FileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) return LapFileResult::NotCreated;
  const bool written = WriteNumberedRecords(file.Get(), records, count);
  // The close is checked too: a short file must not pass for a written one.
  return (file.Close() && written) ? LapFileResult::Written : LapFileResult::NotWritten;
}
