#include "platform/console_prompts.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

void notice(void*, const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }

// Without a terminal and without --yes a risky write is declined: nothing is written unasked.
bool confirm(void* context, const char* caption, const char* text) {
    const auto& options = *static_cast<ConsolePromptOptions*>(context);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (options.assumeYes) {
        std::fprintf(stderr, "Accepted (--yes).\n");
        return true;
    }
    if (!options.interactive) {
        std::fprintf(stderr, "Declined: no terminal to ask on; use --yes to accept.\n");
        return false;
    }
    std::fprintf(stderr, "Continue? [y/N] ");
    std::fflush(stderr);
    char line[64];
    if (std::fgets(line, sizeof line, stdin) == nullptr) return false;
    return line[0] == 'y' || line[0] == 'Y';
}

void pause(void*, int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace

Prompts consolePrompts(ConsolePromptOptions& options) { return Prompts{&options, notice, confirm, pause}; }
