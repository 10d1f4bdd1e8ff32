// Dialogs, message boxes and the Save As dialog of a running Tavrilo.exe, handled from outside as a user would.
#pragma once
#include <windows.h>
#include <string>
#include "app/app_driver.h"
#include "support/process_windows.h"

namespace app {

// The process's visible dialog window (class #32770) with this title, or null once the timeout passes.
HWND WaitForDialog(const RunningApp& app, const std::string& title, DWORD timeoutMs = 15000);
// Opens a dialog through the pop-up menu item with this mnemonic. Returns the dialog, or null.
HWND OpenDialogFromMenu(const RunningApp& app, char mnemonic, const std::string& title);
// Opens a dialog again by its menu item's command, not through the menu: right after a dialog has closed, the
// activation that follows may close a pop-up menu as soon as it opens. Returns the dialog, or null.
HWND ReopenDialog(const RunningApp& app, WORD command, const std::string& title);
// Any visible dialog window of the process, or null.
HWND FindAnyDialog(const RunningApp& app);
// True once no dialog of the process is visible any more.
bool WaitForNoDialog(const RunningApp& app, DWORD timeoutMs = 15000);
// Ends a dialog with a button (OK, Cancel...) and waits until no dialog of the process is left and the command
// that opened it has finished.
bool EndDialogWith(const RunningApp& app, HWND dialog, int button);

// Brings a box or dialog to the front and presses a key there (VK_RETURN, VK_ESCAPE, 'N'...), as a user would;
// true once it has closed.
bool AnswerWithKey(HWND window, WORD key);
// Control texts through WM_GETTEXT/WM_SETTEXT, which work across processes.
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// Shared with the in-process tests: pressing a dialog's button, a message box's texts and the Save As dialog's
// file name box.
using test::MessageBoxText;
using test::PressButton;
using test::SaveAsNameEdit;

// Waits for a message box of the process, reads it, answers it with `button` (IDOK, IDYES, IDNO...) and waits until
// it is gone. Both texts are empty when none appeared in time.
MessageBoxText AnswerMessageBox(const RunningApp& app, int button, DWORD timeoutMs = 15000);

}  // namespace app
