#include "dialog_fixture.h"

#include "ui/resources/resource.h"

// A crash ends the test at once; it must neither wait for a debugger nor pass.
static const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG {
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
});

bool MessagePump::until(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        quitPosted = quitPosted || message.message == WM_QUIT;
        if (message.message == WM_QUIT) continue;
        if (dialog == nullptr || !IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void MessagePump::runFor(int ms) {
    until([] { return false; }, ms);
}

void MainDialogTest::resetProgramState() {
    Configurator& c = configurator();
    if (port().handle != -1) port().close();
    c.settings = TrackerSettings{};
    c.retryCount = c.tickCount = c.bytesReceived = c.writePos = 0;
    c.operation = Idle;
    c.versionReply.clear();
    c.statusMessage.clear();
    port().baudRate = 9600;
    port().lastError.clear();
}

void MainDialogTest::SetUp() {
    resetProgramState();
    openDialog();
}

void MainDialogTest::openDialog() {
    dialog = createMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(dialog, nullptr) << "CreateDialogParamA failed, error " << GetLastError();
    pump.dialog = dialog;
}

void MainDialogTest::TearDown() {
    for (const ModalWindow& window : unexpected.seen)
        ADD_FAILURE() << "unexpected window \"" << window.caption << "\": " << window.text;
    unexpected.seen.clear();
    if (dialog != nullptr) DestroyWindow(dialog);
    pump.dialog = nullptr;
    // Whatever is still queued (a quit message included) must not reach the next test.
    pump.runFor(50);
    dialog = nullptr;
    resetProgramState();
}

std::string MainDialogTest::text(int id) const {
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

void MainDialogTest::setText(int id, const std::string& value) { SetDlgItemTextA(dialog, id, value.c_str()); }

bool MainDialogTest::checked(int id) const {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainDialogTest::click(int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

INT_PTR MainDialogTest::command(WPARAM wParam) { return DialogProc(dialog, WM_COMMAND, wParam, 0); }

bool MainDialogTest::waitForStatus(const std::string& status, int timeoutMs) {
    return pump.until([&] { return text(IDC_STATUS_LINE) == status; }, timeoutMs);
}
