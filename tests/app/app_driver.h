// Drives a real Tavrilo.exe from outside, as a user would: a copy in a fresh folder, its window found, input
// posted to it, its pixels and files read, and its exit awaited.
#pragma once
#include <windows.h>
#include <string>

namespace app {

struct RunningApp {
  std::string Folder;  // holds Tavrilo.exe and its settings file
  PROCESS_INFORMATION Process = {};
  HWND Window = nullptr;
};

// The settings file beside the copy.
std::string IniPathOf(const RunningApp& app);
// Copies the program into a fresh folder, with `ini` as its settings file unless it is empty.
RunningApp PrepareApp(const std::string& ini = "");
// Starts the prepared copy and waits for its main window; false when no window appeared.
bool Launch(RunningApp& app);
// Starts another copy of the same executable; returns its process (the caller waits on and closes it).
PROCESS_INFORMATION LaunchSecondCopy(const RunningApp& app);
// Asks the window to close and returns the exit code (or STILL_ACTIVE when it did not end in time).
DWORD CloseApp(RunningApp& app, DWORD timeoutMs = 10000);
// Ends the process however it is and removes the folder; safe to call twice.
void Dispose(RunningApp& app);

RECT ClientRect(const RunningApp& app);
// Client-area mouse and key input, posted to the window as the system would deliver it.
void Click(const RunningApp& app, int x, int y);
void PressButton(const RunningApp& app, UINT downMessage, UINT upMessage, WPARAM downKeys, int x, int y);
void Chord(const RunningApp& app, bool leftFirst, int x, int y);
void MiddleClick(const RunningApp& app, int x, int y);
void TypeChar(const RunningApp& app, char character);
// How a user opens the pop-up menu: a right click at (20, 20), the menu key, or Shift+F10, which Windows' default
// window procedure turns into WM_CONTEXTMENU at position -1 (posted as such: a posted key carries no Shift).
enum class MenuOpener { RightButton, MenuKey, ShiftF10 };
// Opens the pop-up menu and chooses an item by its mnemonic; false when the menu did not open or close. The menu's
// top-left corner, in client coordinates, goes to `origin` if given.
[[nodiscard]] bool ChooseFromMenu(const RunningApp& app, char mnemonic, MenuOpener opener = MenuOpener::RightButton,
                                  POINT* origin = nullptr);

// The window's client area as the screen shows it, one 0x00RRGGBB value per pixel, row by row.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::string Pixels;  // 4 bytes per pixel
  bool operator==(const Picture& other) const { return Pixels == other.Pixels && Width == other.Width; }
  bool operator!=(const Picture& other) const { return !(*this == other); }
  COLORREF At(int x, int y) const;
};
Picture Capture(const RunningApp& app);
// Waits until the picture changes from `before` (true) or the timeout passes (false).
bool WaitForChange(const RunningApp& app, const Picture& before, DWORD timeoutMs = 10000);
// Input is posted, so it takes effect a moment later: these wait for what it leads to.
// True once the picture has stayed the same for `quietMs` (false when it still changes after the timeout).
bool Settles(const RunningApp& app, DWORD quietMs = 250, DWORD timeoutMs = 10000);
// True when the picture keeps changing (twice within the timeout): a measurement is running.
bool KeepsChanging(const RunningApp& app, DWORD timeoutMs = 10000);


}  // namespace app
