#include "cli/CardData.h"

#include <cstdio>
#include <string_view>

#include "cli/Json.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

std::string lfText(const std::u16string& text) {
    std::string out = toUtf8(text);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) out[kept++] = out[i];
    wipe(out.data() + kept, out.size() - kept);
    out.resize(kept);
    return out;
}

std::string formOf(WalletFile& wallet, const Card& card) {
    std::u16string form;
    return formName(wallet, card.header()->formRef(), form) ? toUtf8(form) : std::string();
}

}  // namespace

std::string isoTime(const SystemTime& t, bool date, bool time) {
    if (t.year == 0 && date) return {};
    char text[32] = {};
    if (date && time)
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", t.year, t.month, t.day, t.hour, t.minute);
    else if (date)
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", t.year, t.month, t.day);
    else
        std::snprintf(text, sizeof text, "%02u:%02u", t.hour, t.minute);
    return text;
}

std::string kindName(std::uint16_t kind) {
    switch (kind) {
        case field_kind::kText:
            return "text";
        case field_kind::kPlainText:
            return "plain";
        case field_kind::kWebAddress:
            return "web";
        case field_kind::kLink:
            return "link";
        case field_kind::kEmail:
            return "email";
        case field_kind::kTelephone:
            return "phone";
        case field_kind::kPassword:
            return "password";
        case field_kind::kDate:
            return "date";
        case field_kind::kTime:
            return "time";
        case field_kind::kDateTime:
            return "datetime";
        case field_kind::kYesNoList:
            return "yesno";
        case field_kind::kSelectionList:
            return "list";
        case field_kind::kCheckBox:
            return "checkbox";
        case field_kind::kNumber:
            return "number";
        case field_kind::kFirstCapital:
            return "capital";
        case field_kind::kWordCapitals:
            return "words";
    }
    return std::to_string(kind);
}

std::string scriptValue(const Field& field) {
    switch (field.kind()) {
        case field_kind::kDate:
            return isoTime(field.date(), true, false);
        case field_kind::kTime:
            return field.date().year == 0 ? std::string() : isoTime(field.date(), false, true);
        case field_kind::kDateTime:
            return isoTime(field.date(), true, true);
        case field_kind::kCheckBox:
            if (field.value().empty()) return {};
            return field.value() == u"1" ? "yes" : "no";
    }
    return lfText(field.value());
}

void writeCardJson(JsonWriter& json, WalletFile& wallet, std::size_t position, const Card& card, bool passwords) {
    const RecordHeader& h = *card.header();
    json.beginObject();
    json.key("id").value(idText(h.id()));
    json.key("path").value(pathOf(wallet, position));
    json.key("name").value(toUtf8(h.name(wallet.recordKey())));
    json.key("form").value(formOf(wallet, card));
    if (h.iconIndex() == RecordHeader::kCustomIcon)
        json.key("icon").value("custom");
    else
        json.key("icon").value(static_cast<std::int64_t>(h.iconIndex()));
    json.key("changed").value(isoTime(h.lastChange(), true, true));
    json.key("fields").beginArray();
    const Field* note = nullptr;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        if (f.isNote()) {
            if (note == nullptr) note = &f;
            continue;
        }
        json.beginObject().key("name").value(toUtf8(f.name())).key("kind").value(kindName(f.kind())).key("value");
        const std::string value = scriptValue(f);
        if (f.kind() == field_kind::kPassword && !passwords && !value.empty())
            json.null();
        else
            json.value(value);
        json.endObject();
    }
    json.endArray();
    json.key("note");
    if (note != nullptr)
        json.value(lfText(note->value()));
    else
        json.null();
    json.key("attachments").beginArray();
    auto attachment = [&](const char* kind, const Attachment& a) {
        if (!a.hasData()) return;
        json.beginObject().key("kind").value(kind).key("name").value(toUtf8(a.name()));
        json.key("size").value(static_cast<std::int64_t>(a.data().size())).endObject();
    };
    attachment("picture", card.picture());
    attachment("sound", card.sound());
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) attachment("file", card.file(slot));
    json.endArray();
    json.endObject();
}

std::string csvHeader() {
    return "Path,Card,Form,Field,Kind,Value\r\n";
}

}  // namespace tw::cli
