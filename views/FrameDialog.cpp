#include "views/FrameDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/DlgBar.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

// Soft-key and button captions.
constexpr std::uint32_t kDoneText = 21045;
constexpr std::uint32_t kOkText = 21046;
constexpr std::uint32_t kCancelText = 21025;

}  // namespace

FrameDialog::FrameDialog(const UiContext& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool FrameDialog::smartphone() const {
    return m_ui.smartphone();
}

void FrameDialog::setUpFrame(const QString& title, const QIcon& icon, QWidget* body) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_strip = new DlgBar(m_ui, this);
    m_strip->setTitle(title);
    m_strip->setIcon(icon);
    layout->addWidget(m_strip);
    const int margin = m_ui.px(smartphone() ? 6 : 10);
    body->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(body, 1);
    layout->addWidget(smartphone() ? makeSoftKeyBar() : makeButtonRow());
    setWindowTitle(title);
    // The device's dialogs filled its screen; here they keep at least that screen's width.
    setMinimumWidth(m_ui.px(smartphone() ? 240 : 320));
}

QWidget* FrameDialog::makeButtonRow() {
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(m_ui.text(kOkText), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = box->addButton(m_ui.text(kCancelText), QDialogButtonBox::RejectRole);
    ok->setObjectName(names::kDoneButton);
    cancel->setObjectName(names::kCancelButton);
    ok->setDefault(true);
    const int margin = m_ui.px(10);
    box->setContentsMargins(margin, 0, margin, margin);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return box;
}

QWidget* FrameDialog::makeSoftKeyBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("softKeyBar"));
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Dark));
    bar->setPalette(palette);
    auto* row = new QHBoxLayout(bar);
    const int margin = m_ui.px(2);
    row->setContentsMargins(margin, margin, margin, margin);
    auto makeKey = [&](std::uint32_t textId, QLatin1StringView name) {
        auto* key = new QPushButton(m_ui.text(textId), bar);
        key->setObjectName(name);
        key->setFlat(true);
        key->setFocusPolicy(Qt::NoFocus);
        key->setMinimumWidth(m_ui.px(80));
        return key;
    };
    QPushButton* done = makeKey(kDoneText, names::kDoneButton);
    QPushButton* cancel = makeKey(kCancelText, names::kCancelButton);
    done->setDefault(true);
    row->addWidget(done);
    row->addStretch(1);
    row->addWidget(cancel);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return bar;
}

}  // namespace tw::ui
