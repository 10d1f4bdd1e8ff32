// The system functions that some supported versions of Windows lack, looked up at run time in one place: linking
// any of them would keep the program from starting where it is missing.
#pragma once
#include <windows.h>

struct OptionalCallTable {
  UINT(WINAPI* GetDpiForWindow)(HWND);  // Windows 10 1607 on
  BOOL(WINAPI* SetProcessInformation)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);  // Windows 8 on
};

// Looked up once, at the first use; a function the system lacks is null, and each caller says what it does then.
const OptionalCallTable& OptionalCalls();
