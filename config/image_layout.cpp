#include "config/image_layout.h"

#include "config/station_address.h"

const HeaderField kHeaderFields[kHeaderFieldCount] = {
    {1, 1, SettingId::Calibration, Conversion::Byte, 0},
    {2, 1, SettingId::AutoTxDelayMs, Conversion::DelayMs, 0},
    {3, 2, SettingId::AutoTxRateSec, Conversion::Word, 0},
    {5, 1, SettingId::TxTwist, Conversion::Flag, 0x01},
    {5, 1, SettingId::InvertCd, Conversion::Flag, 0x04},
    {5, 1, SettingId::SendWithWeather, Conversion::Flag, 0x08},
    {5, 1, SettingId::AllowTtlSerial, Conversion::Flag, 0x10},
    {5, 1, SettingId::PeetMode, Conversion::Flag, 0x40},
    {5, 1, SettingId::Wx200Mode, Conversion::Flag, 0x80},
    {7, 1, SettingId::QuietTimeMs, Conversion::QuietMs, 0},
    {8, 1, SettingId::SendEvery, Conversion::Byte, 0},
    {9, 2, SettingId::FrequencyMHz, Conversion::Frequency, 0},
};

AddressBlock walkAddressBlock(const ConfigImage& image) {
    AddressBlock block;
    const auto endMarked = [&](int field) { return (image[static_cast<std::size_t>(field + 6)] & kEndOfBlockMark) != 0; };
    int at = image[kBlockStartIndex];
    // Destination and source first; the destination's mark is not looked at.
    for (int k = 0; at + kFieldSize <= kImageSize; ++k, at += kFieldSize) {
        block.fields.push_back(at);
        if (k >= 1 && endMarked(at)) {
            block.complete = true;
            block.end = at + kFieldSize;
            break;
        }
    }
    return block;
}
