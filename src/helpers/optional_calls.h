// The system functions looked up at run time, in one place: those that some supported versions of Windows lack
// (linking any would keep the program from starting there), and those of the system DLLs outside Windows' list
// of known DLLs, loaded from System32 only: as imports they would be looked for beside the program first, where
// a planted DLL of the same name (in a Downloads folder, say) would run with the user's rights.
#pragma once
#include <windows.h>
#include <mmsystem.h>

struct OptionalCallTable {
  UINT(WINAPI* GetDpiForWindow)(HWND);  // Windows 10 1607 on
  BOOL(WINAPI* SetProcessInformation)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);  // Windows 8 on
  BOOL(WINAPI* SetDefaultDllDirectories)(DWORD);  // Windows 8 on, and Windows 7 with KB2533623
  void(WINAPI* GetSystemTimePreciseAsFileTime)(FILETIME*);  // Windows 8 on
  HRESULT(WINAPI* RegisterApplicationRestart)(PCWSTR, DWORD);  // Vista on
};

// Looked up once, at the first use; a function the system lacks is null, and each caller says what it does then.
const OptionalCallTable& OptionalCalls();

// winmm's and version's calls, typed as the system declares them.
struct SystemDllCallTable {
  decltype(&::timeBeginPeriod) timeBeginPeriod;
  decltype(&::timeEndPeriod) timeEndPeriod;
  decltype(&::mciSendCommandW) mciSendCommandW;
  decltype(&::mciGetErrorStringW) mciGetErrorStringW;
  decltype(&::GetFileVersionInfoSizeW) GetFileVersionInfoSizeW;
  decltype(&::GetFileVersionInfoW) GetFileVersionInfoW;
  decltype(&::VerQueryValueW) VerQueryValueW;
};

// Both DLLs loaded from System32 and their calls looked up once, at the first use; a call of a DLL that could not
// be loaded is null, and each caller says what it does then.
const SystemDllCallTable& SystemDllCalls();

// Takes the program's folder and the current directory out of the search for every DLL loaded later (System32
// only); where the system cannot (Windows 7 without KB2533623), at least the current directory. Called first
// thing in WinMain.
void RestrictDllSearch();
