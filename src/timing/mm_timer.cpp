// The multimedia timer calls.
#include "timing/mm_timer.h"

MmTimerApi MmTimer = {timeBeginPeriod, timeEndPeriod, timeSetEvent, timeKillEvent};

UINT CreatePeriodicTimer(UINT periodMs, LPTIMECALLBACK callback, DWORD_PTR user) {
  return MmTimer.SetEvent(periodMs, 0, callback, user, TIME_PERIODIC);
}

namespace {

// Kills the timer whose id is stored in `id` (if any) and stores 0.
void KillPeriodicTimer(Shared<UINT>& id) {
  const UINT current = id.value.exchange(0, std::memory_order_acq_rel);
  if (current != 0) MmTimer.KillEvent(current);
}

}  // namespace

bool BeginCallback(std::atomic<int32_t>& busy, const Shared<int32_t>& running) {
  busy.store(1, std::memory_order_seq_cst);
  return running.value.load(std::memory_order_seq_cst) != 0;
}

void EndCallback(std::atomic<int32_t>& busy) { busy.store(0, std::memory_order_release); }

void StopTimerAndDrain(Shared<int32_t>& running, Shared<UINT>& id, const std::atomic<int32_t>& busy) {
  running.value.store(0, std::memory_order_seq_cst);
  KillPeriodicTimer(id);
  while (busy.load(std::memory_order_seq_cst)) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    SwitchToThread();
  }
}

bool KeepTimerResolution(SetProcessInformationCall setInformation) {
  if (!setInformation) return false;
  // The control mask names the throttling decided here; a state mask without it means "never throttle".
  PROCESS_POWER_THROTTLING_STATE state = {};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
  state.StateMask = 0;
  return setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state) != FALSE;
}

void KeepTimerResolutionWhereSupported() {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  const FARPROC found = kernel32 ? GetProcAddress(kernel32, "SetProcessInformation") : nullptr;
  KeepTimerResolution(reinterpret_cast<SetProcessInformationCall>(reinterpret_cast<void*>(found)));
}
