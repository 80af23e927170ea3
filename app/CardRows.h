#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Card.h"
#include "model/DisplayText.h"
#include "platform/StringTable.h"

namespace tw::app {

// The rows the card view shows: for every field a name row and a value row, then for every file
// attachment in use a label row and an attachment row. Rows come in pairs, so even indices are
// name rows and odd ones value rows. At most kMaxViewRows rows are built; a card with more fields
// and attachments shows the first ones.
inline constexpr std::size_t kMaxViewRows = 256;
// The label of attachment rows.
inline constexpr std::uint32_t kAttachmentLabelId = 20508;

enum class RowKind : int { Name = 2, Value = 3, Attachment = 4 };

namespace row_flag {
constexpr unsigned kMasked = 0x01;      // drawn as ten asterisks unless shown
constexpr unsigned kIndent = 0x02;      // value rows: set in from the name
constexpr unsigned kWeb = 0x04;         // opens the address in the browser
constexpr unsigned kPhone = 0x08;       // asks to call the number
constexpr unsigned kAttachment = 0x10;  // opens the attachment
constexpr unsigned kMail = 0x20;        // writes an e-mail
constexpr unsigned kDetect = 0x40;      // telephone, web or e-mail, decided from the text
constexpr unsigned kActions = kWeb | kPhone | kAttachment | kMail | kDetect;
}  // namespace row_flag

struct ViewRow {
    RowKind kind = RowKind::Name;
    unsigned flags = 0;
    std::u16string text;
    int field = -1;       // -1 for attachment rows
    int attachment = -1;  // slot; -1 for field rows

    bool isName() const { return kind == RowKind::Name; }
};

// What running a row's action does.
enum class RowAction : int { Copy = 0, Web, Mail, Phone, Attachment };

std::vector<ViewRow> buildViewRows(const Card& card, const LocalePatterns& locale, const StringTable& strings);

// The action of a row; for a link row the class of its text decides, and `*target` (optional)
// receives the part of the text the action uses. A link whose text is none of the three copies.
RowAction rowAction(const ViewRow& row, std::u16string* target = nullptr);

// The action icon a row shows: 0 web address, 1 e-mail, 2 telephone, 3 attachment; -1 none.
int rowIcon(const ViewRow& row);

// True when a row reserves the icon column (any action flag, whether or not a link row's text
// turns out to be a link).
inline bool reservesIcon(const ViewRow& row) {
    return (row.flags & row_flag::kActions) != 0;
}

// The text a row is drawn with: ten asterisks for a masked row, unless it is selected or the card
// always shows passwords. Layout, copying and actions use the real text.
inline constexpr char16_t kMask[] = u"**********";
bool drawnMasked(const ViewRow& row, bool selected, bool alwaysShowPasswords);

// The first selectable row at or after `from` (name rows are never selected); the last row when
// there is none; 0 for no rows.
std::size_t firstSelectable(const std::vector<ViewRow>& rows, std::size_t from = 0);

}  // namespace tw::app
