// Transfers through the Win32 SerialPort against simulated trackers. CMakeLists.txt runs this with
// COM8 a generation 3 tracker, COM6 a generation 1 tracker that listens at 2400 baud only, and
// COM7 a generation 3 tracker whose line drops after five bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "link/tick_loop.h"
#include "support/scripted_prompts.h"

namespace {

const std::uint8_t kReadVersion[] = {kEsc, 'V'};

struct Station {
    ScriptedPrompts script;
    Prompts prompts = script.prompts();
    SerialPort port;
    Configurator cfg{port, prompts};

    explicit Station(const char* portName) {
        port.portName = portName;
        script.realPauses = true;  // the trackers of generation 1 and 2 need their time to store
    }

    void readConfig() {
        cfg.retryCount = 0;
        cfg.startOperation(VersionThenRead);
        runUntilIdle(cfg, TickObserver{nullptr, nullptr});
    }

    void writeConfig() {
        cfg.beginWrite();
        runUntilIdle(cfg, TickObserver{nullptr, nullptr});
    }
};

std::string drainReply(SerialPort& port) {
    std::string reply;
    std::uint8_t byte = 0;
    while (port.readByte(byte) && reply.size() < 256) reply += static_cast<char>(byte);
    return reply;
}

}  // namespace

// The tracker closes its end after five bytes; the last of them may be lost with the line.
TEST(Win32PortOnTheLine, ALineThatDropsFailsTheWritesThatFollow) {
    SerialPort port;
    port.portName = "COM7";
    ASSERT_FALSE(port.open());
    port.writeBytes(2, kReadVersion, 0);
    const std::string reply = drainReply(port);
    EXPECT_LE(reply.size(), 5u);
    EXPECT_EQ(std::string("Kavrel v1.4\r\n").compare(0, reply.size(), reply), 0);
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.readByte(byte));  // Wine reads the end of the line as silence
    port.lastError.clear();
    EXPECT_LT(port.writeBytes(2, kReadVersion, 0), 2);
    EXPECT_EQ(port.lastError, "Write: Failed 2");
    port.close();
}

TEST(Win32Transfer, WriteConfigStoresWhatALaterReadFindsAgain) {
    Station writer("COM8");
    writer.cfg.settings.callsign = "KX9ABC-7";
    writer.cfg.settings.statusText = "Written under Wine";
    writer.cfg.settings.autoTxRateSec = 600;
    writer.cfg.settings.peetMode = false;
    writer.cfg.settings.wx200Mode = true;

    writer.writeConfig();

    EXPECT_EQ(writer.cfg.statusMessage, "Config Written Successfully!");
    EXPECT_TRUE(writer.script.shown.empty());
    EXPECT_TRUE(writer.script.pauses.empty());  // generation 3 needs no time to store
    EXPECT_EQ(writer.port.handle, -1);

    Station reader("COM8");
    reader.readConfig();
    EXPECT_EQ(reader.cfg.statusMessage, "Read Config Successful");
    EXPECT_EQ(reader.cfg.bytesReceived, kImageSize);
    EXPECT_EQ(reader.cfg.settings.model, V1_4);
    EXPECT_EQ(reader.port.handle, -1);
    EXPECT_EQ(reader.port.baudRate, 9600);
    EXPECT_EQ(reader.cfg.settings.callsign, "KX9ABC-7");
    EXPECT_EQ(reader.cfg.settings.statusText, "Written under Wine");
    EXPECT_EQ(reader.cfg.settings.autoTxRateSec, 600);
    EXPECT_FALSE(reader.cfg.settings.peetMode);
    EXPECT_TRUE(reader.cfg.settings.wx200Mode);
}

// Found at 2400 baud on the second attempt; the speed is kept for the write that follows, which
// waits for a generation 1 tracker to store the image before reading it back.
TEST(Win32Transfer, ATrackerAt2400BaudIsFoundOnTheSecondAttemptAndKeepsThatSpeed) {
    Station station("COM6");
    station.readConfig();
    EXPECT_EQ(station.cfg.statusMessage, "Read Config Successful");
    EXPECT_EQ(station.cfg.settings.model, V1_1);
    EXPECT_EQ(station.cfg.retryCount, 1);
    EXPECT_EQ(station.port.baudRate, 2400);

    station.cfg.settings.statusText = "Slow line";
    station.writeConfig();
    EXPECT_EQ(station.cfg.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(station.cfg.retryCount, 0);
    EXPECT_EQ(station.port.baudRate, 2400);
    ASSERT_EQ(station.script.pauses.size(), 1u);
    EXPECT_EQ(station.script.pauses[0], 2000);
}
