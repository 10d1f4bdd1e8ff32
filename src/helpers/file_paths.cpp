// Paths: the file name within one, the executable's own path and folder, and whether a file exists.
#include "helpers/file_paths.h"
#include <windows.h>
#include <string>

const wchar_t* FileNamePart(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; ++p) {
    if (*p == L'\\' || *p == L'/' || *p == L':') name = p + 1;
  }
  return name;
}

bool GetExecutablePath(wchar_t* path) {
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return true;
  path[0] = L'\0';  // a cut path would name another file
  return false;
}

bool GetExecutableFolder(wchar_t* folder) {
  if (!GetExecutablePath(folder)) return false;
  folder[FileNamePart(folder) - folder] = L'\0';
  return true;
}

bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

bool PathBesideProgram(const wchar_t* extension, wchar_t* path) {
  path[0] = L'\0';
  wchar_t module[MAX_PATH];
  if (!GetExecutablePath(module)) return false;
  const wchar_t* const name = FileNamePart(module);
  const wchar_t* const dot = wcsrchr(name, L'.');
  const wchar_t* const stem = dot ? dot : name + wcslen(name);
  const std::wstring beside = std::wstring(module, static_cast<size_t>(stem - module)) + extension;
  if (beside.size() >= static_cast<size_t>(MAX_PATH)) return false;
  lstrcpynW(path, beside.c_str(), MAX_PATH);
  return true;
}
