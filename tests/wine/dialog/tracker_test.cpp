// The dialog against simulated trackers: COM3 is generation 4 ("FA v1.4") at 9600 baud, COM7
// generation 2 ("v1.2") at 2400 baud, found on the probe's second attempt; every other COM port is
// absent. Both simulators trace the line to the files named by
// KAVREL_LOG_COM3 and KAVREL_LOG_COM7.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "modal_answers.h"
#include "ui/form_binding.h"
#include "ui/resources/resource.h"

namespace {

constexpr int kTransferMs = 15000;  // far beyond a read (about 1 s) or a write (about 3 s)

// A byte the simulator saw the host send, with the simulator's time in milliseconds.
struct HostByte {
    double ms;
    unsigned byte;
};

// The whole of a Unix file. "comN.log" is a device name to Windows, whatever the folder; the
// "\\?\" form of the path opens the file itself.
std::string readUnixFile(const std::string& unixPath) {
    std::string path = "\\\\?\\Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) content.append(chunk, got);
    CloseHandle(file);
    return content;
}

// The bytes the host sent to the simulator behind a port, from its trace.
std::vector<HostByte> hostBytes(const char* port) {
    const char* unixPath = std::getenv((std::string("KAVREL_LOG_") + port).c_str());
    if (unixPath == nullptr) return {};
    std::vector<HostByte> bytes;
    std::istringstream lines(readUnixFile(unixPath));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        double ms = 0;
        std::string unit, kind, hex;
        if (fields >> ms >> unit >> kind >> hex && kind == "host>") bytes.push_back({ms, std::stoul(hex, nullptr, 16)});
    }
    return bytes;
}

class Tracker : public MainDialogTest {
protected:
    void selectPort(const char* name) {
        const LRESULT index = SendDlgItemMessageA(dialog, IDC_PORT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(name));
        ASSERT_GE(index, 0) << name << " is not listed";
        SendDlgItemMessageA(dialog, IDC_PORT, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ASSERT_EQ(text(IDC_PORT), name);
    }

    // Pumps until the transfer is idle again, collecting every text the status line showed.
    std::vector<std::string> statusLinesUntilIdle() {
        std::vector<std::string> shown;
        pump.until(
            [&] {
                const std::string now = text(IDC_STATUS_LINE);
                if (shown.empty() || shown.back() != now) shown.push_back(now);
                return configurator().operation == Idle && now == configurator().statusMessage;
            },
            kTransferMs);
        return shown;
    }

    void expectEnabled(bool invertCdAndOthers, bool txTwist, bool frequency) {
        EXPECT_EQ(enabled(IDC_INVERT_CD), invertCdAndOthers);
        EXPECT_EQ(enabled(IDC_SEND_WITH_WEATHER), invertCdAndOthers);
        EXPECT_EQ(enabled(IDC_ALLOW_TTL_SERIAL), invertCdAndOthers);
        EXPECT_EQ(enabled(IDC_TX_TWIST), txTwist);
        EXPECT_EQ(enabled(IDC_FREQUENCY), frequency);
    }
};

TEST_F(Tracker, ThePortListHoldsTheOpenPortsInOrderWithTheFirstSelected) {
    ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_PORT, CB_GETCOUNT, 0, 0), 2);
    char item[100] = {};
    SendDlgItemMessageA(dialog, IDC_PORT, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "COM3");
    SendDlgItemMessageA(dialog, IDC_PORT, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "COM7");
    EXPECT_EQ(text(IDC_PORT), "COM3");
    EXPECT_EQ(port().handle, -1) << "probing leaves no port open";
}

TEST_F(Tracker, ReadVersionShowsTheReplyAndEnablesWhatTheGenerationCarries) {
    click(IDC_READ_VERSION);
    std::vector<std::string> shown = statusLinesUntilIdle();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "Version Read : \"Kavrel FA v1.4\r\n\"");
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Reading Version"), shown.end());
    EXPECT_EQ(configurator().settings.model, FaV1_4);
    expectEnabled(true, true, true);

    selectPort("COM7");
    click(IDC_READ_VERSION);
    shown = statusLinesUntilIdle();
    EXPECT_EQ(shown.back(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_EQ(configurator().settings.model, V1_2);
    expectEnabled(true, false, false);
}

TEST_F(Tracker, EveryRequestStartsWithAllFiveAttempts) {
    // As a request that gave up leaves it.
    configurator().retryCount = 5;
    selectPort("COM7");
    click(IDC_READ_VERSION);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_EQ(port().baudRate, 2400);
}

TEST_F(Tracker, ReadConfigReplacesTheFormWithTheTrackersSettings) {
    for (const char* name : {"COM3", "COM7"}) {
        SCOPED_TRACE(name);
        selectPort(name);
        configurator().settings.callsign = "STALE";
        configurator().settings.statusText = "stale text";
        configurator().settings.frequencyMHz = 146.0f;
        writeForm(dialog);
        setText(IDC_AUTO_TXD, "999");  // typed and not read: replaced as well
        click(IDC_READ_CONFIG);
        const std::vector<std::string> shown = statusLinesUntilIdle();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), "Read Config Successful");
        EXPECT_NE(std::find(shown.begin(), shown.end(), "Reading Config"), shown.end());
        // The simulators hold their generation's factory image.
        EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL");
        EXPECT_EQ(text(IDC_PATH), "WIDE1-1,WIDE2-1");
        EXPECT_EQ(text(IDC_STATUS_TEXT), "Kavrel");
        EXPECT_EQ(text(IDC_AUTO_TXD), "253");
        EXPECT_EQ(text(IDC_FREQUENCY), "144.390");
        if (std::string(name) == "COM3")
            expectEnabled(true, true, true);
        else
            expectEnabled(true, false, false);
    }
}

TEST_F(Tracker, WrittenSettingsComeBackWithReadConfig) {
    configurator().settings.model = FaV1_4;  // as after a read: every field is carried
    updateEnables(dialog);
    setText(IDC_CALLSIGN, "KV7TST-5");
    setText(IDC_PATH, "WIDE2-2");
    setText(IDC_STATUS_TEXT, "Written through the dialog");
    setText(IDC_AUTO_TX_RATE, "600");
    setText(IDC_SEND_EVERY, "7");
    setText(IDC_FREQUENCY, "145.825");
    click(IDC_WX200);
    SendDlgItemMessageA(dialog, IDC_INVERT_CD, BM_SETCHECK, BST_CHECKED, 0);
    {
        ModalAnswers none;  // neither confirmation applies
        click(IDC_WRITE_CONFIG);
        EXPECT_TRUE(none.seen.empty());
    }
    const std::vector<std::string> shown = statusLinesUntilIdle();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "Config Written Successfully!");
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Verifying Config"), shown.end());
    bool sawChunks = false;
    for (const std::string& line : shown) sawChunks = sawChunks || line.rfind("Writing Config : *", 0) == 0;
    EXPECT_TRUE(sawChunks);

    configurator().settings = TrackerSettings{};
    writeForm(dialog);
    updateEnables(dialog);
    click(IDC_READ_CONFIG);
    EXPECT_EQ(statusLinesUntilIdle().back(), "Read Config Successful");
    EXPECT_EQ(text(IDC_CALLSIGN), "KV7TST-5");
    EXPECT_EQ(text(IDC_PATH), "WIDE2-2");
    EXPECT_EQ(text(IDC_STATUS_TEXT), "Written through the dialog");
    EXPECT_EQ(text(IDC_AUTO_TX_RATE), "600");
    EXPECT_EQ(text(IDC_SEND_EVERY), "7");
    EXPECT_EQ(text(IDC_FREQUENCY), "145.825");
    EXPECT_TRUE(checked(IDC_WX200));
    EXPECT_FALSE(checked(IDC_PEET));
    EXPECT_TRUE(checked(IDC_INVERT_CD));
}

TEST_F(Tracker, TestTonesPutTheirThreeBytesOnTheLineAndCloseThePort) {
    struct Tone {
        int button;
        unsigned last;
    };
    const Tone tones[] = {{IDC_SEND_1200, '1'}, {IDC_SEND_2200, '2'}, {IDC_SEND_BOTH, '3'}, {IDC_STOP_TEST, 0x1B}};
    configurator().statusMessage = "untouched";
    for (const Tone& tone : tones) {
        SCOPED_TRACE(tone.button);
        const std::size_t before = hostBytes("COM3").size();
        click(tone.button);
        EXPECT_EQ(port().handle, -1) << "the port is held only for the exchange";
        std::vector<HostByte> sent;
        pump.until(
            [&] {
                sent = hostBytes("COM3");
                return sent.size() >= before + 3;
            },
            3000);
        ASSERT_EQ(sent.size(), before + 3);
        EXPECT_EQ(sent[before].byte, 0x1Bu);
        EXPECT_EQ(sent[before + 1].byte, 0x1Bu);
        EXPECT_EQ(sent[before + 2].byte, tone.last);
        // Paced, 10 ms after each byte: nowhere near the 2 ms that three bytes take at 9600 baud.
        EXPECT_GE(sent[before + 2].ms - sent[before].ms, 15.0);
    }
    EXPECT_EQ(configurator().statusMessage, "untouched");
    EXPECT_TRUE(waitForStatus("untouched", 2000));
}

}  // namespace
