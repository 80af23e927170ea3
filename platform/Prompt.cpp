#include "platform/Prompt.h"

namespace tw {

Answer ScriptedPrompt::ask(const Message& message) {
    shown.push_back(message);
    if (message.buttons == Buttons::Ok) return Answer::Ok;
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (useFallback) return fallback;
    return message.buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

}  // namespace tw
