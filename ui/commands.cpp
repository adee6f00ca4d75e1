#include "ui/commands.h"

#include <commdlg.h>

#include "config/tracker_settings.h"
#include "form/control_ids.h"
#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "ui/form_binding.h"

namespace {

constexpr char kFileFilter[] = "KavrelConfig Files (*.kvr)\0*.kvr\0";

// The text of the port selector's edit field, at most 99 characters, in a buffer that lives as
// long as the program.
const char* selectedPortName(HWND dialog) {
    static char portName[100];
    SendDlgItemMessageA(dialog, IDC_PORT, WM_GETTEXT, sizeof portName, reinterpret_cast<LPARAM>(portName));
    return portName;
}

// "Read Version" and "Read Config": start the version probe on the selected port.
void readFromTracker(HWND dialog, Configurator& c, TransferOp op) {
    c.port().portName = selectedPortName(dialog);
    startRead(c, op);
    updateEnables(dialog, c.settings.model);
}

// "Write Config": the form becomes the settings and is written to the tracker; when the status
// text had to be cut the settings now hold the cut text and the form shows it.
void writeToTracker(HWND dialog, Configurator& c) {
    readForm(dialog, c.settings);
    c.port().portName = selectedPortName(dialog);
    if (c.beginWrite()) writeForm(dialog, c.settings);
    updateEnables(dialog, c.settings.model);
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
void saveToFile(HWND dialog, Configurator& c) {
    char fileName[MAX_PATH] = "config1.kvr";
    OPENFILENAMEA ofn =
        fileDialogFields(dialog, fileName, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES);
    if (!GetSaveFileNameA(&ofn)) return;
    readForm(dialog, c.settings);
    c.saveFile(fileName);
}

// "Load": the file need not exist (the load then reports it); the form and the enabled controls
// follow the settings whatever the load did.
void loadFromFile(HWND dialog, Configurator& c) {
    char fileName[MAX_PATH] = {};
    OPENFILENAMEA ofn =
        fileDialogFields(dialog, fileName, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES);
    if (!GetOpenFileNameA(&ofn)) return;
    c.loadFile(fileName);
    writeForm(dialog, c.settings);
    updateEnables(dialog, c.settings.model);
}

// A test tone holds the port only for its three bytes; failures stay in the port's lastError. An
// image under way is finished first: the tracker would take the tone's bytes as image bytes.
void sendTone(HWND dialog, Configurator& c, TestTone tone) {
    c.port().portName = selectedPortName(dialog);
    c.testTone(tone);
}

// The system has checked the clicked radio button already; the other one is cleared here. The
// settings follow at the next readForm.
void selectMode(HWND dialog, const Configurator& c, int otherButton) {
    SendDlgItemMessageA(dialog, otherButton, BM_SETCHECK, BST_UNCHECKED, 0);
    updateEnables(dialog, c.settings.model);
}

}  // namespace

void quitProgram(Configurator& configurator) {
    // A tracker left with part of an image would take the next command's bytes as the rest.
    configurator.finishImage();
    PostQuitMessage(0);
}

INT_PTR onCommand(HWND dialog, WPARAM wParam, Configurator& c) {
    switch (wParam) {
    case IDCANCEL:
        quitProgram(c);
        return 1;
    case IDC_READ_VERSION:
        readFromTracker(dialog, c, TransferOp::VersionOnly);
        return 1;
    case IDC_READ_CONFIG:
        readFromTracker(dialog, c, TransferOp::VersionThenRead);
        return 1;
    case IDC_WRITE_CONFIG:
        writeToTracker(dialog, c);
        return 1;
    case IDC_SAVE:
        saveToFile(dialog, c);
        return 1;
    case IDC_LOAD:
        loadFromFile(dialog, c);
        return 1;
    case IDC_SEND_1200:
        sendTone(dialog, c, TestTone::Tone1200);
        return 1;
    case IDC_SEND_2200:
        sendTone(dialog, c, TestTone::Tone2200);
        return 1;
    case IDC_SEND_BOTH:
        sendTone(dialog, c, TestTone::Both);
        return 1;
    case IDC_STOP_TEST:
        sendTone(dialog, c, TestTone::Stop);
        return 1;
    case IDC_WX200_MODE:
        selectMode(dialog, c, IDC_PEET_MODE);
        return 1;
    case IDC_PEET_MODE:
        selectMode(dialog, c, IDC_WX200_MODE);
        return 1;
    default:
        return 0;
    }
}
