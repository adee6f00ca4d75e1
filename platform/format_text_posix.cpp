#include "platform/format_text.h"

#include <cstdarg>
#include <cstdio>

int formatText(char (&buffer)[kFormatTextSize], const char* format, ...) {
    va_list args;
    va_start(args, format);
    char scratch[kFormatTextSize];
    const int length = std::vsnprintf(scratch, sizeof scratch, format, args);
    va_end(args);
    if (length < 0 || length >= kFormatTextSize) {
        buffer[0] = '\0';
        return -1;
    }
    for (int i = 0; i <= length; ++i) buffer[i] = scratch[i];
    return length;
}
