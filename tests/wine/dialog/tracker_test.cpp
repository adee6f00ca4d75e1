// The dialog against simulated trackers: COM3 is generation 4 ("FA v1.4") at 9600 baud, COM7
// generation 2 ("v1.2") at 2400 baud, found on the probe's second attempt, COM9 generation 1
// ("v1.1"); every other COM port is absent. The simulator on COM3 traces the line to the file named by KAVREL_LOG_COM3.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "modal_answers.h"
#include "ui/form_binding.h"
#include "ui/resources/resource.h"

namespace {

// The bytes the host sent to the simulator on COM3, from its trace. "com3.log" is a device name
// to Windows, whatever the folder; the "\\?\" form of the path opens the file itself.
std::vector<unsigned> hostBytes() {
    const char* unixPath = std::getenv("KAVREL_LOG_COM3");
    if (unixPath == nullptr) return {};
    std::string path = std::string("\\\\?\\Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) content.append(chunk, got);
    CloseHandle(file);
    std::vector<unsigned> bytes;  // each traced line reads "<time> <unit> host> <hex> ..."
    for (std::size_t at = content.find(" host> "); at != std::string::npos; at = content.find(" host> ", at + 1))
        bytes.push_back(static_cast<unsigned>(std::stoul(content.substr(at + 7, 2), nullptr, 16)));
    return bytes;
}

class Tracker : public MainDialogTest {
protected:
    void selectPort(const char* name) {
        const LRESULT index = SendDlgItemMessageA(dialog, IDC_PORT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(name));
        ASSERT_GE(index, 0) << name << " is not listed";
        SendDlgItemMessageA(dialog, IDC_PORT, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    // Pumps until the transfer is idle again, collecting every text the status line showed.
    std::vector<std::string> statusLinesUntilIdle() {
        std::vector<std::string> shown{""};
        pump.until(
            [&] {
                const std::string now = text(IDC_STATUS_LINE);
                if (shown.back() != now) shown.push_back(now);
                return configurator().operation == Idle && now == configurator().statusMessage;
            },
            15000);  // far beyond a read (about 1 s) or a write (about 3 s)
        return shown;
    }

    static bool showed(const std::vector<std::string>& shown, const std::string& line) {
        return std::find(shown.begin(), shown.end(), line) != shown.end();
    }

    // Generation 4 enables every switch and the frequency; generation 2 neither TX Twist nor it.
    void expectEnabledForGeneration(int generation) {
        for (int id : {IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_ALLOW_TTL_SERIAL}) EXPECT_TRUE(enabled(id)) << id;
        EXPECT_EQ(enabled(IDC_TX_TWIST), generation == 4);
        EXPECT_EQ(enabled(IDC_FREQUENCY), generation == 4);
    }
};

TEST_F(Tracker, ThePortListHoldsTheOpenPortsInOrderWithTheFirstSelected) {
    ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCOUNT, 0, 0), 3);
    char item[100] = {};
    SendDlgItemMessageA(dialog, IDC_PORT, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "COM7");
    EXPECT_EQ(text(IDC_PORT), "COM3");
    EXPECT_EQ(port().handle, -1) << "probing leaves no port open";
}

TEST_F(Tracker, ReadVersionShowsTheReplyAndEnablesWhatTheGenerationCarries) {
    click(IDC_READ_VERSION);
    std::vector<std::string> shown = statusLinesUntilIdle();
    EXPECT_EQ(shown.back(), "Version Read : \"Kavrel FA v1.4\r\n\"");
    EXPECT_TRUE(showed(shown, "Reading Version"));
    EXPECT_EQ(configurator().settings.model, FaV1_4);
    expectEnabledForGeneration(4);

    // Every request starts with all five attempts, even after one that gave up.
    configurator().retryCount = 5;
    selectPort("COM7");
    click(IDC_READ_VERSION);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_EQ(port().baudRate, 2400);
    EXPECT_EQ(configurator().settings.model, V1_2);
    expectEnabledForGeneration(2);
}

// The simulators hold their generation's factory image, which replaces what the form showed.
TEST_F(Tracker, ReadConfigReplacesTheFormWithTheTrackersSettings) {
    for (const char* name : {"COM3", "COM7"}) {
        SCOPED_TRACE(name);
        selectPort(name);
        configurator().settings.callsign = "STALE";
        configurator().settings.frequencyMHz = 146.0f;
        writeForm(dialog);
        setText(IDC_AUTO_TXD, "999");  // typed and not read: replaced as well
        click(IDC_READ_CONFIG);
        const std::vector<std::string> shown = statusLinesUntilIdle();
        EXPECT_EQ(shown.back(), "Read Config Successful");
        EXPECT_TRUE(showed(shown, "Reading Config"));
        EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL");
        EXPECT_EQ(text(IDC_AUTO_TXD), "253");
        EXPECT_EQ(text(IDC_FREQUENCY), "144.390");
        expectEnabledForGeneration(std::string(name) == "COM3" ? 4 : 2);
    }
}

TEST_F(Tracker, WrittenSettingsComeBackWithReadConfig) {
    configurator().settings.model = FaV1_4;  // as after a read: every field is carried
    updateEnables(dialog);
    setText(IDC_CALLSIGN, "KV7TST-5");
    setText(IDC_STATUS_TEXT, "Written through the dialog");
    setText(IDC_AUTO_TX_RATE, "600");
    setText(IDC_FREQUENCY, "145.825");
    click(IDC_WX200);
    SendDlgItemMessageA(dialog, IDC_INVERT_CD, BM_SETCHECK, BST_CHECKED, 0);
    click(IDC_WRITE_CONFIG);  // neither confirmation applies
    const std::vector<std::string> shown = statusLinesUntilIdle();
    EXPECT_EQ(shown.back(), "Config Written Successfully!");
    EXPECT_TRUE(showed(shown, "Verifying Config"));
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const std::string& line) { return line.rfind("Writing Config : *", 0) == 0; }));

    configurator().settings = TrackerSettings{};
    writeForm(dialog);
    updateEnables(dialog);
    click(IDC_READ_CONFIG);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Read Config Successful");
    EXPECT_EQ(text(IDC_CALLSIGN), "KV7TST-5");
    EXPECT_EQ(text(IDC_STATUS_TEXT), "Written through the dialog");
    EXPECT_EQ(text(IDC_AUTO_TX_RATE), "600");
    EXPECT_EQ(text(IDC_FREQUENCY), "145.825");
    EXPECT_TRUE(checked(IDC_WX200));
    EXPECT_FALSE(checked(IDC_PEET));
    EXPECT_TRUE(checked(IDC_INVERT_CD));
}

// Right after start-up the settings are laid out for no generation in particular; the tracker
// that answers decides the layout it stores.
TEST_F(Tracker, WriteRightAfterStartUpStoresTheLayoutOfAFirstGenerationTracker) {
    selectPort("COM9");
    click(IDC_WRITE_CONFIG);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Config Written Successfully!");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Read Config Successful");
    const ConfigImage& stored = configurator().readImage;
    EXPECT_EQ(stored[0], 9);     // the address block starts at 9
    EXPECT_EQ(stored[5], 0x40);  // Peet only: generation 1 carries no other switch
    EXPECT_EQ(std::vector<unsigned>(stored.begin() + 9, stored.begin() + 16),
              (std::vector<unsigned>{0x82, 0xA0, 0x96, 0xAC, 0x60, 0x62, 0x60}));  // "APKV01"
    EXPECT_EQ(text(IDC_FREQUENCY), "144.390");
}

TEST_F(Tracker, QuitDuringTheImageSendsItsLastByteFirst) {
    click(IDC_WRITE_CONFIG);
    ASSERT_TRUE(pump.until([] { return configurator().operation == Writing && configurator().writePos == 32; }, 5000));
    command(IDCANCEL);
    EXPECT_EQ(configurator().writePos, 128);
    pump.runFor(100);
    EXPECT_TRUE(pump.quitPosted);
    std::vector<unsigned> sent;
    const auto imageBytesSent = [&] {
        sent = hostBytes();
        for (std::size_t at = sent.size(); at-- > 1;)
            if (sent[at - 1] == 0x1B && sent[at] == 'D') return sent.size() - at - 1;
        return std::size_t{0};
    };
    EXPECT_TRUE(pump.until([&] { return imageBytesSent() >= 128; }, 3000));
}

TEST_F(Tracker, TestTonesPutTheirThreeBytesOnTheLineAndCloseThePort) {
    const std::pair<int, unsigned> tones[] = {
        {IDC_SEND_1200, '1'}, {IDC_SEND_2200, '2'}, {IDC_SEND_BOTH, '3'}, {IDC_STOP_TEST, 0x1B}};
    configurator().statusMessage = "untouched";
    for (const auto& tone : tones) {
        SCOPED_TRACE(tone.first);
        const std::size_t before = hostBytes().size();
        click(tone.first);
        EXPECT_EQ(port().handle, -1) << "the port is held only for the exchange";
        std::vector<unsigned> sent;
        pump.until([&] { return (sent = hostBytes()).size() >= before + 3; }, 3000);
        ASSERT_EQ(sent.size(), before + 3);
        EXPECT_EQ(std::vector<unsigned>(sent.begin() + static_cast<long>(before), sent.end()),
                  (std::vector<unsigned>{0x1B, 0x1B, tone.second}));
    }
    EXPECT_TRUE(waitForStatus("untouched", 2000));
}

}  // namespace
