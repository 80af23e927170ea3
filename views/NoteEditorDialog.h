#pragma once

#include "model/DisplayText.h"
#include "views/FrameDialog.h"

class QComboBox;
class QPlainTextEdit;

namespace tw {
class Clock;
}

namespace tw::ui {

// The full-screen text editor for long values and the note: the text under a title strip, with
// Insert Date, Insert Time, word wrap and five zoom steps, the last two kept in the settings.
// Done returns the text (text()); Cancel nothing.
class NoteEditorDialog final : public FrameDialog {
    Q_OBJECT

public:
    NoteEditorDialog(const UiContext& ui, Clock& clock, const LocalePatterns& locale, const QString& title,
                     const QString& text, QWidget* parent = nullptr);
    QString text() const;
    // Zoom steps 0-4: 75 %, 100 %, 150 %, 200 %, 300 %.
    void setZoom(int step);
    void setWrap(bool wrap);
    void insertDate();
    void insertTime();

private:
    Clock& m_clock;
    LocalePatterns m_locale;
    QPlainTextEdit* m_edit = nullptr;
    QComboBox* m_zoom = nullptr;
};

}  // namespace tw::ui
