// Resource and dialog control identifiers, shared by the resource script and the code.
#pragma once

// Lap history window (dialog 106)
#define IDD_LAP_HISTORY 106
#define IDC_LAP_HISTORY_LIST 1001
