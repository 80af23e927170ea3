// Feeds arbitrary bytes to the form-layout file reader, and checks that what it accepts can be
// written again and reads back alike.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/FormLayoutFile.h"
#include "platform/MemoryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t keyBytes[16];
    for (std::size_t i = 0; i < sizeof keyBytes; ++i) keyBytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    tw::KeyRecord walletKey;
    walletKey.set(keyBytes);

    auto bytes = std::make_shared<std::vector<std::uint8_t>>(data, data + size);
    std::unique_ptr<tw::File> file = tw::makeMemoryFile(bytes, false);
    tw::Card card;
    tw::FormLayoutHeader header;
    const tw::FormLayoutResult r = tw::readFormLayout(file.get(), walletKey, &card, &header);
    if (r != tw::FormLayoutResult::Ok) {
        if (card.fieldCount() != 0 || card.loaded()) __builtin_trap();
        return 0;
    }
    if (card.header() == nullptr || card.header()->type() != tw::RecordType::Card) __builtin_trap();
    if (header.description.size() > tw::FormLayoutHeader::kMaxDescription) __builtin_trap();
    if (header.author.size() > tw::FormLayoutHeader::kMaxAuthor) __builtin_trap();

    auto written = std::make_shared<std::vector<std::uint8_t>>();
    std::unique_ptr<tw::File> out = tw::makeMemoryFile(written);
    if (tw::writeFormLayout(out.get(), card, walletKey, true, header) != tw::FormLayoutResult::Ok) __builtin_trap();
    tw::Card again;
    tw::FormLayoutHeader againHeader;
    if (tw::readFormLayout(out.get(), walletKey, &again, &againHeader) != tw::FormLayoutResult::Ok) __builtin_trap();
    if (again.fieldCount() != card.fieldCount() || againHeader.description != header.description ||
        againHeader.author != header.author || again.header()->name(walletKey) != card.header()->name(walletKey))
        __builtin_trap();
    for (std::size_t i = 0; i < card.fieldCount(); ++i)
        if (again.field(i).name() != card.field(i).name() || again.field(i).value() != card.field(i).value())
            __builtin_trap();
    return 0;
}
