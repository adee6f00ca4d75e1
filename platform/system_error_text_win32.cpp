#include "platform/system_error_text.h"

#include <windows.h>

std::string systemErrorText(int code) {
    if (code == 0) return {};
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                                message.back() == ' '))
        message.pop_back();
    if (message.empty()) message = "Windows error " + std::to_string(code);
    return message;
}
