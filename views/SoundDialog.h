#pragma once

#include "model/Card.h"
#include "platform/Env.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QLabel;

namespace tw::ui {

struct CardServices;

// The card's sound: Select Sound (a wave file; the play-when-viewed box is ticked), Remove Sound,
// Play Sound (from memory), Export Sound, and whether the sound plays when the card is opened.
// Works on a copy: OK puts it into the card, Cancel leaves the card alone; a sound the dialog
// started stops when it closes. Cancelling the file chooser keeps the current sound.
class SoundDialog final : public FrameDialog {
    Q_OBJECT

public:
    SoundDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent = nullptr);
    ~SoundDialog() override;

    void accept() override;
    bool selectSound(const QString& path);
    void removeSound();
    void playSound();
    QString exportSound();

private:
    void showName();
    void stop();

    CardServices& m_services;
    Env& m_env;
    Card& m_card;
    Attachment m_sound;
    QCheckBox* m_playWhenViewed = nullptr;
    QLabel* m_fileName = nullptr;
};

}  // namespace tw::ui
