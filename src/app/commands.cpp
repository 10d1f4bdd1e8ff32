// The command table: every command identifier is mapped to one action; and Reset, which spans the subsystems.
#include "app/commands.h"
#include <array>
#include <cstdint>
#include "alarm/alarm_sound.h"
#include "display/paint.h"
#include "laps/lap_export.h"
#include "laps/lap_history.h"
#include "laps/lap_journal.h"
#include "laps/lap_list.h"
#include "records/app_globals.h"
#include "records/command_ids.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/extra_dialog.h"
#include "settings/hotkey_dialog.h"
#include "settings/settings_dialog.h"
#include "settings/timer_dialog.h"
#include "settings/version_dialog.h"
#include "timing/countdown.h"
#include "timing/run_control.h"
#include "timing/stopwatch_clock.h"
#include "timing/wake.h"

namespace {

enum class Action : uint8_t {
  None,
  Start,
  Stop,
  Reset,
  Exit,
  AnalogDisplay,
  DigitalDisplay,
  Version,
  CopyResult,
  LapHistory,
  SwitchMode,
  TimerSetting,
  AlarmStart,
  AlarmStop,
  LapSave,
  Settings,
  HotKeySetting,
  ExtraSetting,
  StopwatchInterval,
  TimerInterval,
};

constexpr int IntervalCount = 12;

constexpr std::array<Action, LastCommandId - FirstCommandId + 1> BuildCommandTable() {
  std::array<Action, LastCommandId - FirstCommandId + 1> table{};
  const auto set = [&table](int id, Action action) { table[static_cast<size_t>(id - FirstCommandId)] = action; };
  set(IDM_START, Action::Start);
  set(IDM_STOP, Action::Stop);
  set(IDM_RESET, Action::Reset);
  set(IDM_EXIT, Action::Exit);
  set(IDM_ANALOG_DISPLAY, Action::AnalogDisplay);
  set(IDM_DIGITAL_DISPLAY, Action::DigitalDisplay);
  set(IDM_VERSION, Action::Version);
  set(IDM_COPY_RESULT, Action::CopyResult);
  set(IDM_LAP_HISTORY, Action::LapHistory);
  set(IDM_SWITCH_MODE, Action::SwitchMode);
  set(IDM_TIMER_SETTING, Action::TimerSetting);
  set(IDM_TIMER_ALARM__SOUND_START, Action::AlarmStart);
  set(IDM_TIMER_ALARM__SOUND_STOP, Action::AlarmStop);
  set(IDM_LAP_SAVE, Action::LapSave);
  set(IDM_SETTINGS, Action::Settings);
  set(IDM_HOTKEY_SETTING, Action::HotKeySetting);
  set(IDM_EXTRA_SETTING, Action::ExtraSetting);
  for (int i = 0; i < IntervalCount; ++i) {
    set(IDM_STOPWATCH_INTERVAL_1000MS + i, Action::StopwatchInterval);
    set(IDM_TIMER_INTERVAL_1000MS + i, Action::TimerInterval);
  }
  return table;
}

constexpr auto CommandTable = BuildCommandTable();

// Repaints are held back while a modal dialog comes up over a fast-refreshing display. `runDialog` is the
// dialog's own function, which says whether the user ended it with OK.
bool RunModalDialog(HWND window, bool (*runDialog)(HWND owner)) {
  ArmDialogRedrawHold();
  return runDialog(window);
}

void SwitchMode(HWND window) {
  AppSettings.Timer_Mode = InTimerMode() ? 0 : 1;
  ServiceMeasurements();  // the mode now shown wakes for its frames, the other no longer
  RequestRepaint(window);
  WriteRunState();
}

int ResetModeOnDisplay(HWND window) {
  if (InTimerMode()) {
    if (!ClearExpiryUnlessRunning()) return 0;
    OnTimerAlarmSoundStop(window);
    LoadCountdown(window);
    return 1;
  }
  if (StopwatchClock.StopwatchRunning) return 0;
  return ResetStopwatch(window);
}

// The twelve resolution items: greyed while a measurement exists, the chosen one checked.
void UpdateIntervalItems(HMENU menu, int firstId, bool measurementExists, int32_t chosenIndex) {
  for (int i = 0; i < IntervalCount; ++i) {
    EnableMenuCommand(menu, firstId + i, !measurementExists);
    CheckMenuCommand(menu, firstId + i, i == chosenIndex);
  }
}

void UpdateStopwatchMenu(HMENU menu) {
  const bool running = StopwatchClock.StopwatchRunning != 0;
  const bool started = StopwatchClock.StopwatchStarted != 0;
  EnableMenuCommand(menu, IDM_LAP_SAVE, !running && LapList.Unsaved == 1);
  EnableMenuCommand(menu, IDM_START, !running);
  EnableMenuCommand(menu, IDM_STOP, running);
  EnableMenuCommand(menu, IDM_RESET, !running && started);
  UpdateIntervalItems(menu, IDM_STOPWATCH_INTERVAL_1000MS, started, AppSettings.SecondResolution);
  const bool analog = AppSettings.AnalogModeOnOff != 0;
  const bool digital = AppSettings.DisitalModeOnOff != 0;
  CheckMenuCommand(menu, IDM_ANALOG_DISPLAY, analog);
  CheckMenuCommand(menu, IDM_DIGITAL_DISPLAY, digital || !analog);
}

void UpdateTimerMenu(HMENU menu) {
  const bool running = StopwatchClock.TimerRunning != 0;
  EnableMenuCommand(menu, IDM_START, !running);
  EnableMenuCommand(menu, IDM_STOP, running);
  EnableMenuCommand(menu, IDM_RESET, !running && StopwatchClock.TimerStarted != 0);
  EnableMenuCommand(menu, IDM_TIMER_SETTING, !running);
  EnableMenuCommand(menu, IDM_TIMER_ALARM__SOUND_STOP, AlarmSound.Active != 0);
  UpdateIntervalItems(menu, IDM_TIMER_INTERVAL_1000MS, StopwatchClock.TimerStarted != 0,
                      AppSettings.TimerSecondResolutionIndex);
}

}  // namespace

LRESULT OnCommand(HWND window, WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (!IsCommandId(id)) return 0;
  switch (CommandTable[static_cast<size_t>(id - FirstCommandId)]) {
    case Action::None: break;
    case Action::Start:
      if (StartMeasurement(window)) WriteRunState();
      break;
    case Action::Stop:
      StopMeasurement(window);
      WriteRunState();
      break;
    case Action::Reset: ResetMeasurement(window); break;
    case Action::Exit: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case Action::AnalogDisplay: ToggleAnalogDisplay(window); break;
    case Action::DigitalDisplay: ToggleDigitalDisplay(window); break;
    case Action::Version: RunModalDialog(window, ShowVersionDialog); break;
    case Action::CopyResult: return CopyResultToClipboard(window);
    case Action::LapHistory: OpenLapHistory(window); break;
    case Action::SwitchMode: SwitchMode(window); break;
    case Action::TimerSetting:
      if (RunModalDialog(window, EditTimerSettings)) ResetMeasurement(window);
      break;
    case Action::AlarmStart: return OnTimerAlarmSoundStart(window);
    case Action::AlarmStop: OnTimerAlarmSoundStop(window); break;
    case Action::LapSave: SaveLapsCommand(window); break;
    case Action::Settings:
      RunModalDialog(window, EditSettings);
      // A window that owns an open dialog cannot always be raised (Wine will not): the choice holds once it has
      // closed, whether OK kept it or Cancel put it back.
      ApplyTopMost(window, AppSettings.WindowTopMost);
      break;
    case Action::HotKeySetting: RunModalDialog(window, EditHotKeys); break;
    case Action::ExtraSetting: RunModalDialog(window, EditExtraSettings); break;
    case Action::StopwatchInterval:
      AppSettings.SecondResolution = id - IDM_STOPWATCH_INTERVAL_1000MS;
      SelectStopwatchResolution(AppSettings.SecondResolution, window);
      WriteRunState();
      break;
    case Action::TimerInterval:
      AppSettings.TimerSecondResolutionIndex = id - IDM_TIMER_INTERVAL_1000MS;
      SelectTimerResolution(AppSettings.TimerSecondResolutionIndex, window);
      WriteRunState();
      break;
  }
  return 0;
}

void UpdateMenuState(HMENU menu) {
  if (InTimerMode()) {
    UpdateTimerMenu(menu);
  } else {
    UpdateStopwatchMenu(menu);
  }
}

int ResetMeasurement(HWND window) {
  const int reset = ResetModeOnDisplay(window);
  if (reset) WriteRunState();
  return reset;
}

int ResetStopwatch(HWND window) {
  if (!StopwatchClock.StopwatchStarted) return 0;
  if (LapList.Unsaved && !AskSaveLapsBeforeReset(window)) return 0;
  ClearLaps();
  DiscardLapJournal();
  ZeroStopwatchCounters();
  RequestRepaint(window);
  LapList.Unsaved = 0;
  return 1;
}
