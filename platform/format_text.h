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

// The form's frequency: "%3.3f" of the value. From 1e15 up and from -1e14 down that needs more
// than the 19 characters, and such a value is shown in "%g" form, which fits and reads back as the
// same number; infinity and NaN get fixed texts, since the C runtimes spell them differently.
// Answers the text, in buffer or a constant.
const char* formatFrequency(char (&buffer)[kFormatTextSize], float mhz);
