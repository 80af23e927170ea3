#include "model/BodyCodec.h"

#include "storage/Bytes.h"

namespace tw::body {

bool appendEnciphered(std::vector<std::uint8_t>& out, const std::uint8_t* plain, std::size_t size, std::size_t stored,
                      const KeyRecord& key) {
    if (!key.active() || stored < size) return false;
    const std::size_t at = out.size();
    out.resize(at + stored, 0);
    if (size != 0) key.encipher(plain, size, out.data() + at);
    return true;
}

bool appendText(std::vector<std::uint8_t>& out, std::u16string_view text, const KeyRecord& key) {
    std::string bytes = toBytes16(text);
    const bool ok = appendEnciphered(out, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                     paddedTextSize(bytes.size()), key);
    wipe(bytes.data(), bytes.size());
    return ok;
}

bool PayloadReader::takeData(std::uint32_t stored, std::uint32_t padding, const KeyRecord& key,
                             std::vector<std::uint8_t>* out) {
    if (!check(stored, padding) || !key.active()) return false;
    out->assign(stored == 0 ? 0 : stored - padding, 0);
    if (!out->empty()) key.encipher(m_data + m_pos, out->size(), out->data());
    m_pos += stored;
    return true;
}

bool PayloadReader::takeText(std::uint32_t stored, std::uint32_t padding, const KeyRecord& key, std::u16string* out) {
    if (!check(stored, padding) || !key.active()) return false;
    std::u16string text;
    if (stored != 0) key.decipherText16(m_data + m_pos, stored - padding, &text);
    m_pos += stored;
    wipeText(*out);
    *out = std::move(text);
    return true;
}

void wipeText(std::u16string& text) {
    wipe(text.data(), text.size() * sizeof(char16_t));
    text.clear();
}

}  // namespace tw::body
