#include <cmath>

#include "platform/format_text.h"

const char* formatFrequency(char (&buffer)[kFormatTextSize], float mhz) {
    const double value = static_cast<double>(mhz);
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    if (formatText(buffer, "%3.3f", value) < 0) formatText(buffer, "%g", value);
    return buffer;
}
