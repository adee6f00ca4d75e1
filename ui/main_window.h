// The program's one window: the modeless main dialog, its procedure and its message loop, and
// the two objects that live for the whole run.
#pragma once

#include <windows.h>

class Configurator;
class SerialPort;

constexpr UINT_PTR kTickTimerId = 1234;
constexpr UINT kTickPeriodMs = 100;
constexpr int kLastListedPort = 20;  // COM1 to COM20 are probed at start-up

// The one serial port and the one Configurator; the port is constructed first and destroyed last.
SerialPort& mainSerialPort();
Configurator& mainConfigurator();

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the main dialog from template IDD_MAIN of the given module; nullptr when that fails.
HWND createMainWindow(HINSTANCE instance);

// Creates the window and runs the message loop until a quit message arrives; answers the
// program's exit code: 0, or 1 when the window could not be created (the user is told why).
int runMainWindow(HINSTANCE instance);
