// Start-up: the single-instance rule, the main window class and window, and the message loop.
#include "app/startup.h"
#include <commctrl.h>
#include "alarm/alarm_sound.h"
#include "app/main_window.h"
#include "helpers/dpi.h"
#include "helpers/message_box.h"
#include "helpers/optional_calls.h"
#include "helpers/window_helpers.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/window_messages.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "timing/countdown.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {
constexpr const wchar_t* MutexName = L"Tavrilo_Application_UserMode";
constexpr const wchar_t* MainWindowClass = L"StopWatchClass";

// Window messages carry positions in 16 bits (WM_MOVE); a stored position beyond that range (only an edited file
// holds one) is taken at its nearer end, which also keeps the window's far edges from overflowing. The size needs
// no bound: the system keeps it within the tracking limits.
int WindowCoordinate(int32_t position) {
  return position > 32767 ? 32767 : position < -32768 ? -32768 : position;
}

}  // namespace

SingleInstanceMutex::SingleInstanceMutex() {
  // A null access list lets any account of the session open the mutex.
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, TRUE};
  handle_ = CreateMutexW(&attributes, FALSE, MutexName);
  if (!handle_) {
    ShowMessageBox(nullptr, L"It fails in the mutex acquisition.", MB_ICONINFORMATION, L"Mutex Message");
  } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(handle_);
    handle_ = nullptr;
  }
}

SingleInstanceMutex::~SingleInstanceMutex() {
  if (handle_) CloseHandle(handle_);
}

void InstallEngineHooks() {
  RecordLapHook = RecordLap;
  CountdownExpiryHook = HandOverAlarmAtExpiry;
  CaptionTimeHook = ShowTimeInCaption;
  DialogOpeningHook = ArmDialogRedrawHold;
}

void InitCommonControlsForDialogs() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSW windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVRILO), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  windowClass.lpszClassName = MainWindowClass;
  return RegisterClassW(&windowClass);
}

// The stored placement is in units of a 96-DPI screen. Its screen's DPI is known only once the window exists, so
// it is made at the session's DPI (as positions are always taken) and sized again when its screen's differs.
int CreateMainWindow(HINSTANCE instance, int showCommand) {
  const AppSettingsRecord& s = AppSettings;
  const int32_t width = s.Window_Width;  // the window's tracking rewrites both while it is created
  const int32_t height = s.Window_Height;
  const UINT dpi = SystemDpi();
  const HWND window = CreateWindowExW(0, MainWindowClass, AppCaption, WS_OVERLAPPEDWINDOW,
                                      WindowCoordinate(ToPixels(s.Window_X_Pos, dpi)),
                                      WindowCoordinate(ToPixels(s.Window_Y_Pos, dpi)), ToPixels(width, dpi),
                                      ToPixels(height, dpi), nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  const UINT screenDpi = WindowDpi(window);
  if (screenDpi != dpi) {
    SetWindowPos(window, nullptr, 0, 0, ToPixels(width, screenDpi), ToPixels(height, screenDpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A window that meets no monitor (its screen has gone since it was stored) would be out of reach.
  if (!MonitorFromWindow(window, MONITOR_DEFAULTTONULL)) CenterWindowInWorkArea(window);
  MainWindow = window;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}

// Not after a crash or a hang: a program that fails at its start would be started again and again.
bool RegisterRestart(RegisterRestartCall registerRestart) {
  return registerRestart && SUCCEEDED(registerRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG));
}

void RegisterForRestartAfterUpdate() { RegisterRestart(OptionalCalls().RegisterApplicationRestart); }

int RunMessageLoop() {
  MSG message;
  BOOL received;
  while ((received = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (received == -1) return 0;
    const HWND history = LapList.LapHistoryWindow;
    if (message.message == WM_KEYDOWN && history && IsWindow(history)) {
      // With the history window open, L takes a lap whichever window has the focus; it never becomes a
      // character. Other keys get the dialog's keyboard handling.
      if (message.wParam == 'L') {
        SendMessageW(MainWindow, WM_LAP_REQUEST, 0, 0);
        continue;
      }
      if (IsDialogMessageW(history, &message)) continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
