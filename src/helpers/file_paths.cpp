// Paths: splitting one into its parts, the executable's own path and folder, and whether a file exists.
#include "helpers/file_paths.h"
#include <windows.h>
#include <cstdio>

PathParts SplitPath(const char* path) {
  size_t folderEnd = 0;
  size_t lastDot = static_cast<size_t>(-1);
  const char* p = path;
  while (*p) {
    const size_t at = static_cast<size_t>(p - path);
    if (*p == '\\' || *p == '/' || *p == ':') {
      folderEnd = at + 1;
      lastDot = static_cast<size_t>(-1);
    } else if (*p == '.') {
      lastDot = at;
    }
    p = IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? p + 2 : p + 1;
  }
  const size_t end = static_cast<size_t>(p - path);
  const size_t nameEnd = lastDot == static_cast<size_t>(-1) ? end : lastDot;
  return PathParts{folderEnd, nameEnd - folderEnd, end - nameEnd};
}

bool GetExecutablePath(char* path) {
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return true;
  path[0] = '\0';  // a cut path would name another file
  return false;
}

bool GetExecutableFolder(char* folder) {
  if (!GetExecutablePath(folder)) return false;
  folder[SplitPath(folder).FolderLength] = '\0';
  return true;
}

bool FileExists(const char* path) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

const char* FileNamePart(const char* path) { return path + SplitPath(path).FolderLength; }

const wchar_t* FileNamePart(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; ++p) {
    if (*p == L'\\' || *p == L'/' || *p == L':') name = p + 1;
  }
  return name;
}

bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

bool PathBesideProgram(const char* extension, char* path) {
  path[0] = '\0';
  char module[MAX_PATH];
  if (!GetExecutablePath(module)) return false;
  const PathParts parts = SplitPath(module);
  const int stemLength = static_cast<int>(parts.FolderLength + parts.NameLength);
  const int written = snprintf(path, MAX_PATH, "%.*s%s", stemLength, module, extension);
  if (written > 0 && written < MAX_PATH) return true;
  path[0] = '\0';
  return false;
}
