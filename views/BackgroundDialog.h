#pragma once

#include <QColor>
#include <optional>

#include "model/Card.h"
#include "platform/Env.h"
#include "views/FrameDialog.h"

class QComboBox;
class QLabel;

namespace tw::ui {

struct CardServices;

// The card's background picture: a preview, the position (1-10: nine placements and tiled), the
// file it came from, and Select Image, Remove Image, Match Background (the card's background
// colour becomes the colour of the picture's top left pixel) and Export Image. The dialog works on
// a copy; OK puts it into the card, Cancel leaves the card alone. Cancelling the file chooser
// keeps the current picture.
class BackgroundDialog final : public FrameDialog {
    Q_OBJECT

public:
    BackgroundDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent = nullptr);

    void accept() override;
    bool selectImage(const QString& path);
    void removeImage();
    void matchBackground();
    QString exportImage();
    void setPosition(int placement);

private:
    void showPreview();

    CardServices& m_services;
    Env& m_env;
    Card& m_card;
    Attachment m_picture;
    std::optional<QColor> m_match;
    QColor m_topLeft;
    QLabel* m_preview = nullptr;
    QLabel* m_fileName = nullptr;
    QComboBox* m_position = nullptr;
};

}  // namespace tw::ui
