// The program's entry point. Everything else of the dialog program is in kavrel_ui, which the
// tests link as well.
#include <windows.h>

#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return runMainWindow(instance); }
