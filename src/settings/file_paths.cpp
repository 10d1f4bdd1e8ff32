// Splitting a path into its folder, base name and extension.
#include "settings/file_paths.h"
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

bool PathBesideProgram(const char* extension, char* path) {
  path[0] = '\0';
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const PathParts parts = SplitPath(module);
  const int stemLength = static_cast<int>(parts.FolderLength + parts.NameLength);
  const int written = snprintf(path, MAX_PATH, "%.*s%s", stemLength, module, extension);
  if (written > 0 && written < MAX_PATH) return true;
  path[0] = '\0';
  return false;
}
