#pragma once

#include "model/Card.h"
#include "platform/Env.h"
#include "views/FrameDialog.h"

class QLabel;
class QListWidget;

namespace tw::ui {

struct CardServices;

// The card's ten file slots: the used ones listed by name with the date each was added and its
// size. Add File reads a chosen file into the first free slot (off the window's thread), Remove
// File empties the selected slot at once, Export File writes it into the documents folder, Open
// asks the card window to open it. Changes are made to the card at once.
class AttachmentsDialog final : public FrameDialog {
    Q_OBJECT

public:
    AttachmentsDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent = nullptr);

    // The slot of the selected entry; -1 when none.
    int selectedSlot() const;
    bool addFile(const QString& path);
    void removeFile();
    // The path written, empty when nothing was written.
    QString exportFile();

signals:
    void openRequested(int slot);

private:
    void refill(int selectSlot);
    void updateState();

    CardServices& m_services;
    Env& m_env;
    Card& m_card;
    QListWidget* m_list = nullptr;
    QLabel* m_info = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_open = nullptr;
};

// `text` with each "%s" replaced by the next argument.
QString withArguments(QString text, const QStringList& arguments);

// Tells the user where a file was written ("%s\n%s" of text 22010 and the path).
void reportWritten(const UiContext& ui, const QString& path);

// Writes an attachment's bytes into the documents folder under its dated, cleaned name, off the
// window's thread, and tells the user where. Returns the path, or nothing after saying why no file
// was written; `onlyIfAbsent` refuses to replace a file of that name.
QString exportToDocuments(QWidget* window, const UiContext& ui, const CardServices& services, Env& env,
                          const Attachment& attachment, bool onlyIfAbsent);

}  // namespace tw::ui
