#pragma once

#include "platform/Prompt.h"
#include "platform/StringTable.h"

namespace tw::ui {

// Messages and questions as the desktop's message boxes, over the active window. The core's
// questions (repair, upgrade, import) come here too through the Prompt interface.
class MessageBoxPrompt final : public Prompt {
public:
    // Button captions come from `strings` (OK, Cancel, Yes, No), as every other text.
    explicit MessageBoxPrompt(const StringTable& strings) : m_strings(strings) {}

    // Enter chooses the first button (Ok or Yes).
    Answer ask(const Message& message) override;
    // The same with the button that Enter chooses.
    Answer ask(const Message& message, Answer defaultButton);

private:
    const StringTable& m_strings;
};

}  // namespace tw::ui
