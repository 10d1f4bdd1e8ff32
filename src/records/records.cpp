// The shared records themselves.
#include "records/app_settings_record.h"
#include "records/lap_list_record.h"
#include "records/stopwatch_clock_record.h"

AppSettingsRecord AppSettings;
StopwatchClockRecord StopwatchClock;
LapListRecord LapList;
