// Resource and dialog control identifiers, shared by the resource script and the code.
#pragma once

#define IDR_MAIN_MENU 101      // the two pop-up menus
#define IDI_TAVRILO 102        // window and version dialog icon
#define IDD_SETTINGS 103       // colour dialog
#define IDD_VERSION 104
#define IDD_LAP_HISTORY 106
#define IDD_TIMER_SETTINGS 107
#define IDD_OPTIONS 108        // settings dialog

#define IDS_VERSION_PREFIX 1   // "Tavrilo Version "
#define IDS_APP_NAME 2         // "Tavrilo"

// Lap history window
#define IDC_LAP_HISTORY_LIST 1001
