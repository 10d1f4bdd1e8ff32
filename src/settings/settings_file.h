// The settings file as bytes: its sections and key lines in file order, read and written whole, looked up and
// laid out as the private-profile functions do it, but without their trip through the ANSI code page, which
// loses Shift-JIS text on a system of another code page.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A kept line of a section: "name=value", or a line without '=' (a comment, a stray word), which has no value.
struct SettingsLine {
  std::string Name;
  std::optional<std::string> Value;
};

struct SettingsSection {
  std::string Name;  // empty for the lines before the first header
  std::vector<SettingsLine> Lines;
};

struct SettingsDocument {
  bool Utf8Marker = false;                // the file began with a UTF-8 byte order mark, which is kept
  std::vector<SettingsSection> Sections;  // the nameless section first
  bool Changed = false;                   // a value was set that differs from the file's
  bool Unread = false;  // the file is there but could not be opened or read whole: empty, never to be written over it
};

// The whole file, or an empty document when it is missing or unreadable (then marked Unread).
SettingsDocument ReadSettingsFile(const std::wstring& path);
// The value of `key` in `section` with one pair of enclosing quotes removed; none when the key is missing or its
// line has no '='. Names compare without regard to ASCII case; the first section of that name holds the key.
std::optional<std::string> FindSettingsValue(const SettingsDocument& file, const char* section, const char* key);
// The value read as a number as GetPrivateProfileIntA reads it: its first 29 characters, after blanks an optional
// sign, a "0x", "0o" or "0b" base, digits, all taken modulo 2^32; `byDefault` when the value is missing or empty.
uint32_t ReadSettingsNumber(const SettingsDocument& file, const char* section, const char* key, int32_t byDefault);
// Replaces the key's value in place, or appends the key to its section, or the section to the file.
void SetSettingsValue(SettingsDocument& file, const char* section, const char* key, const std::string& value);
// Replaces the file with the document in one step: the content goes to a file beside it, is flushed, and is then
// moved into its place, so that a failure or a crash at any moment leaves the old file or the new one whole.
// False when the file was not replaced.
bool WriteSettingsFile(const std::wstring& path, const SettingsDocument& file);
// Whether a save could replace the file: its folder takes a new file and the file, where there is one, is not
// read-only or held by another program.
bool CanReplaceSettingsFile(const std::wstring& path);

// How the content reaches the disk; tests put a writer here that fails part way.
using SettingsFileWriter = BOOL(WINAPI*)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED);
extern SettingsFileWriter WriteSettingsBytes;

// For the tests only: nothing outside this module calls these.
// The document that a file of these bytes holds.
SettingsDocument ParseSettings(const std::string& bytes);
