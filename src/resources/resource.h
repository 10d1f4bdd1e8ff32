// Resource and dialog control identifiers, shared by the resource scripts and the code.
#pragma once

#define IDR_MAIN_MENU 101      // the two pop-up menus
#define IDI_TAVRILO 102        // window and version dialog icon
#define IDD_COLORS 103         // clock colours
#define IDD_VERSION 104
#define IDD_LAP_HISTORY 106
#define IDD_TIMER_SETTINGS 107
#define IDD_SETTINGS 108
#define IDD_HOTKEYS 109
#define IDD_EXTRA_SETTINGS 110

#define IDS_VERSION_PREFIX 1   // "Tavrilo Version "
#define IDS_APP_CAPTION 2      // "Tavrilo", the caption of the alarm file's refusal

// Lap history window (106)
#define IDC_LAP_HISTORY_LIST 1001

// Settings dialog (108)
#define IDC_FONT_BUTTON 1009
#define IDC_LBCLICK_START_STOP 1013
#define IDC_THICK_FRAME 1014
#define IDC_THICK_FIVE_SECOND_MARKS 1015
#define IDC_SHOW_TOTAL_TIME 1016
#define IDC_WINDOW_TOPMOST 1017
#define IDC_FIT_FONT_TO_WINDOW 1018
#define IDC_COLORS_BUTTON 1019
#define IDC_ROTATION_LIST 1020
#define IDC_SECOND_DIVISION_LIST 1022

// Clock colours dialog (103)
#define IDC_BACKGROUND_COLOR 1000
#define IDC_FACE_COLOR 1001
#define IDC_HAND_COLOR 1002

// Timer settings dialog (107)
#define IDC_TIMER_HOURS 1002
#define IDC_TIMER_HOURS_SPIN 1003
#define IDC_TIMER_MINUTES 1004
#define IDC_TIMER_MINUTES_SPIN 1005
#define IDC_TIMER_SECONDS 1006
#define IDC_TIMER_SECONDS_SPIN 1007
#define IDC_ALARM_FILE 1008
#define IDC_ALARM_BROWSE 1009
#define IDC_SHOW_MILLISECONDS 1010
#define IDC_ALARM_CLEAR 1012

// Hotkey dialog (109)
#define IDC_HOTKEYS_ON 1101
#define IDC_HOTKEY_START_STOP 1102  // then the lap's and the reset's, in the order of the actions
#define IDC_HOTKEY_LAP 1103
#define IDC_HOTKEY_RESET 1104

// Other settings dialog (110)
#define IDC_TIMER_OVERTIME 1201
#define IDC_CAPTION_TIME 1202
#define IDC_OPACITY_LIST 1203
#define IDC_RESUME_AFTER_EXIT 1204

// Version dialog (104)
#define IDC_VERSION_TEXT 1000
