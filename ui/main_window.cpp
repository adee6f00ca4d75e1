#include "ui/main_window.h"

#include <string>

#include "config/tracker_settings.h"
#include "form/control_ids.h"
#include "link/serial_port.h"
#include "platform/format_text.h"
#include "platform/message_box_prompts.h"
#include "ui/centring.h"
#include "ui/commands.h"
#include "ui/form_binding.h"

namespace {

// Defined in this order on purpose: the port is built before the Configurator that refers to it
// and outlives it.
const Prompts prompts = messageBoxPrompts();
SerialPort serialPort;
Configurator configurator(serialPort, prompts);

// Puts the window in the middle of the primary screen and shows it (it is created hidden).
void centreOnScreen(HWND dialog) {
    RECT r{};
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const WindowOrigin origin = centredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h);
    SetWindowPos(dialog, HWND_TOP, origin.x, origin.y, w, h, SWP_SHOWWINDOW);
}

// Lists the ports among COM1 to COM20 that open with the tracker's line settings, and selects
// the first entry.
void listPorts(HWND dialog) {
    bool found = false;
    char name[kFormatTextSize];
    for (int n = 1; n <= kLastListedPort; ++n) {
        formatText(name, "COM%d", n);
        if (serialPort.probe(name)) {
            SendDlgItemMessageA(dialog, IDC_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            found = true;
        }
    }
    if (!found) SendDlgItemMessageA(dialog, IDC_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No COM Ports Found"));
    SendDlgItemMessageA(dialog, IDC_PORT, CB_SETCURSEL, 0, 0);
}

// Start-up: centre, list the ports, start the tick and show the default settings.
INT_PTR onInitDialog(HWND dialog) {
    centreOnScreen(dialog);
    listPorts(dialog);
    SetTimer(dialog, kTickTimerId, kTickPeriodMs, nullptr);
    writeForm(dialog, configurator.settings);
    updateEnables(dialog, configurator.settings.model);
    return 1;
}

// The tick: drives the device transfer and shows the status message.
INT_PTR onTimer(HWND dialog, WPARAM timerId) {
    if (timerId == kTickTimerId && configurator.poll()) {
        writeForm(dialog, configurator.settings);
        updateEnables(dialog, configurator.settings.model);
    }
    SetDlgItemTextA(dialog, IDC_STATUS_LINE, configurator.statusMessage.c_str());
    return 0;
}

// The close box and Alt+F4 end the program as "Quit" does.
INT_PTR onClose() {
    quitProgram(configurator);
    return 0;
}

// Our own message for a failure the user cannot otherwise see: without the window there is
// nothing else to show.
void reportNoWindow(DWORD error) {
    const std::string text = "Kavrel Config could not open its window (Windows error " + std::to_string(error) +
                             "). Its resources may be damaged: please reinstall the program.";
    MessageBoxA(nullptr, text.c_str(), "Kavrel Config", MB_OK | MB_ICONERROR);
}

}  // namespace

SerialPort& mainSerialPort() { return serialPort; }

Configurator& mainConfigurator() { return configurator; }

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        return onCommand(dialog, wParam, configurator);
    case WM_TIMER:
        return onTimer(dialog, wParam);
    case WM_CLOSE:
        return onClose();
    default:
        return 0;
    }
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0);
}

int runMainWindow(HINSTANCE instance) {
    const HWND dialog = createMainWindow(instance);
    if (dialog == nullptr) {
        reportNoWindow(GetLastError());
        return 1;
    }
    MSG message;
    // GetMessageA answers -1 only for an invalid window filter, and there is none; stopping on
    // it rather than spinning costs nothing.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(dialog);
    return 0;
}
