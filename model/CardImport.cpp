#include "model/CardImport.h"

#include <algorithm>

#include "platform/Text.h"

namespace tw {
namespace {

namespace sid {
constexpr std::uint32_t kInformationCaption = 20001;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kQuestionCaption = 20504;
constexpr std::uint32_t kCardNameLabel = 20518;
constexpr std::uint32_t kFolderName = 22041;
constexpr std::uint32_t kUnreadable = 22070;
constexpr std::uint32_t kBadTable = 22071;
constexpr std::uint32_t kPreviewTitle = 22072;
constexpr std::uint32_t kMoreColumns = 22073;
constexpr std::uint32_t kImportRest = 22074;
constexpr std::uint32_t kImported = 22075;
}  // namespace sid

constexpr std::size_t kMaxPreview = 2047;
constexpr std::size_t kPreviewColumns = 5;
constexpr std::size_t kMaxLabel = 50;
constexpr std::size_t kMaxValue = 110;
constexpr std::size_t kOfferRestAtRow = 5;
constexpr std::size_t kOfferRestFromRows = 10;
// A card holds at most 255 fields and refuses more, so columns past that never reach a card;
// not building them keeps a first row of a million tabs from costing a million fields per row.
constexpr std::size_t kMaxCardFields = 255;

std::u16string cut(std::u16string_view text, std::size_t limit, std::u16string_view more) {
    if (text.size() <= limit) return std::u16string(text);
    return std::u16string(text.substr(0, limit)) + std::u16string(more);
}

}  // namespace

bool hasImportHeader(const ImportTable& table) {
    const std::u16string_view first = table.cell(0);
    return equalNoCase(first, u"CardName") || equalNoCase(first, u"Card Name");
}

std::size_t cardRowCount(const ImportTable& table) {
    if (table.rows() < 2) return 0;
    return table.rows() - 1 - (table.cell(table.rows() - 1, 0).empty() ? 1 : 0);
}

std::u16string importFolderName(const StringTable& strings, std::u16string_view today) {
    const std::u16string prefix = strings.text(sid::kFolderName);
    return format(u"%s %s", {prefix, today});
}

std::u16string importPreview(const ImportTable& table, std::size_t row, const StringTable& strings) {
    std::u16string out = strings.text(sid::kPreviewTitle) + u"\n\n";
    const std::u16string cardLabel = strings.text(sid::kCardNameLabel);
    const std::size_t shown = std::min(table.columns(), kPreviewColumns);
    for (std::size_t c = 0; c < shown; ++c) {
        const std::u16string_view label = c == 0 ? std::u16string_view(cardLabel) : table.cell(0, c);
        const std::u16string labelText = cut(label, kMaxLabel, u"...") + u":";
        // A password column is not shown in clear, as its field will not be.
        const std::u16string value =
            c > 0 && isPasswordHeader(label) ? std::u16string(u"********") : cut(table.cell(row, c), kMaxValue, u"...");
        out += format(u"%s %s\n", {labelText, value});
        if (out.size() > kMaxPreview) break;
    }
    if (table.columns() > kPreviewColumns)
        out += format(strings.text(sid::kMoreColumns), {static_cast<std::int64_t>(table.columns() - kPreviewColumns)});
    if (out.size() > kMaxPreview) out.resize(kMaxPreview);
    return out;
}

ImportedCard importedCard(const ImportTable& table, std::size_t row) {
    ImportedCard card;
    card.name = std::u16string(table.cell(row, 0));
    const std::size_t columns = std::min(table.columns(), kMaxCardFields + 1);
    for (std::size_t c = 1; c < columns; ++c)
        card.fields.push_back({std::u16string(table.cell(0, c)), std::u16string(table.cell(row, c))});
    return card;
}

std::size_t importTable(const ImportTable& table, const StringTable& strings, Prompt& prompt, ImportSink& sink,
                        const ImportSettings& settings) {
    const std::size_t cardRows = cardRowCount(table);
    if (!hasImportHeader(table) || table.columns() < 2 || cardRows == 0) {
        prompt.tell(strings.text(sid::kBadTable), strings.text(sid::kErrorCaption), Icon::Stop);
        return 0;
    }
    const Buttons buttons = settings.offerCancel ? Buttons::YesNoCancel : Buttons::YesNo;
    const std::u16string question = strings.text(sid::kQuestionCaption);
    bool askEachRow = true;
    bool restOffered = false;
    bool folderMade = false;
    std::size_t count = 0;
    for (std::size_t row = 1; row <= cardRows; ++row) {
        if (askEachRow && !restOffered && row >= kOfferRestAtRow && cardRows >= kOfferRestFromRows) {
            restOffered = true;
            const auto rest = static_cast<std::int64_t>(cardRows - (row - 1));
            const Answer a =
                prompt.ask({format(strings.text(sid::kImportRest), {rest}), question, buttons, Icon::Question});
            if (a == Answer::Cancel) break;
            if (a == Answer::Yes) askEachRow = false;
        }
        if (askEachRow) {
            const Answer a = prompt.ask({importPreview(table, row, strings), question, buttons, Icon::Question});
            if (a == Answer::Cancel) break;
            if (a != Answer::Yes) continue;
        }
        if (!folderMade) {
            sink.beginFolder(importFolderName(strings, settings.today));
            folderMade = true;
        }
        sink.addCard(importedCard(table, row));
        ++count;
    }
    if (count > 0)
        prompt.tell(format(strings.text(sid::kImported), {static_cast<std::int64_t>(count)}),
                    strings.text(sid::kInformationCaption), Icon::Information);
    return count;
}

std::size_t importCards(FileSystem& files, const std::string& path, const StringTable& strings, Prompt& prompt,
                        ImportSink& sink, const ImportSettings& settings) {
    ImportTable table;
    if (ImportTable::read(files, path, &table) != ImportTableResult::Done) {
        prompt.tell(strings.text(sid::kUnreadable), strings.text(sid::kErrorCaption), Icon::Stop);
        return 0;
    }
    return importTable(table, strings, prompt, sink, settings);
}

bool isPasswordHeader(std::u16string_view header) {
    while (!header.empty() && (header.front() == u' ' || header.front() == u'\t')) header.remove_prefix(1);
    while (!header.empty() && (header.back() == u' ' || header.back() == u'\t')) header.remove_suffix(1);
    const std::u16string folded = foldCase(header);
    // Whole headers that are short words elsewhere.
    for (std::u16string_view word : {u"pin", u"pin code", u"pincode", u"pwd", u"pw", u"pass", u"code pin"})
        if (folded == word) return true;
    // Words that name a password wherever they stand in the header.
    for (std::u16string_view part :
         {u"password", u"passwort", u"passwd", u"kennwort", u"mot de passe", u"contraseña", u"senha", u"wachtwoord",
          u"lösenord", u"passord", u"adgangskode", u"salasana", u"hasło", u"heslo", u"пароль", u"passcode"})
        if (folded.find(part) != std::u16string::npos) return true;
    return false;
}

}  // namespace tw
