// Drives a real Tavrilo.exe from outside, as a user would: a copy in a fresh folder, its window found, input
// sent to it through the system's input queue, its pixels and files read, and its exit awaited.
#pragma once
#include <windows.h>
#include <atomic>
#include <initializer_list>
#include <string>
#include <thread>

namespace app {

struct RunningApp {
  std::string Folder;  // holds Tavrilo.exe and its settings file
  std::string Fresh;   // the fresh folder that holds Folder, where it is nested; removed with it
  PROCESS_INFORMATION Process = {};
  HWND Window = nullptr;
};

// The settings file beside the copy, and one of its values as stored (Shift-JIS bytes); empty when it is not there.
std::string IniPathOf(const RunningApp& app);
std::string StoredSetting(const RunningApp& app, const char* section, const char* key);
// Copies the program into a fresh folder named from `folderPrefix`, with `ini` as its settings file unless it is
// empty, and there within `nested` folders of 60 characters each. The tests' folders have Japanese names, which the
// system's code page may not hold.
RunningApp PrepareApp(const std::string& ini = "", const std::string& folderPrefix = "tavrilo-app-計測-",
                      int nested = 0);
// Starts the prepared copy and waits for its main window; false when no window appeared.
bool Launch(RunningApp& app);
// Starts another copy of the same executable; returns its process (the caller waits on and closes it).
PROCESS_INFORMATION LaunchSecondCopy(const RunningApp& app);
// Asks the window to close and returns the exit code (or STILL_ACTIVE when it did not end in time).
DWORD CloseApp(RunningApp& app, DWORD timeoutMs = 10000);
// Ends the process however it is and removes the folder; safe to call twice.
void Dispose(RunningApp& app);

RECT ClientRect(const RunningApp& app);
// Real input, through the system's input queue as a user's comes (not posted to the window, which would put it
// in order with the program's own posted messages). Keys go to the focus of the window in front; the helpers
// that take an app bring its main window to the front first. Positions are in its client area.
// Brings the window's top-level window to the front and waits until it is its thread's active window; false
// when it is disabled (a box or dialog of its own is in front) or did not come.
bool BringToFront(HWND window);
// Presses the keys in order and releases them in reverse (Ctrl+C: {VK_CONTROL, 'C'}).
void PressKeys(std::initializer_list<WORD> keys);
// Types a character as its key (with Shift when the layout needs it) to whatever window is in front.
void TypeKey(char character);
void TypeChar(const RunningApp& app, char character);
enum class MouseButton { Left, Right, Middle };
void MoveMouse(const RunningApp& app, int x, int y);
// Moves the mouse to the point, then presses and releases the button there.
void PressButton(const RunningApp& app, MouseButton button, int x, int y);
void Click(const RunningApp& app, int x, int y);
void MiddleClick(const RunningApp& app, int x, int y);
// Both buttons pressed, the first before the second, and released in the same order.
void Chord(const RunningApp& app, bool leftFirst, int x, int y);
// While it lives, a thread moves the mouse to and fro over a window's client area every millisecond or so, as a
// quick hand does.
class MovingMouse {
 public:
  explicit MovingMouse(HWND window);
  ~MovingMouse();
  MovingMouse(const MovingMouse&) = delete;
  MovingMouse& operator=(const MovingMouse&) = delete;
  // Waits until the mouse has been moved `count` times more; false when that took over 15 s.
  bool WaitForMoves(int count) const;

 private:
  std::atomic<int> moves_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
// Another program: a window of the test process, which takes the keys pressed while it is in front (so that only
// the system's hotkeys reach the program) and can hold a hotkey itself.
class OtherProgram {
 public:
  OtherProgram();
  ~OtherProgram() { DestroyWindow(window_); }
  HWND Window() const { return window_; }
  // Registers a hotkey, as a program that uses the key would; false when the system refused.
  bool HoldHotKey(UINT modifiers, UINT key) { return RegisterHotKey(window_, 1, modifiers, key) != FALSE; }
  // How many presses of the held hotkey have reached the window.
  int HeldKeyPresses();
  // Brings this window to the front and presses Ctrl+Alt+`key` there: only a hotkey reaches another program.
  bool PressCtrlAlt(WORD key);

 private:
  HWND window_;
  int presses_ = 0;
};
bool MenuIsOpen(const RunningApp& app);
// How a user opens the pop-up menu: a right click at (20, 20), the menu key, or Shift+F10.
enum class MenuOpener { RightButton, MenuKey, ShiftF10 };
// Opens the pop-up menu and chooses an item by its mnemonic key (or leaves it with '\x1b', Escape); false when the menu did not open or close. The
// menu's top-left corner, in client coordinates, goes to `origin` if given.
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
// Input takes effect a moment later: these wait for what it leads to.
// True once the picture has stayed the same for `quietMs` (false when it still changes after the timeout).
bool Settles(const RunningApp& app, DWORD quietMs = 250, DWORD timeoutMs = 10000);
// True when the picture keeps changing (twice within the timeout): a measurement is running.
bool KeepsChanging(const RunningApp& app, DWORD timeoutMs = 10000);


}  // namespace app
