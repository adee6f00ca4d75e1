#include "platform/format_text.h"

#include <cstdarg>
#include <cstdio>

// vsprintf_s calls the invalid-parameter handler (and by default ends the program) when the text
// does not fit, so the length is measured first and a text that is too long is never handed to it.
int formatText(char (&buffer)[kFormatTextSize], const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int needed = _vscprintf(format, measure);
    va_end(measure);
    int length = -1;
    if (needed >= 0 && needed < kFormatTextSize) length = vsprintf_s(buffer, kFormatTextSize, format, args);
    va_end(args);
    if (length < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return length;
}
