#pragma once

#include <QScrollArea>
#include <memory>
#include <vector>

#include "app/CardEdit.h"
#include "model/Card.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

namespace tw {
class WalletFile;
}

namespace tw::ui {

struct CardServices;
class SecretEdit;
struct UiContext;

// The card window's editing page: the card's name, then every field's name as a caption and its
// value in the editor its kind takes (text with automatic capitals, password in clear with a mask
// toggle and the generator, web, e-mail, telephone and number boxes, date, time and date-and-time
// pickers with a "no value" box, list choosers with free text, a three-state check box, the
// multi-line note). Values are written to the card on commit(), each only when it changed, so
// that a field left alone stays unchanged. Up, Down, Tab and Shift+Tab move between the editors.
class CardEditor final : public QScrollArea {
    Q_OBJECT

public:
    CardEditor(const UiContext& ui, CardServices& services, WalletFile& wallet, Card& card, QWidget* parent = nullptr);

    // Writes every editor's value back to the card.
    void commit();
    // The field whose editor has the focus; -1 for the card's name.
    int currentField() const;
    // Gives the focus to the field's editor (the card's name for -1 or a field without one).
    void focusField(int field);
    // Cut, Copy, Paste, Clear and Select All on the focused text editor.
    void addTextCommands(QMenu* menu);

    // The editor widget of a field (for tests); null when it has none.
    QWidget* editorOf(int field) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        int field = -1;
        app::EditorKind kind = app::EditorKind::None;
        QWidget* focus = nullptr;  // what takes the focus
        QLineEdit* line = nullptr;
        QPlainTextEdit* text = nullptr;
        QDateTimeEdit* picker = nullptr;
        QCheckBox* hasValue = nullptr;
        QComboBox* combo = nullptr;
        QCheckBox* check = nullptr;
        // Set when the user changed the picker or its box: an untouched picker writes nothing, so a
        // stored date the picker cannot show stays as it is.
        std::shared_ptr<bool> touched;
    };

    void addRow(QWidget* body, int field);
    QWidget* makeTextEditor(Row& row, const Field& field, QWidget* parent);
    QWidget* makePicker(Row& row, const Field& field, QWidget* parent);
    QWidget* makeList(Row& row, const Field& field, QWidget* parent);
    void commitRow(const Row& row);
    void expand(Row& row);
    void generate(SecretEdit* edit);
    void move(int step);
    int focusedRow() const;

    const UiContext& m_ui;
    CardServices& m_services;
    WalletFile& m_wallet;
    Card& m_card;
    QLineEdit* m_name = nullptr;
    std::vector<Row> m_rows;
};

// The Qt display format for the wallet's date pictures: the short date with a four-digit year, the
// time without seconds.
QString qtDateFormat(const std::u16string& shortDate);
QString qtTimeFormat(const std::u16string& time, const std::u16string& separator);

}  // namespace tw::ui
