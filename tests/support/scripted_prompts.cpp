#include "support/scripted_prompts.h"

#include <chrono>
#include <thread>

namespace {

void notice(void* context, const char* caption, const char* text) {
    static_cast<ScriptedPrompts*>(context)->shown.push_back({"notice", caption, text});
}

bool confirm(void* context, const char* caption, const char* text) {
    auto& script = *static_cast<ScriptedPrompts*>(context);
    script.shown.push_back({"confirm", caption, text});
    if (script.answers.empty()) return false;
    const bool answer = script.answers.front();
    script.answers.pop_front();
    return answer;
}

void pause(void* context, int milliseconds) {
    auto& script = *static_cast<ScriptedPrompts*>(context);
    script.pauses.push_back(milliseconds);
    if (script.realPauses) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

Prompts ScriptedPrompts::prompts() { return Prompts{this, notice, confirm, pause}; }
