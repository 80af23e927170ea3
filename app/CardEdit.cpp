#include "app/CardEdit.h"

#include <algorithm>

#include "model/FieldKind.h"

namespace tw::app {

namespace {

bool isLowerAscii(char16_t c) {
    return c >= u'a' && c <= u'z';
}

char16_t upper(char16_t c) {
    if (isLowerAscii(c)) return static_cast<char16_t>(c - u'a' + u'A');
    // Latin-1 lower-case letters (but not ß and ÿ, whose capitals lie elsewhere).
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    return c;
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool sameAttachment(const Attachment& a, const Attachment& b) {
    return a.data() == b.data() && a.name() == b.name() && a.placement() == b.placement() &&
           a.scaleToFit() == b.scaleToFit() && a.type() == b.type();
}

bool sameField(const Field& a, const Field& b) {
    return a.kind() == b.kind() && a.style() == b.style() && a.nameColour() == b.nameColour() &&
           a.valueColour() == b.valueColour() && a.name() == b.name() && a.value() == b.value() &&
           a.date() == b.date() && a.listItems() == b.listItems();
}

}  // namespace

EditorKind editorKind(std::uint16_t kind) {
    switch (kind) {
        case field_kind::kDate:
            return EditorKind::Date;
        case field_kind::kTime:
            return EditorKind::Time;
        case field_kind::kDateTime:
            return EditorKind::DateTime;
        case field_kind::kYesNoList:
        case field_kind::kSelectionList:
            return EditorKind::List;
        case field_kind::kCheckBox:
            return EditorKind::CheckBox;
        default:
            return isTextKind(kind) ? EditorKind::Text : EditorKind::None;
    }
}

Capitals capitalsFor(std::uint16_t kind) {
    if (kind == field_kind::kFirstCapital) return Capitals::FirstLetter;
    if (kind == field_kind::kWordCapitals) return Capitals::EveryWord;
    return Capitals::None;
}

std::u16string withCapitals(std::u16string_view text, Capitals capitals) {
    std::u16string out(text);
    if (capitals == Capitals::None) return out;
    bool wordStart = true;
    bool first = true;
    for (char16_t& c : out) {
        if (isSpace(c)) {
            wordStart = true;
            continue;
        }
        if (wordStart && (first || capitals == Capitals::EveryWord)) c = upper(c);
        wordStart = false;
        first = false;
    }
    return out;
}

void storeText(Field& field, std::u16string_view text) {
    if (field.value() != text) field.setValue(text);
}

void storeDate(Field& field, const std::optional<SystemTime>& when) {
    const SystemTime none{};
    const SystemTime wanted = when.value_or(none);
    if (field.date() == wanted && field.value().empty()) return;
    field.setDate(wanted);
}

void storeCheck(Field& field, CheckState state) {
    const char16_t* value = state == CheckState::Checked ? u"1" : state == CheckState::Unchecked ? u"0" : u"2";
    storeText(field, value);
}

void storeListChoice(Field& field, bool noChoice, std::u16string_view text) {
    storeText(field, noChoice ? std::u16string_view() : text);
}

std::optional<SystemTime> storedDate(const Field& field) {
    if (field.date() == SystemTime{}) return std::nullopt;
    return field.date();
}

std::u16string cardName(const Card& card, const KeyRecord& key) {
    return card.header() ? card.header()->name(key) : std::u16string();
}

bool renameCard(Card& card, std::u16string_view name, const KeyRecord& key, const SystemTime& now) {
    if (!card.header()) return false;
    if (name.size() > kMaxCardName) name = name.substr(0, kMaxCardName);
    if (card.header()->name(key) == name) return false;
    const bool renamed = card.header()->setName(name, key, now);
    if (renamed) card.setModified(true);
    return renamed;
}

bool sameContent(const Card& a, const Card& b, const KeyRecord& key) {
    if (!(a.display() == b.display())) return false;
    if (a.hasHeader() != b.hasHeader()) return false;
    if (a.header()) {
        if (a.header()->name(key) != b.header()->name(key)) return false;
        if (a.header()->iconIndex() != b.header()->iconIndex() || a.header()->iconData != b.header()->iconData)
            return false;
    }
    if (a.fieldCount() != b.fieldCount()) return false;
    for (std::size_t i = 0; i < a.fieldCount(); ++i) {
        if (!sameField(a.field(i), b.field(i))) return false;
    }
    if (!sameAttachment(a.picture(), b.picture()) || !sameAttachment(a.sound(), b.sound())) return false;
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        if (!sameAttachment(a.file(slot), b.file(slot))) return false;
    }
    return true;
}

int addDesignField(Card& card, const StringTable& strings) {
    Field* field = card.newField(kNewFieldKind, strings);
    if (!field) return -1;
    field->setName(strings.text(kNewFieldNameId));
    return static_cast<int>(card.fieldCount() - 1);
}

bool moveField(Card& card, std::size_t from, std::size_t to) {
    const std::size_t count = card.fieldCount();
    if (from >= count || to >= count || from == to) return false;
    Field moved = card.field(from);
    card.removeField(from);
    return card.addField(std::move(moved), static_cast<int>(to));
}

bool setDesignKind(Field& field, std::uint16_t kind, const StringTable& strings) {
    const auto offered = offeredKinds(field.isNote());
    if (std::none_of(offered.begin(), offered.end(), [&](const KindChoice& c) { return c.kind == kind; })) return false;
    field.setKind(kind, strings);
    return true;
}

std::int64_t saveEditedCard(WalletFile& wallet, Card& card) {
    return wallet.saveCard(card);
}

}  // namespace tw::app
