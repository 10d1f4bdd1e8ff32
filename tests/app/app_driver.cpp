// Drives a real Tavrilo.exe from outside, as a user would.
#include "app/app_driver.h"
#include <vector>
#include "support/files.h"
#include "support/poll.h"
#include "support/process_windows.h"

namespace app {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string ProgramPath() {
  return FolderOf(test::ExecutableFolder()) + "\\Tavrilo.exe";  // the tests live in a folder beside the program
}

std::string ExePathOf(const RunningApp& app) { return app.Folder + "\\Tavrilo.exe"; }

HWND OpenMenuWindow(const RunningApp& app) {
  return test::FindWindowOf(app.Process.dwProcessId, test::PopUpMenuClass);
}

bool MenuIsOpen(const RunningApp& app) { return OpenMenuWindow(app) != nullptr; }

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

std::string IniPathOf(const RunningApp& app) { return app.Folder + "\\Tavrilo.ini"; }

RunningApp PrepareApp(const std::string& ini) {
  RunningApp app;
  app.Folder = test::MakeFreshFolder("tavrilo-app-");
  CopyFileA(ProgramPath().c_str(), ExePathOf(app).c_str(), FALSE);
  if (!ini.empty()) test::WriteBytes(IniPathOf(app), ini);
  return app;
}

bool Launch(RunningApp& app) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string exe = ExePathOf(app);
  if (!CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, app.Folder.c_str(), &startup,
                      &app.Process)) {
    return false;
  }
  test::PollUntil([&app] {
    app.Window = test::FindWindowOf(app.Process.dwProcessId, "StopWatchClass");
    return app.Window || WaitForSingleObject(app.Process.hProcess, 0) == WAIT_OBJECT_0;
  });
  if (!app.Window) return false;
  WaitForInputIdle(app.Process.hProcess, 5000);
  return true;
}

PROCESS_INFORMATION LaunchSecondCopy(const RunningApp& app) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  CreateProcessA(ExePathOf(app).c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, app.Folder.c_str(), &startup,
                 &process);
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
  if (!app.Folder.empty()) test::RemoveFolder(app.Folder);
  app.Folder.clear();
}

RECT ClientRect(const RunningApp& app) {
  RECT client = {};
  GetClientRect(app.Window, &client);
  return client;
}

void PressButton(const RunningApp& app, UINT downMessage, UINT upMessage, WPARAM downKeys, int x, int y) {
  PostMessageA(app.Window, downMessage, downKeys, Point(x, y));
  PostMessageA(app.Window, upMessage, 0, Point(x, y));
}

void Click(const RunningApp& app, int x, int y) { PressButton(app, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, x, y); }

void MiddleClick(const RunningApp& app, int x, int y) {
  PressButton(app, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, x, y);
}

void Chord(const RunningApp& app, bool leftFirst, int x, int y) {
  const UINT firstDown = leftFirst ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
  const UINT secondDown = leftFirst ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
  const WPARAM firstKey = leftFirst ? MK_LBUTTON : MK_RBUTTON;
  const WPARAM secondKey = leftFirst ? MK_RBUTTON : MK_LBUTTON;
  PostMessageA(app.Window, firstDown, firstKey, Point(x, y));
  PostMessageA(app.Window, secondDown, MK_LBUTTON | MK_RBUTTON, Point(x, y));
  PostMessageA(app.Window, leftFirst ? WM_LBUTTONUP : WM_RBUTTONUP, secondKey, Point(x, y));
  PostMessageA(app.Window, leftFirst ? WM_RBUTTONUP : WM_LBUTTONUP, 0, Point(x, y));
}

void TypeChar(const RunningApp& app, char character) {
  PostMessageA(app.Window, WM_CHAR, static_cast<unsigned char>(character), 1);
}

bool ChooseFromMenu(const RunningApp& app, char mnemonic, MenuOpener opener, POINT* origin) {
  switch (opener) {
    case MenuOpener::RightButton: PressButton(app, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 20, 20); break;
    case MenuOpener::MenuKey:
      PostMessageA(app.Window, WM_KEYDOWN, VK_APPS, 1);
      PostMessageA(app.Window, WM_KEYUP, VK_APPS, 0xC0000001);
      break;
    case MenuOpener::ShiftF10: PostMessageA(app.Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.Window), -1); break;
  }
  if (!test::PollUntil([&app] { return MenuIsOpen(app); }, 10000)) return false;
  if (origin) {
    RECT menu = {};
    GetWindowRect(OpenMenuWindow(app), &menu);
    *origin = POINT{menu.left, menu.top};
    ScreenToClient(app.Window, origin);
  }
  TypeChar(app, mnemonic);
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
