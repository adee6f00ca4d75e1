// The system's own words for an error code: errno on POSIX, GetLastError on Windows.
#pragma once

#include <string>

// Without a final full stop or line break; empty for 0.
std::string systemErrorText(int code);
