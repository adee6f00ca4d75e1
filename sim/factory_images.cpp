#include "sim/factory_images.h"

#include <cstddef>

namespace {

// AX.25 address fields: six characters shifted left by one, then the SSID byte.
constexpr std::uint8_t kApkv01[7] = {0x82, 0xA0, 0x96, 0xAC, 0x60, 0x62, 0x60};
constexpr std::uint8_t kApkv12[7] = {0x82, 0xA0, 0x96, 0xAC, 0x62, 0x64, 0x60};
constexpr std::uint8_t kApkv14[7] = {0x82, 0xA0, 0x96, 0xAC, 0x62, 0x68, 0x60};
// NOCALL, then the path WIDE1-1,WIDE2-1 with the end-of-block mark on the last field, then the
// UI control byte, the protocol identifier, a zero byte and the status text "Kavrel".
constexpr std::uint8_t kFrameTail[] = {
    0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x60,  // NOCALL
    0xAE, 0x92, 0x88, 0x8A, 0x62, 0x40, 0x62,  // WIDE1-1
    0xAE, 0x92, 0x88, 0x8A, 0x64, 0x40, 0x63,  // WIDE2-1, end of the address block
    0x03, 0xF0, 0x00,                          // control, protocol identifier, zero byte
    'K', 'a', 'v', 'r', 'e', 'l'};

}  // namespace

ConfigImage factoryImage(std::int32_t generation) {
    ConfigImage image{};
    const bool v11 = generation == FirmwareModel::V1_1;
    const std::size_t blockStart = v11 ? 9 : 11;
    image[0] = static_cast<std::uint8_t>(blockStart);
    image[1] = 0x80;  // calibration 128
    image[2] = 0x26;  // auto TX delay 253 ms
    image[3] = 0x2C;  // auto TX rate 300 s
    image[4] = 0x01;
    image[5] = generation >= FirmwareModel::V1_4 ? 0x41 : 0x40;  // Peet mode; TX twist where carried
    image[6] = static_cast<std::uint8_t>(blockStart + 31);  // where the status text starts
    image[7] = 0x3C;  // quiet time 1578 ms
    image[8] = 0x03;  // send every 3
    if (generation == FirmwareModel::FaV1_4) {
        image[9] = 0xCE;  // 144.390 MHz
        image[10] = 0x70;
    }
    const std::uint8_t* destination = generation >= FirmwareModel::V1_4 ? kApkv14 : generation == FirmwareModel::V1_2 ? kApkv12 : kApkv01;
    std::size_t at = blockStart;
    for (std::size_t i = 0; i < 7; ++i) image[at++] = destination[i];
    for (std::uint8_t byte : kFrameTail) image[at++] = byte;
    return image;
}
