#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "model/Card.h"
#include "views/CardServices.h"

class QMenu;
class QPushButton;
class QStackedWidget;

namespace tw {
class WalletFile;
}

namespace tw::ui {

class CardEditor;
class CardView;
class DlgBar;
class FormDesigner;
struct UiContext;

// The card window: one card of the open wallet, full screen, in three modes: viewing, editing its
// values, designing its form. It works on a copy of the card; Done in viewing mode writes a changed
// card through the record store (a new card is appended) and Cancel leaves the wallet file as it
// was, after asking when something changed. The owner learns the outcome from `finishedWith`.
class CardWindow final : public QDialog {
    Q_OBJECT

public:
    enum class Mode : int { View = 0, Edit = 1, Design = 2 };
    // What the window reports when it closes.
    enum class Outcome : int { Unchanged = 0, Saved = 3, DeleteRequested = 4 };

    // A stored card, by index position.
    CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, std::size_t position,
               Mode mode = Mode::View, QWidget* parent = nullptr);
    // A new card, not yet written (from newCardFromForm); it is written on Done.
    CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, std::unique_ptr<Card> newCard,
               Mode mode = Mode::Edit, QWidget* parent = nullptr);
    // A card the owner loaded (or made) and writes itself: the window works on a copy and, on Done
    // with changes, copies it back into `card` and reports Saved without writing. With `readOnly`
    // the card can be viewed only.
    CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, Card& card, bool isNew, bool readOnly,
               Mode mode, QWidget* parent = nullptr);
    ~CardWindow() override;

    bool loaded() const { return m_card != nullptr; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode, int field = -1);
    Card& card() { return *m_card; }
    CardView* view() const { return m_view; }
    CardEditor* editor() const { return m_editor; }
    FormDesigner* designer() const { return m_designer; }
    // The card's index position after a save; -1 for a new card not yet written.
    std::int64_t position() const { return m_position; }
    Outcome outcome() const { return m_outcome; }
    // True when the working copy differs from the card as it was opened.
    bool changed();

    // The commands, as the menus and keys run them.
    void done();
    void cancel();
    void deleteCard();
    void runRowAction(int row);
    void copyRow(int row);
    void openAttachment(int slot, bool fromDialog);
    void showAttachments();
    void showIcon();
    void showColours();
    void showBackground();
    void showSound();
    void saveAsForm();
    // Rebuilds the view from the working copy.
    void reload();
    // From outside (the automatic closing cancels every dialog): closes at once without a question,
    // dropping unsaved changes and deleting the opened copies of attachments.
    void reject() override;

signals:
    void saved(std::int64_t position);
    void finishedWith(tw::ui::CardWindow::Outcome outcome);
    void propertiesRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    int smartphoneMargin() const;
    void build(Mode mode);
    void buildMenu();
    void commit();
    void finish(Outcome outcome);
    void offerTempFileDeletion();
    void updateTitle();
    QString cardTitle() const;

    const UiContext& m_ui;
    CardServices& m_services;
    WalletFile& m_wallet;
    std::unique_ptr<Card> m_original;
    std::unique_ptr<Card> m_card;
    std::int64_t m_position = -1;
    bool m_isNew = false;
    Card* m_external = nullptr;  // the owner's card, written by the owner
    bool m_readOnly = false;
    Mode m_mode = Mode::View;
    Outcome m_outcome = Outcome::Unchanged;
    bool m_finished = false;
    DlgBar* m_strip = nullptr;
    QStackedWidget* m_pages = nullptr;
    CardView* m_view = nullptr;
    CardEditor* m_editor = nullptr;
    FormDesigner* m_designer = nullptr;
    QPushButton* m_menuButton = nullptr;
    QMenu* m_menu = nullptr;
};

}  // namespace tw::ui
