#include "app/CardRows.h"

#include "model/FieldKind.h"
#include "model/Links.h"

namespace tw::app {

namespace {

unsigned valueFlags(std::uint16_t kind) {
    unsigned flags = row_flag::kIndent;
    switch (kind) {
        case field_kind::kWebAddress:
            return flags | row_flag::kWeb;
        case field_kind::kEmail:
            return flags | row_flag::kMail;
        case field_kind::kTelephone:
            return flags | row_flag::kPhone;
        case field_kind::kLink:
            return flags | row_flag::kDetect;
        case field_kind::kPassword:
            return flags | row_flag::kMasked;
        default:
            return flags;
    }
}

}  // namespace

std::vector<ViewRow> buildViewRows(const Card& card, const LocalePatterns& locale, const StringTable& strings) {
    std::vector<ViewRow> rows;
    for (std::size_t i = 0; i < card.fieldCount() && rows.size() + 2 <= kMaxViewRows; ++i) {
        const Field& field = card.field(i);
        const int index = static_cast<int>(i);
        rows.push_back({RowKind::Name, 0, field.name(), index, -1});
        rows.push_back({RowKind::Value, valueFlags(field.kind()),
                        displayText(field.kind(), field.value(), field.date(), locale, strings), index, -1});
    }
    const std::u16string label(strings.text(kAttachmentLabelId));
    for (std::size_t slot = 0; slot < Card::kFileSlots && rows.size() + 2 <= kMaxViewRows; ++slot) {
        const Attachment& file = card.file(slot);
        if (!file.hasData()) continue;
        rows.push_back({RowKind::Name, 0, label, -1, -1});
        rows.push_back(
            {RowKind::Attachment, row_flag::kIndent | row_flag::kAttachment, file.name(), -1, static_cast<int>(slot)});
    }
    return rows;
}

RowAction rowAction(const ViewRow& row, std::u16string* target) {
    unsigned flags = row.flags;
    std::u16string text = row.text;
    if (flags & row_flag::kDetect) {
        switch (classifyLink(row.text, &text)) {
            case LinkClass::Telephone:
                flags |= row_flag::kPhone;
                break;
            case LinkClass::WebAddress:
                flags |= row_flag::kWeb;
                break;
            case LinkClass::Email:
                flags |= row_flag::kMail;
                break;
            case LinkClass::None:
                break;
        }
    }
    RowAction action = RowAction::Copy;
    if (flags & row_flag::kMail) {
        action = RowAction::Mail;
    } else if (flags & row_flag::kPhone) {
        action = RowAction::Phone;
    } else if (flags & row_flag::kWeb) {
        action = RowAction::Web;
    } else if (flags & row_flag::kAttachment) {
        action = RowAction::Attachment;
    }
    if (target) *target = action == RowAction::Copy ? row.text : text;
    return action;
}

int rowIcon(const ViewRow& row) {
    if (!reservesIcon(row) || row.isName()) return -1;
    switch (rowAction(row)) {
        case RowAction::Web:
            return 0;
        case RowAction::Mail:
            return 1;
        case RowAction::Phone:
            return 2;
        case RowAction::Attachment:
            return 3;
        case RowAction::Copy:
            return -1;
    }
    return -1;
}

bool drawnMasked(const ViewRow& row, bool selected, bool alwaysShowPasswords) {
    return (row.flags & row_flag::kMasked) && !selected && !alwaysShowPasswords;
}

std::size_t firstSelectable(const std::vector<ViewRow>& rows, std::size_t from) {
    if (rows.empty()) return 0;
    for (std::size_t i = from; i < rows.size(); ++i) {
        if (!rows[i].isName()) return i;
    }
    return rows.size() - 1;
}

}  // namespace tw::app
