#pragma once

#include <QLineEdit>

namespace tw::ui {

// A line edit for a secret the user edits in clear: marked for input methods as sensitive and
// not to be predicted, no context menu, no dragging, and never copied to the X primary selection
// (selecting with the mouse or the keyboard leaves the selection buffer alone). `setMasked` hides
// the text as a password box does.
class SecretEdit final : public QLineEdit {
    Q_OBJECT

public:
    explicit SecretEdit(QWidget* parent = nullptr);
    void setMasked(bool masked);
    bool masked() const { return m_masked; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Runs a base handler while the edit counts as a password box, which keeps Qt from copying.
    template <typename F>
    void guarded(F&& handler);
    void applyHints();

    bool m_masked = false;
};

}  // namespace tw::ui
