// Prompts for the fuzz targets: notices are dropped, confirmations declined, pauses skipped.
#pragma once

#include "platform/prompts.h"

inline const Prompts& silentPrompts() {
    static const Prompts prompts{nullptr, [](void*, const char*, const char*) {},
                                 [](void*, const char*, const char*) { return false; }, [](void*, int) {}};
    return prompts;
}
