// The bounded wait of the tests that need no message pump: a thread or process that owns no window, or looks at
// another process. (WaitUntil of test_support.h pumps messages while it waits.)
#pragma once
#include <windows.h>
#include <functional>

namespace test {

// Checks the condition every `intervalMs` until it holds (true) or `timeoutMs` has passed (false). The default
// bound is generous: on a busy machine a Wine process can stall for seconds.
inline bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000, DWORD intervalMs = 10) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(intervalMs);
  }
  return true;
}

}  // namespace test
