// The dialog against simulated trackers through the Win32 port: COM3 of generation 4 tracing its
// line, COM7 of generation 2 answering only at 2400 baud, COM9 of generation 1.
#include <cstdlib>
#include <fstream>

#include "dialog.h"

namespace {

// The bytes the host sent to COM3, from its simulator's trace ("  12.345 ms  host> 1B ...").
std::string sentToCom3() {
    std::ifstream log(std::string("Z:") + std::getenv("KAVREL_LOG_COM3"));
    std::string line, bytes;
    while (std::getline(log, line))
        if (line.find("host> ") != std::string::npos)
            bytes += static_cast<char>(std::stoi(line.substr(line.find("host> ") + 6, 2), nullptr, 16));
    return bytes;
}

class Tracker : public DialogTest {
protected:
    void select(const char* name) {
        SendDlgItemMessageA(dialog, IDC_PORT, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    }
    // The status line once the transfer has ended.
    std::string untilIdle() {
        until([] { return mainConfigurator().operation == Idle; }, 15000);
        until([] { return false; }, 150);
        return text(IDC_STATUS_LINE);
    }
};

// The version enables what generation 2 carries; Read Config replaces the form, typed edits too.
TEST_F(Tracker, ReadVersionAndReadConfigShowWhatTheTrackerHolds) {
    select("COM7");
    click(IDC_READ_VERSION);
    EXPECT_EQ(untilIdle(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_EQ(mainSerialPort().baudRate, 2400);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_INVERT_CD)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_TX_TWIST)));
    setText(IDC_AUTO_TXD, "999");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(untilIdle(), "Read Config Successful");
    EXPECT_EQ(text(IDC_AUTO_TXD), "253");
}

// Right after start-up the settings belong to no generation: the tracker that answers decides the
// layout stored. Generation 1: the address block at 9, only the Peet switch, "APKV01".
TEST_F(Tracker, WriteRightAfterStartUpStoresTheLayoutOfAFirstGenerationTracker) {
    select("COM9");
    setText(IDC_CALLSIGN, "KV7TST-5");
    click(IDC_WRITE_CONFIG);
    EXPECT_EQ(untilIdle(), "Config Written Successfully!");
    setText(IDC_CALLSIGN, "");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(untilIdle(), "Read Config Successful");
    EXPECT_EQ(text(IDC_CALLSIGN), "KV7TST-5");
    const ConfigImage& stored = mainConfigurator().readImage;
    EXPECT_EQ(stored[0], 9);
    EXPECT_EQ(stored[5], 0x40);
    EXPECT_EQ(std::string(stored.begin() + 9, stored.begin() + 16), "\x82\xA0\x96\xAC\x60\x62\x60");
}

// Quit while the image goes out sends the rest of it first: the tracker would take the next
// command's bytes as the end of its image.
TEST_F(Tracker, QuitDuringTheImageSendsItsLastByteFirst) {
    click(IDC_WRITE_CONFIG);
    ASSERT_TRUE(until([] { return mainConfigurator().operation == Writing && mainConfigurator().writePos == 32; }));
    DialogProc(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(mainConfigurator().writePos, 128);
    EXPECT_TRUE(until([&] { return quitPosted; }, 1000));
    EXPECT_TRUE(until([] {
        const std::string sent = sentToCom3();
        return sent.rfind("\x1B" "D") != std::string::npos && sent.size() >= sent.rfind("\x1B" "D") + 2 + 128;
    }, 3000));
}

// Each tone button puts its three bytes on the line and gives the port back; the status stays.
TEST_F(Tracker, TestTonesPutTheirThreeBytesOnTheLine) {
    mainConfigurator().statusMessage = "untouched";
    const std::string before = sentToCom3();
    for (int button : {IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST}) {
        click(button);
        EXPECT_EQ(mainSerialPort().handle, -1);
    }
    EXPECT_TRUE(until([&] { return sentToCom3() == before + "\x1B\x1B" "1\x1B\x1B" "2\x1B\x1B" "3\x1B\x1B\x1B"; }, 3000));
    EXPECT_TRUE(until([&] { return text(IDC_STATUS_LINE) == "untouched"; }, 1000));
}

}  // namespace
