// The run-time lookups of system functions, and the DLL search restricted to System32.
#include "helpers/optional_calls.h"
#include <string>

namespace {

// Through the one function pointer type that converts to any other without a warning.
template <typename Function>
void LookUp(Function& call, HMODULE module, const char* name) {
  const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  call = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

OptionalCallTable LookUpAll() {
  OptionalCallTable calls = {};
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  LookUp(calls.GetDpiForWindow, user32, "GetDpiForWindow");
  LookUp(calls.SetProcessInformation, kernel32, "SetProcessInformation");
  LookUp(calls.SetDefaultDllDirectories, kernel32, "SetDefaultDllDirectories");
  LookUp(calls.GetSystemTimePreciseAsFileTime, kernel32, "GetSystemTimePreciseAsFileTime");
  LookUp(calls.RegisterApplicationRestart, kernel32, "RegisterApplicationRestart");
  return calls;
}

// A DLL from System32 alone. A system that does not know the flag (Windows 7 without KB2533623) refuses it with
// ERROR_INVALID_PARAMETER: there the DLL is loaded by its full path, its own imports looked for beside it first.
HMODULE LoadFromSystem32(const wchar_t* name) {
  const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemDllCallTable LoadAndLookUpAll() {
  SystemDllCallTable calls = {};
  const HMODULE winmm = LoadFromSystem32(L"winmm.dll");
  LookUp(calls.timeBeginPeriod, winmm, "timeBeginPeriod");
  LookUp(calls.timeEndPeriod, winmm, "timeEndPeriod");
  LookUp(calls.mciSendCommandW, winmm, "mciSendCommandW");
  LookUp(calls.mciGetErrorStringW, winmm, "mciGetErrorStringW");
  const HMODULE version = LoadFromSystem32(L"version.dll");
  LookUp(calls.GetFileVersionInfoSizeW, version, "GetFileVersionInfoSizeW");
  LookUp(calls.GetFileVersionInfoW, version, "GetFileVersionInfoW");
  LookUp(calls.VerQueryValueW, version, "VerQueryValueW");
  return calls;
}

}  // namespace

const OptionalCallTable& OptionalCalls() {
  static const OptionalCallTable calls = LookUpAll();
  return calls;
}

const SystemDllCallTable& SystemDllCalls() {
  static const SystemDllCallTable calls = LoadAndLookUpAll();
  return calls;
}

void RestrictDllSearch() {
  const auto setDefaultDirectories = OptionalCalls().SetDefaultDllDirectories;
  if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}
