// kavrel-bench PORT GENERATION [RUNS]: times Read Config and Write Config against a tracker (the
// simulator) on PORT, with the same tick loop as the dialog, and sets each beside the shortest
// time the protocol allows. GENERATION says what the tracker on PORT is; the line runs at 9600.
// Prints one row per case: the median of RUNS transfers (default 3).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/protocol_floor.h"
#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "link/tick_loop.h"

namespace {

void showNotice(void*, const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }
bool acceptAll(void*, const char*, const char*) { return true; }
void sleepFor(void*, int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

using Clock = std::chrono::steady_clock;

// Runs one transfer to its end; answers its wall time in milliseconds.
template <typename Start>
double timeTransfer(Configurator& configurator, Start start) {
    const auto begin = Clock::now();
    start();
    runUntilIdle(configurator, TickObserver{nullptr, nullptr});
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printRow(const char* operation, std::int32_t generation, double measured, double floor) {
    char name[40];
    std::snprintf(name, sizeof name, "%s gen %d @9600", operation, static_cast<int>(generation));
    std::printf("%-22s %12.1f %10.1f %7.3f\n", name, measured, floor, measured / floor);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kavrel-bench PORT GENERATION(1-4) [RUNS]\n");
        return 2;
    }
    const std::int32_t generation = std::atoi(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    if (generation < FirmwareModel::V1_1 || generation > FirmwareModel::FaV1_4) {
        std::fprintf(stderr, "kavrel-bench: GENERATION is 1, 2, 3 or 4\n");
        return 2;
    }

    SerialPort port;
    port.portName = argv[1];
    const Prompts prompts{nullptr, showNotice, acceptAll, sleepFor};
    Configurator configurator(port, prompts);

    std::vector<double> reads;
    std::vector<double> writes;
    for (int run = 0; run < runs; ++run) {
        reads.push_back(timeTransfer(configurator, [&] { startRead(configurator, TransferOp::VersionThenRead); }));
        if (configurator.statusMessage != "Read Config Successful" || configurator.settings.model != generation) {
            std::fprintf(stderr, "kavrel-bench: read ended with \"%s\", generation %d\n", configurator.statusMessage.c_str(),
                         static_cast<int>(configurator.settings.model));
            return 1;
        }
        writes.push_back(timeTransfer(configurator, [&] { configurator.beginWrite(); }));
        if (configurator.statusMessage != "Config Written Successfully!") {
            std::fprintf(stderr, "kavrel-bench: write ended with \"%s\"\n", configurator.statusMessage.c_str());
            return 1;
        }
    }

    FloorCase floorCase{generation, 9600, 0};
    for (const VersionText& version : kVersionTexts)
        if (version.model == generation) floorCase.versionLength = static_cast<std::int32_t>(std::strlen(version.text)) + 2;
    std::printf("%-22s %12s %10s %7s\n", "case", "measured ms", "floor ms", "ratio");
    printRow("read", generation, median(reads), readFloorMs(floorCase));
    printRow("write", generation, median(writes), writeFloorMs(floorCase));
    return 0;
}
