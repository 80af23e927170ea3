// Feeds arbitrary bytes to the card import as a table file, answering every question with Yes
// or, when the first byte is odd, with No, and checks what reaches the sink.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/CardImport.h"
#include "platform/MemoryFile.h"

namespace {

class CheckingSink final : public tw::ImportSink {
public:
    explicit CheckingSink(std::size_t columns) : m_columns(columns) {}
    void beginFolder(const std::u16string&) override {
        if (folders++ != 0) __builtin_trap();
    }
    void addCard(const tw::ImportedCard& card) override {
        if (folders != 1 || card.fields.size() != std::min<std::size_t>(m_columns - 1, 255)) __builtin_trap();
        ++cards;
    }
    std::size_t folders = 0;
    std::size_t cards = 0;

private:
    std::size_t m_columns;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const tw::ImportTable table = tw::ImportTable::decode(bytes);
    if (table.rows() == 0 || table.columns() == 0 || table.cellCount() == 0) __builtin_trap();
    if (table.cellCount() > table.rows() * table.columns()) __builtin_trap();
    for (std::size_t i = 0; i < table.cellCount(); ++i)
        if (table.cell(i).size() > table.text().size()) __builtin_trap();

    tw::StringTable strings;
    strings.load({{22073, u"%d more"}, {22074, u"%d left?"}, {22075, u"%d done"}, {22041, u"Imported"}});
    tw::MemoryFileSystem files;
    files.setBytes("table.txt", bytes);
    tw::ScriptedPrompt prompt;
    prompt.useFallback = true;
    prompt.fallback = size > 0 && (data[0] & 1) ? tw::Answer::No : tw::Answer::Yes;
    CheckingSink sink(table.columns());
    const std::size_t count = tw::importCards(files, "table.txt", strings, prompt, sink, {u"1/1/2025", true});
    if (count != sink.cards || count > tw::cardRowCount(table)) __builtin_trap();
    for (const tw::Message& m : prompt.shown)
        if (m.text.size() > 2047 + 32) __builtin_trap();  // a preview, or a short message
    return 0;
}
