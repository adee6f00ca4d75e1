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

// The file dialogs offer .kvr files, without the read-only box.
void expectFileDialog(const ModalWindow& shown, const char* caption, const char* fileName) {
    EXPECT_EQ(shown.caption, caption);
    EXPECT_EQ(shown.fileName, fileName);
    EXPECT_EQ(shown.fileType, "KavrelConfig Files (*.kvr)");
    EXPECT_FALSE(shown.readOnlyBoxVisible);
}

using Commands = MainDialogTest;

TEST_F(Commands, WithoutPortsTheListHoldsOnlyNoComPortsFoundSelected) {
    ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCURSEL, 0, 0), 0);
    EXPECT_STREQ(selectedPortName(dialog), kNoPorts);
}

// The selected entry or the name as typed, up to 99 characters, is reported at the next tick.
TEST_F(Commands, ADeviceCommandOnAPortThatDoesNotOpenReportsItAtTheNextTick) {
    const std::string longName = "COM" + std::string(150, '7');
    const struct { int button; std::string typed, used; } cases[] = {{IDC_READ_VERSION, "", kNoPorts},
                 {IDC_READ_CONFIG, "COM25", "COM25"},
                 {IDC_WRITE_CONFIG, longName, longName.substr(0, 99)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        configurator().statusMessage = "before";
        ASSERT_TRUE(waitForStatus("before", 2000));
        if (!c.typed.empty()) setText(IDC_PORT, c.typed);
        click(c.button);
        EXPECT_EQ(port().portName, c.used);
        EXPECT_EQ(configurator().statusMessage, "Could not open Com Port " + c.used);
        EXPECT_EQ(text(IDC_STATUS_LINE), "before") << "the status line changes only at a tick";
        EXPECT_TRUE(waitForStatus("Could not open Com Port " + c.used, 2000));
        EXPECT_EQ(configurator().operation, Idle);
    }
}

TEST_F(Commands, OnlyWholeButtonIdentifiersAreCommands) {
    configurator().statusMessage = "unchanged";
    port().lastError.clear();  // the probe leaves the last absent port's text
    // IDOK, a check box, and notifications with a nonzero code are not handled.
    for (WPARAM wParam : {WPARAM{IDOK}, WPARAM{IDC_TX_TWIST}, WPARAM(MAKEWPARAM(IDC_READ_CONFIG, BN_DOUBLECLICKED)),
                          WPARAM(MAKEWPARAM(IDC_PORT, CBN_EDITCHANGE)), WPARAM(MAKEWPARAM(IDCANCEL, 1))})
        EXPECT_EQ(command(wParam), 0) << std::hex << wParam;
    EXPECT_EQ(configurator().statusMessage, "unchanged");
    EXPECT_EQ(port().lastError, "");
    pump.runFor(150);
    EXPECT_FALSE(pump.quitPosted);
}

// A loaded image may set both modes: the form shows both, and either button clears the other;
// the settings follow only when the form is read.
TEST_F(Commands, ModeButtonsClearEachOtherButTheSettingsWaitForReadForm) {
    for (int pressed : {IDC_PEET, IDC_WX200}) {
        configurator().settings.peetMode = configurator().settings.wx200Mode = true;
        writeForm(dialog);
        EXPECT_TRUE(checked(IDC_PEET) && checked(IDC_WX200));
        EXPECT_EQ(command(static_cast<WPARAM>(pressed)), 1);
        EXPECT_TRUE(checked(pressed));
        EXPECT_FALSE(checked(pressed == IDC_PEET ? IDC_WX200 : IDC_PEET));
        EXPECT_TRUE(configurator().settings.peetMode && configurator().settings.wx200Mode);
        readForm(dialog);
        EXPECT_EQ(configurator().settings.peetMode, pressed == IDC_PEET);
        EXPECT_EQ(configurator().settings.wx200Mode, pressed == IDC_WX200);
    }
}

TEST_F(Commands, StatusLineShowsStaticUntilTheFirstTickThenTheStatusMessage) {
    TearDown();
    configurator().statusMessage = "first";
    openDialog();
    EXPECT_EQ(text(IDC_STATUS_LINE), "Static");
    EXPECT_TRUE(waitForStatus("first", 1000));
}

// A version probe that has given up answers 1: the form then shows the settings again.
TEST_F(Commands, TheTickPollsAndRefreshesTheFormWhenPollSaysSo) {
    configurator().operation = VersionOnly;
    configurator().tickCount = 2;
    configurator().retryCount = 4;
    configurator().settings.callsign = "FROMPOLL";
    setText(IDC_CALLSIGN, "TYPED");
    EXPECT_TRUE(waitForStatus("Kavrel not found : ()", 5000)) << "ticks arrive through the message loop";
    EXPECT_EQ(text(IDC_CALLSIGN), "FROMPOLL");
}

// The write confirmations, answered both ways: in `boxes` P is the path box and R the rate box, in
// `answers` O is OK and C Cancel. With no port, a write that gets past them ends at the port.
TEST_F(Commands, WriteAsksAboutALongPathAndARateBelow120Seconds) {
    const struct { const char *path, *rate, *answers, *boxes; bool written; } cases[] = {
        {"WIDE1-1,WIDE2-1", "120", "", "", true}, {"WIDE1-1,WIDE7-7", "300", "C", "P", false},
        {"WIDE4-4", "300", "O", "P", true},       {"WIDE1-1", "119", "C", "R", false},
        {"X-5", "60", "C", "P", false},  // declining the path box skips the rate box
        {"X-6", "60", "OC", "PR", false},         {"X-6", "60", "OO", "PR", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " every " + c.rate + " s");
        ModalAnswers boxes;
        for (const char* a = c.answers; *a != 0; ++a) boxes.then(press(*a == 'O' ? IDOK : IDCANCEL));
        configurator().statusMessage = "unchanged";
        setText(IDC_PATH, c.path);
        setText(IDC_AUTO_TX_RATE, c.rate);
        setText(IDC_CALLSIGN, "READ1");
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(boxes.seen.size(), std::string(c.boxes).size());
        for (std::size_t i = 0; i < boxes.seen.size(); ++i) {
            EXPECT_EQ(boxes.seen[i].caption, "Kavrel Write");
            EXPECT_EQ(boxes.seen[i].text, c.boxes[i] == 'P' ? kPathBoxText : kRateBoxText);
            EXPECT_TRUE(boxes.seen[i].hasOk && boxes.seen[i].hasCancel);
            EXPECT_EQ(boxes.seen[i].defaultButton, IDCANCEL);
        }
        EXPECT_EQ(configurator().settings.callsign, "READ1") << "the form is read before asking";
        EXPECT_EQ(configurator().statusMessage,
                  c.written ? "Could not open Com Port No COM Ports Found" : "unchanged");
    }
}

TEST_F(Commands, WriteWithATooLongStatusTextShowsTheCutTextAndSendsNothing) {
    setText(IDC_STATUS_TEXT, std::string(120, 'x'));
    {
        ModalAnswers boxes;
        boxes.then(press(IDOK));
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].caption, "Text Truncated");
        EXPECT_EQ(boxes.seen[0].text, kTruncatedText);
    }
    const std::size_t shown = text(IDC_STATUS_TEXT).size();
    EXPECT_TRUE(shown > 0 && shown < 120) << shown;
    EXPECT_NE(configurator().statusMessage.find("Read Config Successful"), std::string::npos)
        << "nothing was sent: " << configurator().statusMessage;

    // Pressed again, the cut text fits and the write goes to the port.
    click(IDC_WRITE_CONFIG);
    EXPECT_EQ(configurator().statusMessage, "Could not open Com Port No COM Ports Found");
}

TEST_F(Commands, SaveThenLoadRoundTripsTheFormThroughTheFileDialogs) {
    TempDir dir;
    setText(IDC_CALLSIGN, "SAVED-3");
    {
        ModalAnswers dialogs;
        dialogs.then(chooseFile(windowsPath(dir.path("station"))));  // the dialog adds .kvr
        dialogs.then(press(IDCANCEL));
        click(IDC_SAVE);
        EXPECT_EQ(configurator().statusMessage, "File Saved");
        configurator().statusMessage = "unchanged";
        setText(IDC_CALLSIGN, "NOTREAD");
        click(IDC_SAVE);
        EXPECT_EQ(configurator().settings.callsign, "SAVED-3") << "a cancelled save reads nothing";
        EXPECT_EQ(configurator().statusMessage, "unchanged");
        ASSERT_EQ(dialogs.seen.size(), 2u);
        // The last name chosen is not offered again.
        for (const ModalWindow& shown : dialogs.seen) expectFileDialog(shown, "Save As", "config1.kvr");
    }
    const std::string file = readWholeFile(dir.path("station.kvr"));
    ASSERT_EQ(file.size(), 136u);
    EXPECT_EQ(file.substr(0, 8), std::string("KVR1\x80\0\0\0", 8));

    configurator().settings = TrackerSettings{};
    writeForm(dialog);
    {
        ModalAnswers dialogs;
        dialogs.then(chooseFile(windowsPath(dir.path("station.kvr"))));
        click(IDC_LOAD);
        ASSERT_EQ(dialogs.seen.size(), 1u);
        expectFileDialog(dialogs.seen[0], "Open", "");  // Load starts with an empty name
    }
    EXPECT_EQ(configurator().statusMessage, "File Loaded");
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED-3");
    EXPECT_TRUE(enabled(IDC_FREQUENCY)) << "a loaded file counts as generation 4";
}

TEST_F(Commands, SaveOverAnExistingFileAsksFirst) {
    TempDir dir;
    const std::string path = dir.path("existing.kvr");
    writeWholeFile(path, "old");
    ModalAnswers dialogs;
    dialogs.then(chooseFile(windowsPath(path)));
    dialogs.then(press(IDNO));
    dialogs.then(press(IDCANCEL));  // the file dialog is still open after the "no"
    dialogs.then(chooseFile(windowsPath(path)));
    dialogs.then(press(IDYES));
    click(IDC_SAVE);
    EXPECT_EQ(readWholeFile(path), "old");
    click(IDC_SAVE);
    EXPECT_EQ(readWholeFile(path).size(), 136u);
    EXPECT_EQ(configurator().statusMessage, "File Saved");
}

// A missing file leaves the generation alone; a wrong magic forgets it. Either way the form is
// rewritten from the settings, losing edits not yet read.
TEST_F(Commands, LoadOfAMissingOrWrongFileReportsItAndRewritesTheForm) {
    TempDir dir;
    writeWholeFile(dir.path("wrong.kvr"), std::string("KVR2\x80\0\0\0", 8) + std::string(128, '\0'));
    const struct { const char *name, *status; int model; } cases[] = {{"missing.kvr", "Failed to open file", V1_4}, {"wrong.kvr", "Invalid File Format", None}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        configurator().settings.model = V1_4;
        updateEnables(dialog);
        setText(IDC_CALLSIGN, "UNREAD");
        ModalAnswers dialogs;
        dialogs.then(chooseFile(windowsPath(dir.path(c.name))));
        click(IDC_LOAD);
        ASSERT_EQ(dialogs.seen.size(), 1u);
        EXPECT_EQ(configurator().statusMessage, c.status);
        EXPECT_EQ(configurator().settings.model, c.model);
        EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL");
        EXPECT_EQ(enabled(IDC_TX_TWIST), c.model == V1_4);
    }
}

}  // namespace
