#include "platform/message_box_prompts.h"

#include <windows.h>

namespace {

// The boxes have no owner window, so the dialog stays enabled and its timer keeps ticking.
void notice(void*, const char* caption, const char* text) { MessageBoxA(nullptr, text, caption, MB_OK); }

bool confirm(void*, const char* caption, const char* text) {
    return MessageBoxA(nullptr, text, caption, MB_OKCANCEL | MB_DEFBUTTON2) == IDOK;
}

void pause(void*, int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace

Prompts messageBoxPrompts() { return Prompts{nullptr, notice, confirm, pause}; }
