// The real main dialog, created from the real template in the test's process, with the message
// loop run by the test the way WinMain runs it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "modal_answers.h"
#include "ui/main_window.h"

// Runs the thread's messages through the dialog's keyboard handling, as WinMain's loop does,
// until done() or timeoutMs have passed; answers done(). A quit message is noted, not acted on.
struct MessagePump {
    HWND dialog = nullptr;
    bool quitPosted = false;

    bool until(const std::function<bool()>& done, int timeoutMs);
    void runFor(int ms);
};

class MainDialogTest : public ::testing::Test {
public:
    // Puts the one Configurator and port back to the state of a fresh start.
    static void resetProgramState();

protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the dialog; SetUp does it unless a test wants to prepare the Configurator first.
    void openDialog();

    std::string text(int id) const;
    void setText(int id, const std::string& value);
    bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    bool checked(int id) const;
    // Clicks a button as the mouse does: the button checks itself (radio, check box) and then
    // tells the dialog.
    void click(int id);
    // Hands WM_COMMAND with this wParam to the dialog procedure; answers its result.
    INT_PTR command(WPARAM wParam);
    // Waits until the status line shows this text.
    bool waitForStatus(const std::string& status, int timeoutMs);

    static Configurator& configurator() { return mainConfigurator(); }
    static SerialPort& port() { return mainSerialPort(); }

    HWND dialog = nullptr;
    MessagePump pump;
    // Cancels any box or file dialog that a test did not expect, and fails the test for it.
    ModalAnswers unexpected;
};
