#pragma once

#include "platform/Prompt.h"

namespace tw::ui {

// Messages and questions as the desktop's message boxes, over the active window. The core's
// questions (repair, upgrade, import) come here too through the Prompt interface.
class MessageBoxPrompt final : public Prompt {
public:
    // Enter chooses the first button (Ok or Yes).
    Answer ask(const Message& message) override;
    // The same with the button that Enter chooses.
    Answer ask(const Message& message, Answer defaultButton);
};

}  // namespace tw::ui
