// The main window: its procedure, creation and destruction, mouse and key conventions, placement tracking.
#include "app/main_window.h"
#include <windowsx.h>
#include <string>
#include "alarm/alarm_sound.h"
#include "alarm/taskbar_flash.h"
#include "app/commands.h"
#include "display/paint.h"
#include "display/time_text.h"
#include "helpers/dpi.h"
#include "helpers/message_box.h"
#include "helpers/wide_text.h"
#include "helpers/window_helpers.h"
#include "laps/lap_export.h"
#include "laps/lap_journal.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/command_ids.h"
#include "records/window_messages.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/extra_dialog.h"
#include "settings/hotkeys.h"
#include "settings/settings_dialog.h"
#include "timing/countdown.h"
#include "timing/frame_pacing.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

// Everything the main window keeps between its messages.
struct MainWindowState {
  // Armed by a two-button chord: the next release of that button does nothing. A box or dialog that opens over
  // the window (the save question after a chord's reset) takes the releases instead, so it clears them.
  int IgnoreNextLeftUp;
  int IgnoreNextRightUp;
  int CtrlKeyDown;
  int IgnoreLeftUpAfterCaptionDoubleClick;
  // The normal placement while the window is maximised or minimised, in the settings file's units.
  int NormalLeft, NormalTop, NormalWidth, NormalHeight;
  // The DPI of the screen the window is on: the system's when it is created, then what each WM_DPICHANGED says.
  // 0 until first asked for: the size limits are asked for before the window's creation handler runs.
  UINT Dpi;
  bool RunEnded;
  LRESULT PaintCount;
  std::wstring Caption;  // as last written; empty until the first
};
MainWindowState State;

// The pop-up menu open now (null while none is), whose item states a 100 ms window timer keeps current: the
// menu's modal loop dispatches WM_TIMER as the wakes rely on.
HMENU OpenPopup;

// Left click and space: start or stop the mode on display.
void ToggleRunning(HWND window) {
  const bool running = InTimerMode() ? StopwatchClock.TimerRunning != 0 : StopwatchClock.StopwatchRunning != 0;
  SendCommand(window, running ? IDM_STOP : IDM_START);
}

UINT CurrentDpi(HWND window) {
  if (State.Dpi == 0) State.Dpi = WindowDpi(window);
  return State.Dpi;
}

// The settings file keeps sizes in units of a 96-DPI screen, converted at the window's DPI, and positions in the
// session's: a position at the window's DPI would move the window whenever the screens' DPIs differ, since
// the window is created before its screen's DPI is known.
int32_t SizeInFileUnits(int32_t pixels) { return ToFileUnits(pixels, State.Dpi); }
int32_t PositionInFileUnits(int32_t pixels) { return ToFileUnits(pixels, SystemDpi()); }

WINDOWPLACEMENT ReadPlacement(HWND window) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  return placement;
}

// A main window is created while nothing runs and no pop-up is open (the program makes one; the in-process tests
// make one after another): the window's state, the timing record and the lap list start fresh.
void OnCreate(HWND window) {
  State = MainWindowState{};
  State.Dpi = WindowDpi(window);
  OpenPopup = nullptr;
  MakeTimingRecordFresh();
  LapList = LapListRecord{};
  LoadSettings(window);
  RebuildBackBuffer(window);
  UpdateDisplayRefreshRate(window);
  LoadCountdown(window);
  ApplyTopMost(window, AppSettings.WindowTopMost);
  ApplyWindowOpacity(window, AppSettings.WindowOpacity);
}

void StopMeasurements() {
  StopStopwatch();
  StopCountdown();
}

// A close or the session's end keeps the measurement to go on when the user asked for that.
bool MeasurementKeptAtExit() { return AppSettings.ResumeAfterExit == 1; }
RunEnd EndOfRunFor(RunEnd otherwise) { return MeasurementKeptAtExit() ? RunEnd::KeptToGoOn : otherwise; }

// The run ends, by a close or with the Windows session: the timers and the alarm stop, unsaved laps stay in the
// journal for the next start, a measurement kept goes into the run state as it runs, and the settings are written;
// false when they could not be. Once only: the window is not destroyed until the process ends, which may bring a
// second WM_DESTROY.
bool EndRun(RunEnd end) {
  if (State.RunEnded) return true;
  State.RunEnded = true;
  // A measurement that ends is stopped first, so that a lap whose boundary has just passed reaches the journal.
  if (end == RunEnd::Ended) {
    StopMeasurements();
  } else {
    ServiceMeasurements();
  }
  EndLapJournal(end);
  StopMeasurements();
  UnregisterHotKeys(MainWindow);
  SendCommand(MainWindow, IDM_TIMER_ALARM__SOUND_STOP);  // the sound, and the taskbar's flashing
  return SaveSettings();
}

void OnDestroy() {
  if (State.RunEnded) return;
  // Said before the quit message, which would end the box at once.
  if (!EndRun(EndOfRunFor(RunEnd::Ended))) SaySettingsNotSaved(MainWindow);
  ReleaseDisplayResources();
  PostQuitMessage(0);
}

// A minimised or maximised window is stored by its normal rectangle, where it comes back.
void StoreNormalPlacement(HWND window) {
  const WINDOWPLACEMENT placement = ReadPlacement(window);
  if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_SHOWMAXIMIZED) {
    AppSettings.Window_X_Pos = State.NormalLeft;
    AppSettings.Window_Y_Pos = State.NormalTop;
    AppSettings.Window_Width = State.NormalWidth;
    AppSettings.Window_Height = State.NormalHeight;
  }
}

// A measurement kept across the exit keeps its laps unsaved in the journal: no final lap, no question.
void OnClose(HWND window) {
  if (!MeasurementKeptAtExit() && StopwatchClock.StopwatchStarted && LapList.Count > 0 && LapList.Unsaved) {
    // The last lap is the time up to the close.
    StopStopwatch();
    // Declined laps may go; laps whose save was cancelled or failed stay in the journal for the next start.
    if (AskSaveLapsWithFinalLap(window) == SaveAnswer::Declined) LapList.Unsaved = 0;
  }
  StoreNormalPlacement(window);
  PostMessageW(window, WM_DESTROY, 0, 0);
}

// The Windows session ends: the process will be ended once this returns, and no WM_DESTROY comes. An open
// dialog counts as cancelled, so only what was confirmed is stored; no box is shown, not even for settings that
// could not be written (the next start says that).
void OnEndSession(HWND window, WPARAM ending) {
  if (!ending) return;
  CancelDialogsWithSnapshots();
  StoreNormalPlacement(window);
  EndRun(EndOfRunFor(RunEnd::KeptForQuestion));
}

void OnMove(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  AppSettings.Window_X_Pos = PositionInFileUnits(outer.left);
  AppSettings.Window_Y_Pos = PositionInFileUnits(outer.top);
  const POINT normal = NormalCornerOnScreen(ReadPlacement(window).rcNormalPosition);
  State.NormalLeft = PositionInFileUnits(normal.x);
  State.NormalTop = PositionInFileUnits(normal.y);
}

void RecordOuterSize(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  AppSettings.Window_Width = SizeInFileUnits(outer.right - outer.left);
  AppSettings.Window_Height = SizeInFileUnits(outer.bottom - outer.top);
}

void OnSize(HWND window, WPARAM sizeType, int clientWidth, int clientHeight) {
  UpdateLayout(window, clientWidth, clientHeight, CurrentDpi(window));
  RecordOuterSize(window);
  AppSettings.Window_Maximize = sizeType == SIZE_MAXIMIZED ? 1 : 0;
  const int32_t minimized = sizeType == SIZE_MINIMIZED ? 1 : 0;
  if (FramePacing.WindowMinimized != minimized) {
    FramePacing.WindowMinimized = minimized;
    ServiceMeasurements();  // frames stop, or start again
  }
  if (sizeType == SIZE_MAXIMIZED || sizeType == SIZE_MINIMIZED) {
    const RECT normal = ReadPlacement(window).rcNormalPosition;
    State.NormalWidth = SizeInFileUnits(normal.right - normal.left);
    State.NormalHeight = SizeInFileUnits(normal.bottom - normal.top);
  }
}

// The window is now on a screen of another DPI, or its screen's scale changed: it takes the rectangle the system
// suggests, and its size is recorded and the display laid out and drawn for the new DPI, also when the size
// stays (no size message comes then).
void OnDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
  State.Dpi = dpi;
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RecordOuterSize(window);
  RECT client = {};
  GetClientRect(window, &client);
  UpdateLayout(window, client.right, client.bottom, State.Dpi);
  RequestRepaint(window);
}

void OnLButtonUp(HWND window) {
  const int afterCaptionDoubleClick = State.IgnoreLeftUpAfterCaptionDoubleClick;
  State.IgnoreLeftUpAfterCaptionDoubleClick = 0;
  if (State.IgnoreNextLeftUp) {
    State.IgnoreNextLeftUp = 0;
    return;
  }
  if (afterCaptionDoubleClick) return;
  ToggleRunning(window);
}

// A box or dialog over the window: the releases of a chord's buttons reach it, not this window.
void OnDisabled() {
  State.IgnoreNextLeftUp = 0;
  State.IgnoreNextRightUp = 0;
}

// Both buttons pressed together: reset (unless the stopwatch runs); neither release acts afterwards.
void OnMouseChord(HWND window) {
  State.IgnoreNextLeftUp = 1;
  State.IgnoreNextRightUp = 1;
  if (!StopwatchClock.StopwatchRunning) ResetMeasurement(window);
}

void CALLBACK MenuRefreshTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (OpenPopup) UpdateMenuState(OpenPopup);
}

// The pop-up menu of the mode on display, at a point of the screen, its item states kept current while it is open.
void ShowPopupMenu(HWND window, POINT point) {
  // One at a time: the refresh follows one menu.
  if (OpenPopup) return;
  const HMENU menu = LoadMenuW(AppInstance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (!menu) return;
  OpenPopup = GetSubMenu(menu, InTimerMode() ? 1 : 0);
  SetTimer(window, MenuRefreshTimerId, 100, MenuRefreshTimerProc);
  TrackPopupMenu(OpenPopup, TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, point.x, point.y, 0, window, nullptr);
  KillTimer(window, MenuRefreshTimerId);
  OpenPopup = nullptr;
  DestroyMenu(menu);
}

void OnRButtonUp(HWND window, WPARAM keys, LPARAM position) {
  if (State.IgnoreNextRightUp) {
    State.IgnoreNextRightUp = 0;
    return;
  }
  if (keys & MK_LBUTTON) return;
  POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ClientToScreen(window, &point);
  ShowPopupMenu(window, point);
}

// The menu key and Shift+F10 (position -1) open the same pop-up at the window's centre: the system turns the
// menu key's release into WM_CONTEXTMENU itself, and the default procedure Shift+F10. Other positions come
// from the frame (the caption's right button): those keep the system menu.
LRESULT OnContextMenu(HWND window, WPARAM source, LPARAM position) {
  if (position != -1) return DefWindowProcW(window, WM_CONTEXTMENU, source, position);
  RECT client;
  GetClientRect(window, &client);
  POINT centre = {client.right / 2, client.bottom / 2};
  ClientToScreen(window, &centre);
  ShowPopupMenu(window, centre);
  return 0;
}

void OnKeyUp(WPARAM key) {
  if (key == VK_CONTROL) State.CtrlKeyDown = 0;
}

LRESULT OnNcLButtonDblClk(HWND window, WPARAM hitTest, LPARAM position) {
  if (hitTest == HTCAPTION && ReadPlacement(window).showCmd == SW_SHOWNORMAL) {
    State.IgnoreLeftUpAfterCaptionDoubleClick = 1;
  }
  return DefWindowProcW(window, WM_NCLBUTTONDBLCLK, hitTest, position);
}

void OnChar(HWND window, WPARAM character) {
  switch (character) {
    case ' ':
      ToggleRunning(window);
      break;
    case 'L':
    case 'l':
      RequestLap();
      break;
    case 'R':
    case 'r':
      ResetMeasurement(window);
      break;
    default:
      break;
  }
}

// A hotkey acts as its key in the window would, without bringing the window forward. While a box, dialog or Save
// As of the program's own is open it does nothing: a reset may be under way, or a question waiting.
void OnHotKey(HWND window, WPARAM id) {
  if (!IsWindowEnabled(window)) return;
  switch (static_cast<int>(id)) {
    case HotKeyId(HotKeyAction::StartStop): ToggleRunning(window); break;
    case HotKeyId(HotKeyAction::Lap): RequestLap(); break;
    case HotKeyId(HotKeyAction::Reset): ResetMeasurement(window); break;
    default: break;
  }
}

// Whether mouse or key input waits in this thread's queue.
bool InputWaits() { return HIWORD(GetQueueStatus(QS_INPUT)) != 0; }

// A paced frame never keeps input waiting: with input in the queue it is drawn at the priority of a paint, after
// that input. Input never holds the picture back longer than a display frame either: a frame still waiting for
// its paint when the next is asked for is drawn at once. With no input waiting it is drawn at once too, which
// costs less than a paint.
void OnShowFrame(HWND window) {
  TakeFrameRequest();
  if (!FrameIsDue() && InputWaits()) {
    ScheduleFrame(window);
    return;
  }
  ShowFrame(window);
  ++State.PaintCount;
}

void OnKeyDown(HWND window, WPARAM key) {
  if (key == VK_CONTROL) {
    State.CtrlKeyDown = 1;
  } else if (key == 'C' && State.CtrlKeyDown && !StopwatchClock.StopwatchRunning) {
    CopyResultToClipboard(window);
  }
}

}  // namespace

void ShowTimeInCaption(bool shown) {
  std::wstring caption = AppCaption;
  if (shown) {
    char time[TimeTextSize] = "";
    if (InTimerMode()) {
      FormatCountdownTime(1000, ReadCountdownRemaining(), time, sizeof time);
    } else {
      FormatClockTime(1000, ReadStopwatch().Total, time, sizeof time);
    }
    caption = WidenAscii(time, lstrlenA(time)) + L" - " + caption;
  }
  if (caption == State.Caption) return;
  State.Caption = caption;
  SetWindowTextW(MainWindow, caption.c_str());
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_MOVE: OnMove(window); return 0;
    case WM_SIZE: OnSize(window, wParam, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_PAINT:
      PaintMainWindow(window);
      ++State.PaintCount;
      return 0;
    case WM_GET_PAINT_COUNT: return State.PaintCount;
    case WM_SHOW_FRAME: OnShowFrame(window); return 0;
    case WM_CLOSE: OnClose(window); return 0;
    case WM_QUERYENDSESSION: return TRUE;  // the stopwatch never holds up the end of a session
    case WM_ENDSESSION: OnEndSession(window, wParam); return 0;
    case WM_DISPLAYCHANGE: UpdateDisplayRefreshRate(window); return 0;
    case WM_ERASEBKGND: return 1;  // every paint covers the whole client area
    case WM_GETMINMAXINFO: {
      const LONG minimum = ToPixels(MinimumTrackSize, CurrentDpi(window));
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{minimum, minimum};
      return 0;
    }
    case WM_DPICHANGED: OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_NCLBUTTONDBLCLK: return OnNcLButtonDblClk(window, wParam, lParam);
    case WM_KEYDOWN: OnKeyDown(window, wParam); return 0;
    case WM_KEYUP: OnKeyUp(wParam); return 0;
    // A Ctrl released while another window had the focus never comes here as a key message.
    case WM_KILLFOCUS: State.CtrlKeyDown = 0; return 0;
    case WM_ENABLE: if (!wParam) OnDisabled(); return 0;
    case WM_CHAR: OnChar(window, wParam); return 0;
    case WM_COMMAND:
      return IsCommandId(LOWORD(wParam)) ? OnCommand(window, wParam) : 0;
    case WM_SYSCOMMAND:
      if (wParam == IDM_VERSION) return SendMessageW(window, WM_COMMAND, IDM_VERSION, 0);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_INITMENUPOPUP: UpdateMenuState(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_LBUTTONDOWN:
      if (wParam & MK_RBUTTON) OnMouseChord(window);
      return 0;
    case WM_LBUTTONUP:
      if (AppSettings.LBClickStartStopEnable == 1) OnLButtonUp(window);
      return 0;
    case WM_RBUTTONDOWN:
      if (wParam & MK_LBUTTON) OnMouseChord(window);
      return 0;
    case WM_RBUTTONUP: OnRButtonUp(window, wParam, lParam); return 0;
    case WM_CONTEXTMENU: return OnContextMenu(window, wParam, lParam);
    case WM_MBUTTONDOWN:
      if (!StopwatchClock.StopwatchRunning) ResetMeasurement(window);
      return 0;
    case MM_MCINOTIFY: OnMM_MCINotifyTimerAlarm(window, wParam, lParam); return 0;
    case WM_LAP_REQUEST: RequestLap(); return 0;
    case WM_HOTKEY: OnHotKey(window, wParam); return 0;
    case WM_LAP_JOURNAL: OnLapJournal(window, wParam); return 0;
    case WM_LAP_JOURNAL_FAILED: OnLapJournalFailed(window, wParam); return 0;
    case WM_COUNTDOWN_EXPIRED:
      FlashUnlessInFront(window);
      WriteRunState();
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}
