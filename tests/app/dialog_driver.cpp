// Dialogs, message boxes and the Save As dialog of a running Tavrilo.exe, handled from outside.
#include "app/dialog_driver.h"
#include "support/poll.h"

namespace app {

HWND OpenDialogFromMenu(const RunningApp& app, char mnemonic, const std::string& title) {
  return ChooseFromMenu(app, mnemonic) ? WaitForDialog(app, title) : nullptr;
}

HWND ReopenDialog(const RunningApp& app, WORD command, const std::string& title) {
  PostMessageA(app.Window, WM_COMMAND, command, 0);
  return WaitForDialog(app, title);
}

HWND WaitForDialog(const RunningApp& app, const std::string& title, DWORD timeoutMs) {
  return test::PollForWindow([&] { return test::FindDialogOf(app.Process.dwProcessId, title); }, timeoutMs);
}

HWND FindAnyDialog(const RunningApp& app) {
  return test::FindVisibleWindow(test::DialogClass,
                                 [&app](HWND dialog) { return test::BelongsTo(dialog, app.Process.dwProcessId); });
}

bool WaitForNoDialog(const RunningApp& app, DWORD timeoutMs) {
  return test::PollUntil([&app] { return !FindAnyDialog(app); }, timeoutMs);
}

bool EndDialogWith(const RunningApp& app, HWND dialog, int button) {
  PressButton(dialog, button);
  // A dialog is destroyed once its loop has ended, and the program's thread answers a message only back in a
  // loop: what the command does after its dialog (the hotkeys registered again after Cancel) is then done.
  DWORD_PTR answer = 0;
  return WaitForNoDialog(app) && test::PollUntil([dialog] { return !IsWindow(dialog); }) &&
         SendMessageTimeoutA(app.Window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

// Wine may make the desktop the foreground window late, after a window closed before this one came forward: a key
// typed then is lost, so one that did not answer is pressed again, at most three times.
bool AnswerWithKey(HWND window, WORD key) {
  const auto answered = [window] { return !IsWindowVisible(window); };
  for (int attempt = 0; attempt < 3 && !answered(); ++attempt) {
    if (!BringToFront(window)) return answered();
    PressKeys({key});
    test::PollUntil(answered, 5000);
  }
  return answered();
}

std::string ControlText(HWND dialog, int id) { return test::WindowText(GetDlgItem(dialog, id)); }

void SetControlText(HWND dialog, int id, const std::string& text) { test::SetText(GetDlgItem(dialog, id), text); }

MessageBoxText AnswerMessageBox(const RunningApp& app, int button, DWORD timeoutMs) {
  const HWND box = test::PollForWindow([&app] { return test::FindMessageBoxOf(app.Process.dwProcessId); }, timeoutMs);
  if (!box) return MessageBoxText{};
  const MessageBoxText seen = test::ReadAndAnswer(box, button);
  // Until the box is gone its owner is disabled, and input meant for the owner would be lost.
  test::PollUntil([box] { return !IsWindow(box); });
  return seen;
}

}  // namespace app
