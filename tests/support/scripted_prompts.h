// Prompts answered from a script, recording everything that was shown or waited for.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/prompts.h"

struct ScriptedPrompts {
    struct Shown {
        std::string kind;  // "notice" or "confirm"
        std::string caption;
        std::string text;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;        // answers for confirm, in order; an empty script declines
    std::vector<int> pauses;         // milliseconds asked for
    bool realPauses = false;         // sleep for real (link tests against a timed simulator)

    Prompts prompts();
};
