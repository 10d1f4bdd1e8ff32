// Drives a real Tavrilo.exe from outside, as a user would.
#include "app/app_driver.h"
#include <winternl.h>
#include <initializer_list>
#include <iterator>
#include <vector>
#include "settings/settings_file.h"
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"

// ntdll's process creation, which mingw-w64's headers lack.
extern "C" {
struct RtlUserProcessInformation {
  ULONG Length;
  HANDLE Process;
  HANDLE Thread;
  CLIENT_ID ClientId;
  BYTE ImageInformation[64];  // SECTION_IMAGE_INFORMATION
};
constexpr ULONG RTL_USER_PROC_PARAMS_NORMALIZED = 1;
NTSTATUS NTAPI RtlCreateProcessParametersEx(RTL_USER_PROCESS_PARAMETERS** parameters, UNICODE_STRING* image,
                                            UNICODE_STRING* dllPath, UNICODE_STRING* currentFolder,
                                            UNICODE_STRING* commandLine, void* environment, UNICODE_STRING* title,
                                            UNICODE_STRING* desktop, UNICODE_STRING* shellInfo,
                                            UNICODE_STRING* runtimeData, ULONG flags);
void NTAPI RtlDestroyProcessParameters(RTL_USER_PROCESS_PARAMETERS* parameters);
NTSTATUS NTAPI RtlCreateUserProcess(UNICODE_STRING* image, ULONG attributes, RTL_USER_PROCESS_PARAMETERS* parameters,
                                    void* processSecurity, void* threadSecurity, HANDLE parent, BOOLEAN inheritHandles,
                                    HANDLE debugPort, HANDLE token, RtlUserProcessInformation* information);
}

namespace app {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string ProgramPath() {
  return FolderOf(test::ExecutableFolder()) + "\\Tavrilo.exe";  // the tests live in a folder beside the program
}

std::string ExePathOf(const RunningApp& app) { return app.Folder + "\\Tavrilo.exe"; }

// Starts the copy in its folder. Wine's CreateProcessW cannot start a program whose path is MAX_PATH characters or
// longer (it looks for the file in a buffer of that size), and a current folder that long overruns its process
// parameters: such a copy is started through the call CreateProcessW makes, in the test's own current folder.
bool StartCopy(const RunningApp& app, PROCESS_INFORMATION& process) {
  const std::wstring exe = test::Wide(ExePathOf(app));
  if (exe.size() < MAX_PATH) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, test::Wide(app.Folder).c_str(),
                          &startup, &process) != FALSE;
  }
  const std::wstring commandLine = L"\"" + exe + L"\"";
  UNICODE_STRING image, command, ntImage = {};
  RtlInitUnicodeString(&image, exe.c_str());
  RtlInitUnicodeString(&command, commandLine.c_str());
  RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
  if (RtlCreateProcessParametersEx(&parameters, &image, nullptr, nullptr, &command, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, RTL_USER_PROC_PARAMS_NORMALIZED) != 0) {
    return false;
  }
  RtlUserProcessInformation started = {sizeof started, nullptr, nullptr, {}, {}};
  const bool created = RtlDosPathNameToNtPathName_U(exe.c_str(), &ntImage, nullptr, nullptr) &&
                       RtlCreateUserProcess(&ntImage, OBJ_CASE_INSENSITIVE, parameters, nullptr, nullptr, nullptr,
                                            FALSE, nullptr, nullptr, &started) == 0;
  RtlFreeUnicodeString(&ntImage);
  RtlDestroyProcessParameters(parameters);
  if (!created) return false;
  ResumeThread(started.Thread);
  process = {started.Process, started.Thread, GetProcessId(started.Process), GetThreadId(started.Thread)};
  return true;
}

HWND OpenMenuWindow(const RunningApp& app) {
  return test::FindWindowOf(app.Process.dwProcessId, test::PopUpMenuClass);
}

}  // namespace

std::string IniPathOf(const RunningApp& app) { return app.Folder + "\\Tavrilo.ini"; }

std::string StoredSetting(const RunningApp& app, const char* section, const char* key) {
  return FindSettingsValue(ParseSettings(test::ReadBytes(IniPathOf(app))), section, key).value_or("");
}

RunningApp PrepareApp(const std::string& ini, const std::string& folderPrefix, int nested) {
  RunningApp app;
  app.Folder = test::MakeFreshFolder(folderPrefix);
  app.Fresh = app.Folder;
  for (int i = 0; i < nested; ++i) {
    app.Folder += "\\" + std::string(58, static_cast<char>('a' + i)) + "計";
    CreateDirectoryW(test::Wide(app.Folder).c_str(), nullptr);
  }
  CopyFileW(test::Wide(ProgramPath()).c_str(), test::Wide(ExePathOf(app)).c_str(), FALSE);
  if (!ini.empty()) test::WriteBytes(IniPathOf(app), ini);
  return app;
}

bool Launch(RunningApp& app) {
  if (!StartCopy(app, app.Process)) return false;
  test::PollUntil([&app] {
    app.Window = test::FindWindowOf(app.Process.dwProcessId, "StopWatchClass");
    return app.Window || WaitForSingleObject(app.Process.hProcess, 0) == WAIT_OBJECT_0;
  });
  if (!app.Window) return false;
  WaitForInputIdle(app.Process.hProcess, 5000);
  return true;
}

PROCESS_INFORMATION LaunchSecondCopy(const RunningApp& app) {
  PROCESS_INFORMATION process = {};
  StartCopy(app, process);
  return process;
}

DWORD CloseApp(RunningApp& app, DWORD timeoutMs) {
  PostMessageA(app.Window, WM_CLOSE, 0, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(app.Process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(app.Process.hProcess, &code);
  }
  return code;
}

void Dispose(RunningApp& app) {
  if (app.Process.hProcess) {
    if (WaitForSingleObject(app.Process.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(app.Process.hProcess, 1);
      WaitForSingleObject(app.Process.hProcess, 5000);
    }
    CloseHandle(app.Process.hThread);
    CloseHandle(app.Process.hProcess);
    app.Process = {};
  }
  if (!app.Folder.empty()) test::RemoveFolder(app.Fresh.empty() ? app.Folder : app.Fresh);
  app.Folder.clear();
  app.Fresh.clear();
}

RECT ClientRect(const RunningApp& app) {
  RECT client = {};
  GetClientRect(app.Window, &client);
  return client;
}

namespace {

void SendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// An absolute position in the 0..65535 units of the primary screen that the system maps back to this pixel.
LONG Normalized(LONG pixel, int screenMetric) {
  const LONG size = GetSystemMetrics(screenMetric);
  return static_cast<LONG>((static_cast<LONGLONG>(pixel) * 65536 + size - 1) / size);
}

INPUT MoveInput(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  INPUT input = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  input.mi.dx = Normalized(point.x, SM_CXSCREEN);
  input.mi.dy = Normalized(point.y, SM_CYSCREEN);
  return input;
}

DWORD DownFlag(MouseButton button) {
  switch (button) {
    case MouseButton::Left: return MOUSEEVENTF_LEFTDOWN;
    case MouseButton::Right: return MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::Middle: break;
  }
  return MOUSEEVENTF_MIDDLEDOWN;
}
// Each button's up flag is twice its down flag.
DWORD UpFlag(MouseButton button) { return DownFlag(button) << 1; }

}  // namespace

bool MenuIsOpen(const RunningApp& app) { return OpenMenuWindow(app) != nullptr; }

bool BringToFront(HWND window) {
  const HWND top = GetAncestor(window, GA_ROOT);
  if (!IsWindowEnabled(top)) return false;  // a user cannot bring it forward either: its box is in front
  const DWORD thread = GetWindowThreadProcessId(top, nullptr);
  const auto active = [top, thread] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == top && GetGUIThreadInfo(thread, &info) && info.hwndActive == top &&
           (info.hwndFocus == top || IsChild(top, info.hwndFocus));
  };
  // Asked for again while it waits: an activation owed to another window (a box that has just closed hands it
  // back to its owner, in another process) can take the foreground after the first request.
  const auto activated = [&] { return active() || (SetForegroundWindow(top), false); };
  if (!test::PollUntil(activated, 5000)) return false;
  // The keyboard focus must be in it too: a dialog opened while another program was in front takes its focus
  // only once it is activated, and keys typed before then are lost. Once it has answered a sent message, its
  // thread has also taken the activation sent before it: a late one would close a pop-up menu that the input
  // about to come opens.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(KeyInput(*key, true));
  SendInputs(inputs);
}

void TypeKey(char character) {
  const SHORT scan = VkKeyScanA(character);
  const WORD key = LOBYTE(scan);
  if (HIBYTE(scan) & 1) {
    PressKeys({VK_SHIFT, key});
  } else {
    PressKeys({key});
  }
}

void TypeChar(const RunningApp& app, char character) {
  BringToFront(app.Window);
  TypeKey(character);
}

void MoveMouse(const RunningApp& app, int x, int y) { SendInputs({MoveInput(app.Window, x, y)}); }

void PressButton(const RunningApp& app, MouseButton button, int x, int y) {
  BringToFront(app.Window);
  SendInputs({MoveInput(app.Window, x, y), MouseInput(DownFlag(button)), MouseInput(UpFlag(button))});
}

void Click(const RunningApp& app, int x, int y) { PressButton(app, MouseButton::Left, x, y); }

void MiddleClick(const RunningApp& app, int x, int y) { PressButton(app, MouseButton::Middle, x, y); }

void Chord(const RunningApp& app, bool leftFirst, int x, int y) {
  const MouseButton first = leftFirst ? MouseButton::Left : MouseButton::Right;
  const MouseButton second = leftFirst ? MouseButton::Right : MouseButton::Left;
  BringToFront(app.Window);
  SendInputs({MoveInput(app.Window, x, y), MouseInput(DownFlag(first)), MouseInput(DownFlag(second)),
              MouseInput(UpFlag(first)), MouseInput(UpFlag(second))});
}

MovingMouse::MovingMouse(HWND window)
    : thread_([this, window] {
        RECT client = {};
        GetClientRect(window, &client);
        if (client.right <= 0 || client.bottom <= 0) return;
        for (int i = 0; !stop_; ++i, ++moves_) {
          // A slanting path that covers the client area, bouncing off its edges.
          const int x = i % (2 * client.right), y = (i * 3) % (2 * client.bottom);
          SendInputs({MoveInput(window, x < client.right ? x : 2 * client.right - 1 - x,
                               y < client.bottom ? y : 2 * client.bottom - 1 - y)});
          Sleep(1);
        }
      }) {}

MovingMouse::~MovingMouse() {
  stop_ = true;
  thread_.join();
}

bool MovingMouse::WaitForMoves(int count) const {
  const int target = moves_ + count;
  return test::PollUntil([this, target] { return moves_ >= target; });
}

OtherProgram::OtherProgram()
    : window_(CreateWindowExA(0, "Static", "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 240, 160,
                              nullptr, nullptr, nullptr, nullptr)) {}

bool OtherProgram::PressCtrlAlt(WORD key) {
  if (!BringToFront(window_)) return false;
  PressKeys({VK_CONTROL, VK_MENU, key});
  return true;
}

int OtherProgram::HeldKeyPresses() {
  for (MSG message; PeekMessageA(&message, window_, WM_HOTKEY, WM_HOTKEY, PM_REMOVE);) ++presses_;
  return presses_;
}

bool ChooseFromMenu(const RunningApp& app, char mnemonic, MenuOpener opener, POINT* origin) {
  switch (opener) {
    case MenuOpener::RightButton: PressButton(app, MouseButton::Right, 20, 20); break;
    case MenuOpener::MenuKey:
      BringToFront(app.Window);
      PressKeys({VK_APPS});
      break;
    case MenuOpener::ShiftF10:
      BringToFront(app.Window);
      PressKeys({VK_SHIFT, VK_F10});
      break;
  }
  if (!test::PollUntil([&app] { return MenuIsOpen(app); }, 10000)) return false;
  if (origin) {
    RECT menu = {};
    GetWindowRect(OpenMenuWindow(app), &menu);
    *origin = POINT{menu.left, menu.top};
    ScreenToClient(app.Window, origin);
  }
  TypeKey(mnemonic);  // the open menu takes the keys of its window's thread
  return test::PollUntil([&app] { return !MenuIsOpen(app); }, 10000);
}

COLORREF Picture::At(int x, int y) const {
  const size_t offset = (static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 4;
  const auto* pixel = reinterpret_cast<const unsigned char*>(Pixels.data() + offset);
  return RGB(pixel[2], pixel[1], pixel[0]);
}

Picture Capture(const RunningApp& app) {
  const RECT client = ClientRect(app);
  Picture picture;
  picture.Width = client.right;
  picture.Height = client.bottom;
  if (picture.Width <= 0 || picture.Height <= 0) return picture;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.Width;
  info.bmiHeader.biHeight = -picture.Height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(app.Window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.Width, picture.Height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  picture.Pixels.assign(static_cast<const char*>(bits), static_cast<size_t>(picture.Width) * picture.Height * 4);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(app.Window, screen);
  return picture;
}

bool WaitForChange(const RunningApp& app, const Picture& before, DWORD timeoutMs) {
  return test::PollUntil([&] { return Capture(app) != before; }, timeoutMs, 15);
}

bool Settles(const RunningApp& app, DWORD quietMs, DWORD timeoutMs) {
  Picture last = Capture(app);
  DWORD quietSince = GetTickCount();
  return test::PollUntil(
      [&] {
        Picture now = Capture(app);
        if (now == last) return GetTickCount() - quietSince >= quietMs;
        last = std::move(now);
        quietSince = GetTickCount();
        return false;
      },
      timeoutMs, 25);
}

bool KeepsChanging(const RunningApp& app, DWORD timeoutMs) {
  Picture last = Capture(app);
  int changes = 0;
  return test::PollUntil(
      [&] {
        Picture now = Capture(app);
        if (now != last) {
          ++changes;
          last = std::move(now);
        }
        return changes == 2;
      },
      timeoutMs, 15);
}

}  // namespace app
