#include "ui/form_binding.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "config/station_address.h"
#include "config/tracker_settings.h"
#include "platform/format_text.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

// Working buffers; they live as long as the program.
char textBuffer[300];
char numberBuffer[100];
char frequencyBuffer[100];
char outputBuffer[kFormatTextSize];

const char* controlText(HWND dialog, int id, char* buffer, int size) {
    if (GetDlgItemTextA(dialog, id, buffer, size) == 0) buffer[0] = '\0';
    return buffer;
}

const char* readText(HWND dialog, int id) { return controlText(dialog, id, textBuffer, sizeof textBuffer); }

// atoi as the Windows runtime reads it; the caller keeps the bits its field has room for.
std::int32_t readWholeNumber(HWND dialog, int id) {
    return parseWholeNumber(controlText(dialog, id, numberBuffer, sizeof numberBuffer));
}

// A double beyond the float range has no float value in C++; it gets what IEEE rounding to
// nearest gives, the largest float or infinity.
float toSingle(double value) {
    constexpr double kOverflow = 340282356779733661637539395458142568448.0;  // 2^128 - 2^103
    if (value >= kOverflow) return HUGE_VALF;
    if (value <= -kOverflow) return -HUGE_VALF;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

float readFrequency(HWND dialog) {
    // The program never changes the C locale, so the decimal mark is a point.
    return toSingle(std::atof(controlText(dialog, IDC_FREQUENCY, frequencyBuffer, sizeof frequencyBuffer)));
}

bool isChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void showNumber(HWND dialog, int id, int value) {
    formatText(outputBuffer, "%d", value);
    SetDlgItemTextA(dialog, id, outputBuffer);
}

// "%3.3f" needs more than the 19 characters of the buffer from 1e15 up and from -1e14 down; such
// a value is shown in "%g" form, which always fits and reads back as the same number. Infinity
// and NaN get fixed texts, since the C runtimes spell them differently.
void showFrequency(HWND dialog, float mhz) {
    const double value = static_cast<double>(mhz);
    const char* shown = outputBuffer;
    if (std::isnan(value))
        shown = "nan";
    else if (std::isinf(value))
        shown = value > 0 ? "inf" : "-inf";
    else if (formatText(outputBuffer, "%3.3f", value) < 0)
        formatText(outputBuffer, "%g", value);
    SetDlgItemTextA(dialog, IDC_FREQUENCY, shown);
}

void showCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void enable(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

}  // namespace

void readForm(HWND dialog) {
    TrackerSettings& s = mainConfigurator().settings;
    s.callsign = readText(dialog, IDC_CALLSIGN);
    s.path = readText(dialog, IDC_PATH);
    s.statusText = readText(dialog, IDC_STATUS_TEXT);
    s.calibration = readWholeNumber(dialog, IDC_CALIBRATION);
    s.autoTxDelayMs = static_cast<std::uint16_t>(readWholeNumber(dialog, IDC_AUTO_TXD));
    s.sendEvery = static_cast<std::uint8_t>(readWholeNumber(dialog, IDC_SEND_EVERY));
    s.autoTxRateSec = static_cast<std::uint16_t>(readWholeNumber(dialog, IDC_AUTO_TX_RATE));
    s.quietTimeMs = static_cast<std::uint16_t>(readWholeNumber(dialog, IDC_QUIET_TIME));
    s.frequencyMHz = readFrequency(dialog);
    s.txTwist = isChecked(dialog, IDC_TX_TWIST);
    s.invertCd = isChecked(dialog, IDC_INVERT_CD);
    s.sendWithWeather = isChecked(dialog, IDC_SEND_WITH_WEATHER);
    s.allowTtlSerial = isChecked(dialog, IDC_ALLOW_TTL_SERIAL);
    s.peetMode = isChecked(dialog, IDC_PEET);
    s.wx200Mode = isChecked(dialog, IDC_WX200);
}

void writeForm(HWND dialog) {
    const TrackerSettings& s = mainConfigurator().settings;
    SetDlgItemTextA(dialog, IDC_CALLSIGN, s.callsign.c_str());
    SetDlgItemTextA(dialog, IDC_PATH, s.path.c_str());
    SetDlgItemTextA(dialog, IDC_STATUS_TEXT, s.statusText.c_str());
    showNumber(dialog, IDC_CALIBRATION, s.calibration);
    showNumber(dialog, IDC_AUTO_TXD, s.autoTxDelayMs);
    showNumber(dialog, IDC_SEND_EVERY, s.sendEvery);
    showNumber(dialog, IDC_AUTO_TX_RATE, s.autoTxRateSec);
    showNumber(dialog, IDC_QUIET_TIME, s.quietTimeMs);
    showFrequency(dialog, s.frequencyMHz);
    showCheck(dialog, IDC_TX_TWIST, s.txTwist);
    showCheck(dialog, IDC_INVERT_CD, s.invertCd);
    showCheck(dialog, IDC_SEND_WITH_WEATHER, s.sendWithWeather);
    showCheck(dialog, IDC_ALLOW_TTL_SERIAL, s.allowTtlSerial);
    showCheck(dialog, IDC_PEET, s.peetMode);
    showCheck(dialog, IDC_WX200, s.wx200Mode);
}

void updateEnables(HWND dialog) {
    const std::int32_t model = mainConfigurator().settings.model;
    enable(dialog, IDC_INVERT_CD, carriesSerialSwitches(model));
    enable(dialog, IDC_SEND_WITH_WEATHER, carriesSerialSwitches(model));
    enable(dialog, IDC_ALLOW_TTL_SERIAL, carriesSerialSwitches(model));
    enable(dialog, IDC_TX_TWIST, carriesTxTwist(model));
    enable(dialog, IDC_FREQUENCY, carriesFrequency(model));
}
