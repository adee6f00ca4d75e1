// The buttons, on a machine without serial ports: what each command does to the form, the
// settings and the status line, the boxes it shows and the files it writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "modal_answers.h"
#include "support/temp_dir.h"
#include "ui/commands.h"
#include "ui/form_binding.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

const char kNoPorts[] = "No COM Ports Found";
const char kPathBoxText[] =
    "You are about to configure your Kavrel with the ability to send a longer path than is normally "
    "recommended. Are you sure you want to do this?";
const char kRateBoxText[] =
    "You are about to configure your Kavrel with the ability to send at a rate that is more frequent then is "
    "normally recommended. Are you sure you want to do this?";
const char kTruncatedText[] =
    "The Status Text is too long and has been tuncated.  To have longer text, use fewer digipeaters.";

std::string windowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

using Commands = MainDialogTest;

TEST_F(Commands, WithoutPortsTheListHoldsOnlyNoComPortsFoundSelected) {
    ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCOUNT, 0, 0), 1);
    char item[100] = {};
    SendDlgItemMessageA(dialog, IDC_PORT, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, kNoPorts);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCURSEL, 0, 0), 0);
    EXPECT_STREQ(selectedPortName(dialog), kNoPorts);
}

TEST_F(Commands, ADeviceCommandOnNoComPortsFoundReportsThePortAtTheNextTick) {
    for (int id : {IDC_READ_VERSION, IDC_READ_CONFIG, IDC_WRITE_CONFIG}) {
        SCOPED_TRACE(id);
        configurator().statusMessage = "before";
        ASSERT_TRUE(waitForStatus("before", 2000));
        click(id);
        EXPECT_EQ(configurator().statusMessage, "Could not open Com Port No COM Ports Found");
        EXPECT_EQ(text(IDC_STATUS_LINE), "before") << "the status line changes only at a tick";
        EXPECT_TRUE(waitForStatus("Could not open Com Port No COM Ports Found", 2000));
        EXPECT_EQ(configurator().operation, Idle);
    }
}

TEST_F(Commands, ATypedPortNameIsUsedAsTypedUpTo99Characters) {
    setText(IDC_PORT, "COM25");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(configurator().statusMessage, "Could not open Com Port COM25");
    EXPECT_EQ(port().portName, "COM25");

    const std::string longName = "COM" + std::string(150, '7');
    setText(IDC_PORT, longName);
    click(IDC_READ_VERSION);
    EXPECT_EQ(port().portName, longName.substr(0, 99));
    EXPECT_EQ(configurator().statusMessage, "Could not open Com Port " + longName.substr(0, 99));
}

TEST_F(Commands, ATestToneOnAPortThatDoesNotOpenShowsNothing) {
    configurator().statusMessage = "unchanged";
    for (int id : {IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST}) {
        port().lastError.clear();
        EXPECT_EQ(command(static_cast<WPARAM>(id)), 1);
        EXPECT_EQ(port().lastError, "Could not open Com Port No COM Ports Found") << id;
    }
    EXPECT_EQ(configurator().statusMessage, "unchanged");
    EXPECT_TRUE(waitForStatus("unchanged", 2000));
}

TEST_F(Commands, OnlyWholeButtonIdentifiersAreCommands) {
    configurator().statusMessage = "unchanged";
    port().lastError.clear();
    // IDOK, the check boxes, and notifications with a nonzero code (here from Read Config and the
    // combo box) are not handled.
    for (WPARAM wParam : {WPARAM{IDOK}, WPARAM{IDC_ALLOW_TTL_SERIAL}, WPARAM{IDC_INVERT_CD},
                          WPARAM{IDC_SEND_WITH_WEATHER}, WPARAM{IDC_TX_TWIST},
                          static_cast<WPARAM>(MAKEWPARAM(IDC_READ_CONFIG, BN_DOUBLECLICKED)),
                          static_cast<WPARAM>(MAKEWPARAM(IDC_PORT, CBN_EDITCHANGE)),
                          static_cast<WPARAM>(MAKEWPARAM(IDCANCEL, 1))}) {
        EXPECT_EQ(command(wParam), 0) << std::hex << wParam;
    }
    EXPECT_EQ(configurator().statusMessage, "unchanged");
    EXPECT_EQ(port().lastError, "");
    pump.runFor(150);
    EXPECT_FALSE(pump.quitPosted);
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(Commands, QuitPostsQuitWithExitCodeZero) {
    EXPECT_EQ(command(IDCANCEL), 1);
    EXPECT_TRUE(pump.until([&] { return pump.quitPosted; }, 1000));
    EXPECT_EQ(pump.quitCode, 0u);
    EXPECT_TRUE(IsWindow(dialog)) << "the loop, not the command, destroys the window";
}

TEST_F(Commands, TheEscapeKeyQuits) {
    HWND focus = GetFocus();
    if (focus == nullptr) focus = GetDlgItem(dialog, IDC_CALLSIGN);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(pump.until([&] { return pump.quitPosted; }, 1000));
    EXPECT_EQ(pump.quitCode, 0u);
}

TEST_F(Commands, TheCloseBoxQuitsAsQuitDoes) {
    EXPECT_EQ(DialogProc(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(pump.until([&] { return pump.quitPosted; }, 1000));
    EXPECT_EQ(pump.quitCode, 0u);
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(Commands, ModeButtonsStayExclusiveButTheSettingsWaitForReadForm) {
    ASSERT_TRUE(checked(IDC_PEET));
    click(IDC_WX200);
    EXPECT_TRUE(checked(IDC_WX200));
    EXPECT_FALSE(checked(IDC_PEET));
    EXPECT_TRUE(configurator().settings.peetMode);
    EXPECT_FALSE(configurator().settings.wx200Mode);
    click(IDC_PEET);
    EXPECT_TRUE(checked(IDC_PEET));
    EXPECT_FALSE(checked(IDC_WX200));

    // With both checked (a loaded image may say so), the command itself clears the other one.
    SendDlgItemMessageA(dialog, IDC_WX200, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_PEET, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(command(IDC_PEET), 1);
    EXPECT_TRUE(checked(IDC_PEET));
    EXPECT_FALSE(checked(IDC_WX200));
    SendDlgItemMessageA(dialog, IDC_WX200, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_PEET, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(command(IDC_WX200), 1);
    EXPECT_FALSE(checked(IDC_PEET));
    readForm(dialog);
    EXPECT_TRUE(configurator().settings.wx200Mode);
    EXPECT_FALSE(configurator().settings.peetMode);
}

TEST_F(Commands, StatusLineShowsStaticUntilTheFirstTickThenTheStatusMessage) {
    TearDown();
    resetProgramState();
    configurator().statusMessage = "first";
    openDialog();
    EXPECT_EQ(text(IDC_STATUS_LINE), "Static");
    EXPECT_TRUE(waitForStatus("first", 1000));
    // A timer other than the tick refreshes the status line without polling.
    configurator().statusMessage = "second";
    const std::int32_t ticks = configurator().tickCount;
    SendMessageA(dialog, WM_TIMER, 77, 0);
    EXPECT_EQ(text(IDC_STATUS_LINE), "second");
    EXPECT_EQ(configurator().tickCount, ticks);
    SendMessageA(dialog, WM_TIMER, 1234, 0);
    EXPECT_EQ(configurator().tickCount, ticks + 1);
}

TEST_F(Commands, TheTickKeepsPollingAndRefreshesTheFormWhenPollSaysSo) {
    const std::int32_t before = configurator().tickCount;
    EXPECT_TRUE(pump.until([&] { return configurator().tickCount >= before + 2; }, 5000))
        << "ticks arrive through the message loop";

    // A version probe that has given up answers 1: the form then shows the settings again.
    configurator().operation = VersionOnly;
    configurator().tickCount = 2;
    configurator().retryCount = 4;
    configurator().settings.callsign = "FROMPOLL";
    setText(IDC_CALLSIGN, "TYPED");
    EXPECT_EQ(DialogProc(dialog, WM_TIMER, 1234, 0), 0);
    EXPECT_EQ(text(IDC_CALLSIGN), "FROMPOLL");
    EXPECT_EQ(text(IDC_STATUS_LINE), "Kavrel not found : ()");
}

// The write confirmations, answered both ways. With no port, a write that gets past them ends at
// the port.
TEST_F(Commands, WriteAsksAboutALongPathAndARateBelow120Seconds) {
    struct Case {
        const char* path;
        const char* rate;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool written;
    };
    const Case cases[] = {
        {"WIDE1-1,WIDE2-1", "120", {}, {}, true},
        {"WIDE1-1,WIDE7-7", "300", {IDCANCEL}, {kPathBoxText}, false},
        {"WIDE4-4", "300", {IDOK}, {kPathBoxText}, true},
        {"WIDE1-1", "119", {IDCANCEL}, {kRateBoxText}, false},
        {"WIDE1-1", "119", {IDOK}, {kRateBoxText}, true},
        {"X-5", "60", {IDCANCEL}, {kPathBoxText}, false},  // declining the path box skips the rate box
        {"X-6", "60", {IDOK, IDCANCEL}, {kPathBoxText, kRateBoxText}, false},
        {"X-6", "60", {IDOK, IDOK}, {kPathBoxText, kRateBoxText}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " every " + c.rate + " s");
        ModalAnswers boxes;
        for (int answer : c.answers) boxes.then(press(answer));
        configurator().statusMessage = "unchanged";
        setText(IDC_PATH, c.path);
        setText(IDC_AUTO_TX_RATE, c.rate);
        setText(IDC_CALLSIGN, "READ1");
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(boxes.seen.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(boxes.seen[i].caption, "Kavrel Write");
            EXPECT_EQ(boxes.seen[i].text, c.boxes[i]);
            EXPECT_TRUE(boxes.seen[i].hasOk && boxes.seen[i].hasCancel);
            EXPECT_EQ(boxes.seen[i].defaultButton, IDCANCEL);
        }
        EXPECT_EQ(configurator().settings.callsign, "READ1") << "the form is read before asking";
        EXPECT_EQ(configurator().statusMessage,
                  c.written ? "Could not open Com Port No COM Ports Found" : "unchanged");
    }
}

TEST_F(Commands, WriteWithATooLongStatusTextShowsTheCutTextAndSendsNothing) {
    const std::string longText(120, 'x');
    setText(IDC_STATUS_TEXT, longText);
    {
        ModalAnswers boxes;
        boxes.then(press(IDOK));
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].caption, "Text Truncated");
        EXPECT_EQ(boxes.seen[0].text, kTruncatedText);
        EXPECT_TRUE(boxes.seen[0].hasOk);
    }
    const std::string shown = text(IDC_STATUS_TEXT);
    EXPECT_LT(shown.size(), longText.size());
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(longText.compare(0, shown.size(), shown), 0) << "the form shows the start of the text";
    EXPECT_NE(configurator().statusMessage.find("Read Config Successful"), std::string::npos)
        << "nothing was sent: " << configurator().statusMessage;

    // Pressed again, the cut text fits and the write goes to the port.
    ModalAnswers none;
    click(IDC_WRITE_CONFIG);
    EXPECT_TRUE(none.seen.empty());
    EXPECT_EQ(configurator().statusMessage, "Could not open Com Port No COM Ports Found");
}

TEST_F(Commands, SaveThenLoadRoundTripsTheFormThroughTheFileDialogs) {
    TempDir dir;
    const std::string chosen = windowsPath(dir.path("station"));  // the dialog adds .kvr
    setText(IDC_CALLSIGN, "SAVED-3");
    setText(IDC_STATUS_TEXT, "Saved by a test");
    setText(IDC_QUIET_TIME, "500");
    {
        ModalAnswers dialogs;
        dialogs.then(chooseFile(chosen));
        click(IDC_SAVE);
        ASSERT_EQ(dialogs.seen.size(), 1u);
        EXPECT_EQ(dialogs.seen[0].caption, "Save As");
        EXPECT_EQ(dialogs.seen[0].fileName, "config1.kvr");
        EXPECT_EQ(dialogs.seen[0].fileType, "KavrelConfig Files (*.kvr)");
        EXPECT_FALSE(dialogs.seen[0].readOnlyBoxVisible);
    }
    EXPECT_EQ(configurator().statusMessage, "File Saved");
    const std::string file = readWholeFile(dir.path("station.kvr"));
    ASSERT_EQ(file.size(), 136u);
    EXPECT_EQ(file.substr(0, 8), std::string("KVR1\x80\0\0\0", 8));
    EXPECT_TRUE(waitForStatus("File Saved", 1000));

    // Start over: defaults in the settings and the form.
    configurator().settings = TrackerSettings{};
    writeForm(dialog);
    ASSERT_EQ(text(IDC_CALLSIGN), "NOCALL");
    {
        ModalAnswers dialogs;
        dialogs.then(chooseFile(windowsPath(dir.path("station.kvr"))));
        click(IDC_LOAD);
        ASSERT_EQ(dialogs.seen.size(), 1u);
        EXPECT_EQ(dialogs.seen[0].caption, "Open");
        EXPECT_EQ(dialogs.seen[0].fileName, "") << "Load starts with an empty name";
        EXPECT_EQ(dialogs.seen[0].fileType, "KavrelConfig Files (*.kvr)");
        EXPECT_FALSE(dialogs.seen[0].readOnlyBoxVisible);
    }
    EXPECT_EQ(configurator().statusMessage, "File Loaded");
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED-3");
    EXPECT_EQ(text(IDC_STATUS_TEXT), "Saved by a test");
    // A loaded file counts as generation 4: every control is enabled.
    for (int id : {IDC_ALLOW_TTL_SERIAL, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_TX_TWIST, IDC_FREQUENCY})
        EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(Commands, SaveCancelledReadsNothingAndEverySaveSuggestsConfig1) {
    TempDir dir;
    configurator().statusMessage = "unchanged";
    setText(IDC_CALLSIGN, "NOTREAD");
    {
        ModalAnswers dialogs;
        dialogs.then(press(IDCANCEL));
        click(IDC_SAVE);
        ASSERT_EQ(dialogs.seen.size(), 1u);
    }
    EXPECT_EQ(configurator().settings.callsign, "NOCALL");
    EXPECT_EQ(configurator().statusMessage, "unchanged");
    {
        ModalAnswers dialogs;
        dialogs.then(chooseFile(windowsPath(dir.path("other.kvr"))));
        dialogs.then(chooseFile(windowsPath(dir.path("third.kvr"))));
        click(IDC_SAVE);
        click(IDC_SAVE);
        ASSERT_EQ(dialogs.seen.size(), 2u);
        EXPECT_EQ(dialogs.seen[1].fileName, "config1.kvr") << "the last name chosen is not offered";
    }
    EXPECT_EQ(readWholeFile(dir.path("third.kvr")).size(), 136u);
    EXPECT_EQ(configurator().settings.callsign, "NOTREAD");
}

TEST_F(Commands, SaveOverAnExistingFileAsksFirst) {
    TempDir dir;
    const std::string path = dir.path("existing.kvr");
    writeWholeFile(path, "old");
    ModalAnswers dialogs;
    dialogs.then(chooseFile(windowsPath(path)));
    dialogs.then(press(IDNO));
    dialogs.then(press(IDCANCEL));  // the file dialog is still open after the "no"
    click(IDC_SAVE);
    ASSERT_GE(dialogs.seen.size(), 2u);
    EXPECT_EQ(readWholeFile(path), "old");

    ModalAnswers again;
    again.then(chooseFile(windowsPath(path)));
    again.then(press(IDYES));
    click(IDC_SAVE);
    ASSERT_EQ(again.seen.size(), 2u);
    EXPECT_EQ(readWholeFile(path).size(), 136u);
    EXPECT_EQ(configurator().statusMessage, "File Saved");
}

TEST_F(Commands, LoadOfAMissingFileReportsItAndStillRewritesTheForm) {
    TempDir dir;
    configurator().settings.model = V1_4;
    updateEnables(dialog);
    setText(IDC_CALLSIGN, "UNREAD");
    ModalAnswers dialogs;
    dialogs.then(chooseFile(windowsPath(dir.path("missing.kvr"))));
    click(IDC_LOAD);
    ASSERT_EQ(dialogs.seen.size(), 1u) << "the dialog accepts a missing file in an existing folder";
    EXPECT_EQ(configurator().statusMessage, "Failed to open file");
    EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL") << "edits not yet read are lost";
    EXPECT_TRUE(enabled(IDC_TX_TWIST)) << "the generation is unchanged";
    EXPECT_FALSE(enabled(IDC_FREQUENCY));
}

TEST_F(Commands, LoadOfAFileWithTheWrongMagicDisablesTheGenerationControls) {
    TempDir dir;
    const std::string path = dir.path("wrong.kvr");
    writeWholeFile(path, std::string("KVR2\x80\0\0\0", 8) + std::string(128, '\0'));
    configurator().settings.model = FaV1_4;
    updateEnables(dialog);
    ModalAnswers dialogs;
    dialogs.then(chooseFile(windowsPath(path)));
    click(IDC_LOAD);
    EXPECT_EQ(configurator().statusMessage, "Invalid File Format");
    EXPECT_EQ(configurator().settings.model, None);
    for (int id : {IDC_ALLOW_TTL_SERIAL, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_TX_TWIST, IDC_FREQUENCY})
        EXPECT_FALSE(enabled(id)) << id;
}

}  // namespace
