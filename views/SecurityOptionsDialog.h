#pragma once

#include <cstdint>
#include <vector>

#include "views/FrameDialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace tw::ui {

// The wallet's automatic closing: the idle time after which it closes (never, 1, 5, 10, 30 or 60
// minutes) and whether it closes when the user switches to another application. Pocket PC shows
// the times in a drop-down list, Smartphone in a spinner. A time that is none of these (another
// program may have stored 15) is offered as one more choice, so that OK keeps it.
class SecurityOptionsDialog final : public FrameDialog {
    Q_OBJECT

public:
    SecurityOptionsDialog(const UiContext& ui, std::uint32_t intervalMinutes, bool closeOnSwitch,
                          QWidget* parent = nullptr);

    // The values chosen; read them after the dialog was accepted.
    std::uint32_t intervalMinutes() const;
    bool closeOnSwitch() const;

private:
    struct Choice {
        QString text;
        std::uint32_t minutes;
    };
    int selectedChoice() const;

    std::vector<Choice> m_choices;
    QComboBox* m_list = nullptr;
    QSpinBox* m_spinner = nullptr;
    QCheckBox* m_closeOnSwitch = nullptr;
};

}  // namespace tw::ui
