// Paths: the file name within one, the executable's own path and folder, whether a file exists, and the
// extended-length form of a long path.
#include "helpers/file_paths.h"
#include <windows.h>

namespace {

// The longest path Windows has, with its terminating null.
constexpr DWORD LongestPathBuffer = 32768;

bool StartsWith(const std::wstring& text, const wchar_t* start) { return text.compare(0, wcslen(start), start) == 0; }

}  // namespace

const wchar_t* FileNamePart(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; ++p) {
    if (*p == L'\\' || *p == L'/' || *p == L':') name = p + 1;
  }
  return name;
}

std::wstring GetExecutablePath() {
  // The buffer grows until the path fits; a path cut to the buffer would name another file.
  for (DWORD size = MAX_PATH;; size = size * 2 < LongestPathBuffer ? size * 2 : LongestPathBuffer) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], size);
    if (length == 0) return {};
    if (length < size) return path.substr(0, length);
    if (size == LongestPathBuffer) return {};
  }
}

std::wstring GetExecutableFolder() {
  const std::wstring path = GetExecutablePath();
  return path.substr(0, static_cast<size_t>(FileNamePart(path.c_str()) - path.c_str()));
}

bool FileExists(const wchar_t* path) {
  return GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring PathBesideProgram(const wchar_t* extension) {
  const std::wstring module = GetExecutablePath();
  if (module.empty()) return {};
  const size_t name = static_cast<size_t>(FileNamePart(module.c_str()) - module.c_str());
  const size_t dot = module.rfind(L'.');
  return module.substr(0, dot != std::wstring::npos && dot >= name ? dot : module.size()) + extension;
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
  if (StartsWith(path, L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  const bool drive = ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                     path[1] == L':' && path[2] == L'\\';
  return drive ? L"\\\\?\\" + path : path;
}
