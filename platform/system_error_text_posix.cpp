#include "platform/system_error_text.h"

#include <cstring>

std::string systemErrorText(int code) { return code == 0 ? std::string() : std::string(std::strerror(code)); }
