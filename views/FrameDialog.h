#pragma once

#include <QDialog>
#include <QIcon>

namespace tw::ui {

class DlgBar;
struct UiContext;

// The frame every dialog of the program is built in, from one description for both device kinds:
//
//   Pocket PC   title strip / body / a button row: OK and Cancel (the soft keys Done and Cancel)
//   Smartphone  title strip / body / a soft-key bar: Done on the left, Cancel on the right
//
// A dialog builds its body (asking smartphone() where its controls differ) and calls
// setUpFrame. Done, OK and Enter call accept(), which a dialog overrides to check its input;
// Cancel, Escape and closing the window call reject(). exec() gives Accepted or Rejected.
class FrameDialog : public QDialog {
    Q_OBJECT

public:
    DlgBar* titleStrip() const { return m_strip; }

protected:
    FrameDialog(const UiContext& ui, QWidget* parent);

    // Lays out the frame around `body` (which the dialog takes over).
    void setUpFrame(const QString& title, const QIcon& icon, QWidget* body);
    const UiContext& ui() const { return m_ui; }
    bool smartphone() const;

private:
    QWidget* makeButtonRow();
    QWidget* makeSoftKeyBar();

    const UiContext& m_ui;
    DlgBar* m_strip = nullptr;
};

}  // namespace tw::ui
