#pragma once

#include <string>

#include "model/PasswordGenerator.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace tw::ui {

// Makes a new password from the operating system's secure random source (the same generator as
// tmpro's --generate): length, character classes and whether to leave out look-alike characters.
// The proposal is shown in clear in a box that never copies; OK hands it to the caller.
class PasswordGeneratorDialog final : public FrameDialog {
    Q_OBJECT

public:
    PasswordGeneratorDialog(const UiContext& ui, Random& random, QWidget* parent = nullptr);
    ~PasswordGeneratorDialog() override;
    // The password proposed when the dialog was accepted (the caller wipes it).
    std::u16string takePassword();
    PasswordRules rules() const;
    void regenerate();

private:
    Random& m_random;
    QSpinBox* m_length = nullptr;
    QCheckBox* m_classes[4] = {};
    QCheckBox* m_lookalikes = nullptr;
    QLineEdit* m_proposal = nullptr;
};

}  // namespace tw::ui
