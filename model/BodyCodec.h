#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/KeyRecord.h"

namespace tw::body {

// The texts and data blocks inside a card body's sub-records. Each is stored padded with zero
// bytes to a multiple of 4; its descriptor keeps the stored size (padding included) and the
// number of padding bytes. The unpadded bytes are enciphered under the record key as one item
// (the keystream starts afresh for each); the padding stays plain zeros.

// A text of `bytes` bytes (UTF-16LE, so even) is followed by 2 or 4 zero bytes, which leaves at
// least one zero character after it; an empty text takes no room at all.
constexpr std::size_t paddedTextSize(std::size_t bytes) {
    return bytes == 0 ? 0 : bytes + 4 - bytes % 4;
}
// A data block of n bytes is followed by 1 to 4 zero bytes.
constexpr std::size_t paddedDataSize(std::size_t bytes) {
    return bytes + 4 - bytes % 4;
}

static_assert(paddedTextSize(6) == 8 && paddedTextSize(8) == 12 && paddedTextSize(0) == 0);
static_assert(paddedDataSize(1000) == 1004 && paddedDataSize(1001) == 1004);

// Appends `size` bytes of `plain` enciphered under `key`, then zeros up to `stored` bytes.
// False (nothing appended) when the key is inactive or `stored` < `size`.
bool appendEnciphered(std::vector<std::uint8_t>& out, const std::uint8_t* plain, std::size_t size, std::size_t stored,
                      const KeyRecord& key);
// Appends a text by the text padding rule; nothing for an empty text.
bool appendText(std::vector<std::uint8_t>& out, std::u16string_view text, const KeyRecord& key);

// Reads the padded items of one payload in order. Never reads past the payload: an item whose
// stored size exceeds what remains, or whose padding exceeds its stored size, is refused and
// nothing is consumed. An item of stored size 0 is empty whatever padding count it carries.
class PayloadReader {
public:
    PayloadReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t remaining() const { return m_size - m_pos; }

    // Deciphers the unpadded part of the next `stored` bytes into `*out` (sized to it).
    bool takeData(std::uint32_t stored, std::uint32_t padding, const KeyRecord& key, std::vector<std::uint8_t>* out);
    // Deciphers the next text: the code units up to the first zero one. An odd trailing byte
    // counts as a code unit whose high byte is zero.
    bool takeText(std::uint32_t stored, std::uint32_t padding, const KeyRecord& key, std::u16string* out);

private:
    bool check(std::uint32_t stored, std::uint32_t padding) const {
        return stored == 0 || (stored <= remaining() && padding <= stored);
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Overwrites a text's characters before it is let go of.
void wipeText(std::u16string& text);

}  // namespace tw::body
