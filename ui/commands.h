// The main dialog's buttons: device transfers, configuration files, test tones, the weather-
// station mode buttons and Quit.
#pragma once

#include <windows.h>

// Handles WM_COMMAND. A command counts only when the whole wParam is a button's identifier (a
// BN_CLICKED notification); answers 1 for a recognised command, whatever its outcome, else 0.
INT_PTR onCommand(HWND dialog, WPARAM wParam);

// The text of the port selector's edit field, at most 99 characters, in a buffer that lives as
// long as the program.
const char* selectedPortName(HWND dialog);
