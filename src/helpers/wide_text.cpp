// Conversions with code page 932 only, never the system's.
#include "helpers/wide_text.h"
#include <windows.h>

namespace {
constexpr UINT ShiftJis = 932;
}

std::wstring FromShiftJis(const char* text) {
  const int length = MultiByteToWideChar(ShiftJis, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(ShiftJis, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

bool ToShiftJis(const wchar_t* text, char* buffer, size_t size) {
  buffer[0] = '\0';
  BOOL lost = FALSE;
  const int needed = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lost);
  if (needed <= 0 || lost) return false;
  if (static_cast<size_t>(needed) > size) return false;
  WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, buffer, needed, nullptr, nullptr);
  return true;
}
