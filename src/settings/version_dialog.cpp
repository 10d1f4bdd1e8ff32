// The version dialog (template 104): shows "Tavrilo Version " and the number made of the FileVersion in the
// executable's own version resource; any failure to read it leaves the template's text.
#include "settings/version_dialog.h"
#include <memory>
#include <new>
#include "helpers/file_paths.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "records/app_globals.h"
#include "resources/resource.h"

namespace {

// The FileVersion text of the first translation in a version block, or null when there is none.
const char* FileVersionText(const void* block) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) || length < 2 * sizeof(WORD)) {
    return nullptr;
  }
  const WORD* translation = static_cast<const WORD*>(value);
  char name[64];
  wsprintfA(name, "\\StringFileInfo\\%04x%04x\\FileVersion", translation[0], translation[1]);
  if (!VerQueryValueA(block, name, &value, &length) || length == 0) return nullptr;
  const char* text = static_cast<const char*>(value);
  return text[0] != '\0' ? text : nullptr;
}

void ShowVersionText(HWND dialog) {
  wchar_t path[MAX_PATH];
  if (!GetExecutablePath(path)) return;
  const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
  if (size == 0) return;
  const std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]());
  if (!block || !GetFileVersionInfoW(path, 0, size, block.get())) return;
  const char* fileVersion = FileVersionText(block.get());
  if (!fileVersion) return;
  char number[VersionNumberSize];
  FormatVersionNumber(number, sizeof number, fileVersion);
  wchar_t prefix[128] = L"";
  LoadStringW(AppInstance, IDS_VERSION_PREFIX, prefix, 128);
  SetDlgItemTextW(dialog, IDC_VERSION_TEXT, (prefix + WidenAscii(number, lstrlenA(number))).c_str());
}

}  // namespace

void FormatVersionNumber(char* out, size_t outSize, const char* in) {
  if (outSize == 0) return;
  size_t used = 0;
  bool pointWritten = false;
  const int length = lstrlenA(in);
  for (int i = 0; i < length && used + 1 < outSize; ++i) {
    const char c = in[i];
    if (c >= '0' && c <= '9') {
      out[used++] = c;
    } else if (c == ' ' && !pointWritten) {
      out[used++] = '.';
      pointWritten = true;
    }
  }
  out[used] = '\0';
}

bool ShowVersionDialog(HWND owner) {
  return DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_VERSION), owner, VersionDialogProc, 0) == IDOK;
}

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterWindowOnScreen(dialog);
      ShowVersionText(dialog);
      return TRUE;  // the system puts the focus on OK
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id != IDOK && id != IDCANCEL) return FALSE;
      EndDialog(dialog, id);
      return TRUE;
    }
    default:
      return FALSE;
  }
}
