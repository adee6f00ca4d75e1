// The main dialog's buttons: device transfers, configuration files, test tones, the weather-
// station mode buttons and Quit, over the Configurator they are given (and its port).
#pragma once

#include <windows.h>

class Configurator;

// Handles WM_COMMAND. A command counts only when the whole wParam is a button's identifier (a
// BN_CLICKED notification); answers 1 for a recognised command, whatever its outcome, else 0.
INT_PTR onCommand(HWND dialog, WPARAM wParam, Configurator& configurator);

// Quit, Esc and the close box: an image under way is finished first, then the loop is told to end.
void quitProgram(Configurator& configurator);
