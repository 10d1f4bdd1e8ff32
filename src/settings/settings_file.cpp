// The settings file read and written as bytes, with the layout and lookups of the private-profile functions:
// blanks around names and values dropped, a line's first '=' ending its name, a header's last ']' ending its
// section name, the first section and key of a name answering, and the whole file rewritten "name=value\r\n".
#include "settings/settings_file.h"
#include <windows.h>
#include <algorithm>
#include <cstring>
#include "helpers/file_handle.h"
#include "helpers/file_paths.h"

namespace {

// A file larger than this is no settings file of ours; only its start is read.
constexpr DWORD MaxFileBytes = 16 * 1024 * 1024;
// GetPrivateProfileIntA reads the value into a buffer of 30 characters.
constexpr size_t NumberBufferSize = 30;

// The profile functions' blanks: the C space characters and Ctrl+Z, a DOS end-of-file mark.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

std::string Trimmed(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string(begin, end);
}

// Names and values end at a NUL byte, as the C strings the profile functions keep them in.
std::string UpToNul(std::string text) {
  text.resize(std::strlen(text.c_str()));
  return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& stored, const std::string& wanted) {
  return stored.size() == wanted.size() &&
         std::equal(stored.begin(), stored.end(), wanted.begin(),
                    [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

std::string TrimmedName(const char* name) { return Trimmed(name, name + std::strlen(name)); }

// Adds one non-blank line to the document: a section header, or a line of the last section.
void AddLine(SettingsDocument& file, const char* begin, const char* end) {
  if (*begin == '[') {
    const char* close = end;
    while (close > begin && close[-1] != ']') --close;
    if (close > begin + 1) {
      file.Sections.push_back({UpToNul(Trimmed(begin + 1, close - 1)), {}});
      return;
    }
  }
  SettingsLine line;
  const char* equals = std::find(begin, end, '=');
  const std::string name = Trimmed(begin, equals);
  if (equals != end) line.Value = UpToNul(Trimmed(equals + 1, end));
  line.Name = UpToNul(name);
  // A line with an empty name is dropped when the one before it in its section has an empty name too.
  std::vector<SettingsLine>& lines = file.Sections.back().Lines;
  if (name.empty() && !lines.empty() && lines.back().Name.empty()) return;
  lines.push_back(std::move(line));
}

// The first section of the name; const or not as the document is.
template <typename Document>
auto FindSection(Document& file, const std::string& name) -> decltype(&file.Sections.front()) {
  for (auto& section : file.Sections) {
    if (SameName(section.Name, name)) return &section;
  }
  return nullptr;
}

// The first line of the name, in the first section of its name only: a later section of that name is not searched.
template <typename Section>
auto FindLine(Section* section, const char* keyName) -> decltype(&section->Lines.front()) {
  if (!section) return nullptr;
  const std::string key = TrimmedName(keyName);
  for (auto& line : section->Lines) {
    if (SameName(line.Name, key)) return &line;
  }
  return nullptr;
}

const SettingsLine* FindLine(const SettingsDocument& file, const char* section, const char* key) {
  return FindLine(FindSection(file, TrimmedName(section)), key);
}

bool IsQuoted(const std::string& value) {
  return value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

// What a buffer of `size` characters receives: a quoted value loses its quotes, and when the value after its
// opening quote is as long as the buffer the profile functions cut one character more.
std::string CopiedValue(const std::string& value, size_t size) {
  const bool quoted = IsQuoted(value);
  const std::string rest = quoted ? value.substr(1) : value;
  std::string copied = rest.substr(0, size - 1);
  if (quoted && size >= rest.size()) copied.pop_back();
  return copied;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return -1;
}

uint32_t ParsedNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t base = 10;
  if (text.size() - i >= 2 && text[i] == '0') {
    const char mark = text[i + 1];
    base = mark == 'x' ? 16 : mark == 'o' ? 8 : mark == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit < 0 || static_cast<uint32_t>(digit) >= base) break;
    total = total * base + static_cast<uint32_t>(digit);
  }
  return negative ? 0u - total : total;
}

// The file's bytes: "[section]" and "name=value" lines ending in "\r\n", blank lines dropped.
std::string SettingsFileContent(const SettingsDocument& file) {
  std::string content = file.Utf8Marker ? "\xEF\xBB\xBF" : "";
  for (const SettingsSection& section : file.Sections) {
    // A section without a name has no header line, so its lines join the section before it.
    if (!section.Name.empty()) content += "[" + section.Name + "]\r\n";
    for (const SettingsLine& line : section.Lines) {
      content += line.Name;
      if (line.Value) content += "=" + *line.Value;
      content += "\r\n";
    }
  }
  return content;
}

// The new content's file while it is written: beside the old one, on the same volume, so that the move that
// replaces the old file is one step.
std::wstring TemporaryPathBeside(const std::wstring& path) { return path + L".new"; }

// Writes and flushes a whole file; false when any of it may not have reached the disk.
bool WriteWholeFile(const std::wstring& path, const std::string& content) {
  FileHandle handle(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.IsOpen()) return false;
  DWORD written = 0;
  const bool wrote = WriteSettingsBytes(handle.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                                        nullptr) &&
                     written == content.size() && FlushFileBuffers(handle.Get());
  return handle.Close() && wrote;
}

// The empty document of a missing file, or of one that is there but could not be read.
SettingsDocument UnreadDocument(bool unread) {
  SettingsDocument file = ParseSettings("");
  file.Unread = unread;
  return file;
}

}  // namespace

SettingsDocument ParseSettings(const std::string& bytes) {
  SettingsDocument file;
  file.Sections.push_back({});
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    file.Utf8Marker = true;
    p += 3;
  }
  while (p < end) {
    const char* lineEnd = std::find_if(p, end, IsLineBreak);
    const char* next = std::find_if_not(lineEnd, end, IsLineBreak);
    while (p < lineEnd && IsBlank(*p)) ++p;
    while (lineEnd > p && IsBlank(lineEnd[-1])) --lineEnd;
    if (p < lineEnd) AddLine(file, p, lineEnd);
    p = next;
  }
  return file;
}

SettingsDocument ReadSettingsFile(const std::wstring& path) {
  FileHandle handle(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.IsOpen()) {
    const DWORD error = GetLastError();
    return UnreadDocument(error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND);
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(handle.Get(), &size)) return UnreadDocument(true);
  std::string bytes(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, MaxFileBytes)), '\0');
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(handle.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    return UnreadDocument(true);
  }
  return ParseSettings(bytes);
}

std::optional<std::string> FindSettingsValue(const SettingsDocument& file, const char* section, const char* key) {
  const SettingsLine* line = FindLine(file, section, key);
  if (!line || !line->Value) return std::nullopt;
  return IsQuoted(*line->Value) ? line->Value->substr(1, line->Value->size() - 2) : *line->Value;
}

uint32_t ReadSettingsNumber(const SettingsDocument& file, const char* section, const char* key, int32_t byDefault) {
  const SettingsLine* line = FindLine(file, section, key);
  const std::string text = line && line->Value ? CopiedValue(*line->Value, NumberBufferSize) : "";
  return text.empty() ? static_cast<uint32_t>(byDefault) : ParsedNumber(text);
}

void SetSettingsValue(SettingsDocument& file, const char* sectionName, const char* keyName,
                      const std::string& value) {
  // Leading blanks of a value are dropped, as they would be when the file is read again.
  const char* start = value.c_str();
  while (IsBlank(*start)) ++start;
  const std::string kept = start;
  const std::string name = TrimmedName(sectionName);
  SettingsSection* section = FindSection(file, name);
  if (!section) {
    file.Sections.push_back({name, {}});
    section = &file.Sections.back();
  }
  SettingsLine* line = FindLine(section, keyName);
  if (line && line->Value == kept) return;
  file.Changed = true;
  if (line) {
    line->Value = kept;
  } else {
    section->Lines.push_back({TrimmedName(keyName), kept});
  }
}

SettingsFileWriter WriteSettingsBytes = WriteFile;

bool WriteSettingsFile(const std::wstring& path, const SettingsDocument& file) {
  if (path.empty()) return false;
  const std::string content = SettingsFileContent(file);
  const std::wstring temporary = TemporaryPathBeside(path);
  if (content.size() > MaxFileBytes || !WriteWholeFile(temporary, content) ||
      !MoveFileExW(ExtendedLengthPath(temporary).c_str(), ExtendedLengthPath(path).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(ExtendedLengthPath(temporary).c_str());
    return false;
  }
  return true;
}

bool CanReplaceSettingsFile(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    // The access a replacement needs, sharing everything: only another program's hold on the file refuses it.
    constexpr DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const FileHandle held(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE | DELETE, everyone, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.IsOpen()) return false;
  }
  const FileHandle probe(CreateFileW(ExtendedLengthPath(TemporaryPathBeside(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return probe.IsOpen();
}
