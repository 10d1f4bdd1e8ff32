// The run-time lookups of optional system functions.
#include "helpers/optional_calls.h"

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
  return calls;
}

}  // namespace

const OptionalCallTable& OptionalCalls() {
  static const OptionalCallTable calls = LookUpAll();
  return calls;
}
