#include "cli/CardData.h"

#include <algorithm>
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

constexpr const char* kMasked = "********";

std::string lfText(const std::u16string& text) {
    std::string out = toUtf8(text);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) out[kept++] = out[i];
    wipe(out.data() + kept, out.size() - kept);
    out.resize(kept);
    return out;
}

// Appends a cell as csvCell writes it.
void appendCsvCell(std::string& csv, std::string_view text) {
    const bool plain =
        std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (plain) {
        csv += text;
        return;
    }
    csv += '"';
    for (char c : text) {
        if (c == '"') csv += '"';
        csv += c;
    }
    csv += '"';
}

// Appends `text` as csvCell(toUtf8(text)) would, or with `lineFeeds` as csvCell(lfText(text)),
// without making those texts on the way.
void appendCsvText(std::string& csv, std::u16string_view text, bool lineFeeds) {
    const bool quoted = std::any_of(text.begin(), text.end(),
                                    [](char16_t c) { return c == u',' || c == u'"' || c == u'\r' || c == u'\n'; });
    if (quoted) csv += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c >= 0x80) {
            // A run beyond ASCII goes through toUtf8 whole, which keeps surrogate pairs together.
            std::size_t end = i;
            while (end < text.size() && text[end] >= 0x80) ++end;
            std::string run = toUtf8(text.substr(i, end - i));
            csv += run;
            wipe(run.data(), run.size());
            i = end;
            continue;
        }
        ++i;
        if (lineFeeds && c == u'\r' && i < text.size() && text[i] == u'\n') continue;
        if (c == u'"') csv += '"';
        csv += static_cast<char>(c);
    }
    if (quoted) csv += '"';
}

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

std::string formOf(WalletFile& wallet, const Card& card) {
    std::u16string form;
    return formName(wallet, card.header()->formRef(), form) ? toUtf8(form) : std::string();
}

}  // namespace

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

std::string csvCell(const std::string& text) {
    std::string out;
    appendCsvCell(out, text);
    return out;
}

std::string csvHeader() {
    return "Path,Card,Form,Field,Kind,Value\r\n";
}

void appendCardCsv(std::string& csv, WalletFile& wallet, std::size_t position, const Card& card, bool passwords) {
    std::string start;
    appendCsvCell(start, pathOf(wallet, position));
    start += ',';
    std::string name = toUtf8(card.header()->name(wallet.recordKey()));
    appendCsvCell(start, name);
    start += ',';
    appendCsvCell(start, formOf(wallet, card));
    start += ',';
    // Room for the rows up front (UTF-8 takes at most 3 bytes per UTF-16 unit here), so that the
    // text holding the values is not moved and left behind as it grows.
    std::size_t room = 0;
    for (std::size_t i = 0; i < card.fieldCount(); ++i)
        room += start.size() + 3 * (card.field(i).name().size() + card.field(i).value().size()) + 32;
    csv.reserve(csv.size() + room);
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        csv += start;
        if (f.isNote()) {
            csv += "Note,note,";
        } else {
            appendCsvText(csv, f.name(), false);
            csv += ',';
            csv += kindName(f.kind());
            csv += ',';
        }
        if (isDateKind(f.kind()) || f.kind() == field_kind::kCheckBox) {
            appendCsvCell(csv, scriptValue(f));
        } else if (f.kind() == field_kind::kPassword && !passwords && !f.value().empty()) {
            csv += kMasked;
        } else {
            appendCsvText(csv, f.value(), true);  // the value as scriptValue gives it
        }
        csv += "\r\n";
    }
    wipe(name.data(), name.size());
    wipe(start.data(), start.size());
}

}  // namespace tw::cli
