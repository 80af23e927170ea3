#include "shell/CardOpener.h"

#include <QFormLayout>
#include <QLabel>

#include "model/Card.h"
#include "model/FieldKind.h"
#include "storage/WalletFile.h"
#include "views/FrameDialog.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kNoFieldsText = 62868;

class PlainCardDialog final : public ui::FrameDialog {
public:
    PlainCardDialog(const ui::UiContext& ui, CardSession& session, QWidget* parent) : FrameDialog(ui, parent) {
        setObjectName(QStringLiteral("plainCardView"));
        auto* body = new QWidget;
        auto* form = new QFormLayout(body);
        const Card& card = session.card;
        for (std::size_t i = 0; i < card.fieldCount(); ++i) {
            const Field& field = card.field(i);
            const bool secret = field.kind() == field_kind::kPassword;
            auto* value = new QLabel(secret ? QStringLiteral("********") : ui::toQString(field.value()));
            value->setTextInteractionFlags(secret ? Qt::NoTextInteraction : Qt::TextSelectableByMouse);
            value->setWordWrap(true);
            form->addRow(ui::toQString(field.name()), value);
        }
        if (card.fieldCount() == 0) form->addRow(new QLabel(ui.text(kNoFieldsText)));
        QString title;
        if (const RecordHeader* h = card.header()) title = ui::toQString(h->name(session.wallet.recordKey()));
        setUpFrame(title, {}, body);
    }
};

}  // namespace

CardOutcome showPlainCard(QWidget* parent, const ui::UiContext& ui, CardSession& session) {
    PlainCardDialog dialog(ui, session, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return accepted && session.isNew && !session.readOnly ? CardOutcome::Changed : CardOutcome::Unchanged;
}

}  // namespace tw::shell
