#include "ui/commands.h"

#include <commdlg.h>

#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "ui/form_binding.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

constexpr char kFileFilter[] = "KavrelConfig Files (*.kvr)\0*.kvr\0";

// "Read Version" and "Read Config": start the version probe on the selected port.
void startRead(HWND dialog, TransferOp op) {
    Configurator& c = mainConfigurator();
    mainSerialPort().portName = selectedPortName(dialog);
    c.retryCount = 0;
    c.startOperation(op);
    updateEnables(dialog);
}

// "Write Config": the form becomes the settings and is written to the tracker; when the status
// text had to be cut the settings now hold the cut text and the form shows it.
void startWrite(HWND dialog) {
    readForm(dialog);
    mainSerialPort().portName = selectedPortName(dialog);
    if (mainConfigurator().beginWrite()) writeForm(dialog);
    updateEnables(dialog);
}

// The common part of both file dialogs. lStructSize is the structure's full size for the
// target: 88 bytes on 32-bit Windows, 152 on 64-bit.
OPENFILENAMEA fileDialogFields(HWND dialog, char (&fileName)[MAX_PATH], DWORD flags) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(OPENFILENAMEA);
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = kFileFilter;
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = flags;
    ofn.lpstrDefExt = "kvr";
    return ofn;
}

// "Save": every time the suggested name is config1.kvr; the form is read only once a file was
// chosen, and is not refreshed afterwards.
void saveToFile(HWND dialog) {
    char fileName[MAX_PATH] = "config1.kvr";
    OPENFILENAMEA ofn =
        fileDialogFields(dialog, fileName, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES);
    if (!GetSaveFileNameA(&ofn)) return;
    readForm(dialog);
    mainConfigurator().saveFile(fileName);
}

// "Load": the file need not exist (the load then reports it); the form and the enabled controls
// follow the settings whatever the load did.
void loadFromFile(HWND dialog) {
    char fileName[MAX_PATH] = {};
    OPENFILENAMEA ofn =
        fileDialogFields(dialog, fileName, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES);
    if (!GetOpenFileNameA(&ofn)) return;
    mainConfigurator().loadFile(fileName);
    writeForm(dialog);
    updateEnables(dialog);
}

// A test tone holds the port only for its three bytes; failures stay in the port's lastError. An
// image under way is finished first: the tracker would take the tone's bytes as image bytes.
void sendTone(HWND dialog, TestTone tone) {
    mainSerialPort().portName = selectedPortName(dialog);
    mainConfigurator().testTone(tone);
}

// The system has checked the clicked radio button already; the other one is cleared here. The
// settings follow at the next readForm.
void selectMode(HWND dialog, int otherButton) {
    SendDlgItemMessageA(dialog, otherButton, BM_SETCHECK, BST_UNCHECKED, 0);
    updateEnables(dialog);
}

}  // namespace

const char* selectedPortName(HWND dialog) {
    static char portName[100];
    SendDlgItemMessageA(dialog, IDC_PORT, WM_GETTEXT, sizeof portName, reinterpret_cast<LPARAM>(portName));
    return portName;
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    switch (wParam) {
    case IDCANCEL:
        quitProgram();
        return 1;
    case IDC_READ_VERSION:
        startRead(dialog, VersionOnly);
        return 1;
    case IDC_READ_CONFIG:
        startRead(dialog, VersionThenRead);
        return 1;
    case IDC_WRITE_CONFIG:
        startWrite(dialog);
        return 1;
    case IDC_SAVE:
        saveToFile(dialog);
        return 1;
    case IDC_LOAD:
        loadFromFile(dialog);
        return 1;
    case IDC_SEND_1200:
        sendTone(dialog, TestTone::Tone1200);
        return 1;
    case IDC_SEND_2200:
        sendTone(dialog, TestTone::Tone2200);
        return 1;
    case IDC_SEND_BOTH:
        sendTone(dialog, TestTone::Both);
        return 1;
    case IDC_STOP_TEST:
        sendTone(dialog, TestTone::Stop);
        return 1;
    case IDC_WX200:
        selectMode(dialog, IDC_PEET);
        return 1;
    case IDC_PEET:
        selectMode(dialog, IDC_WX200);
        return 1;
    default:
        return 0;
    }
}
