#pragma once

#include <deque>
#include <string>
#include <vector>

namespace tw {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Warning, Stop };
// The answers carry the device's button ids, which callers may compare.
enum class Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A message box: text and caption already resolved to text.
struct Message {
    std::u16string text;
    std::u16string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

// Messages and questions shown from inside the core (repair scan, upgrade question, import
// confirmations). The GUI shows dialogs, the command-line tool asks on the terminal, tests script
// the answers.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual Answer ask(const Message& message) = 0;
    // Shows a message with an OK button only.
    void tell(std::u16string text, std::u16string caption, Icon icon = Icon::Information) {
        ask(Message{std::move(text), std::move(caption), Buttons::Ok, icon});
    }
};

// Answers from a script, in order; when the script runs out it gives `fallback`, the positive
// answer for the buttons (Ok or Yes) unless set otherwise. Keeps every message it was shown.
class ScriptedPrompt final : public Prompt {
public:
    ScriptedPrompt() = default;
    explicit ScriptedPrompt(std::deque<Answer> answers) : answers(std::move(answers)) {}

    Answer ask(const Message& message) override;

    std::deque<Answer> answers;
    std::vector<Message> shown;
    bool useFallback = false;
    Answer fallback = Answer::Ok;
};

}  // namespace tw
