// Bounded formatting into the 20-byte buffers of port names and form numbers.
#pragma once

constexpr int kFormatTextSize = 20;

// Formats into buffer (at most 19 characters and the NUL). Answers the length written, or -1 when
// the text would not fit; the buffer then holds the empty text. Never calls an invalid-parameter
// handler and never writes past the 20 bytes.
int formatText(char (&buffer)[kFormatTextSize], const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
