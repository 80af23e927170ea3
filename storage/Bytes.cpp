#include "storage/Bytes.h"

#include <string.h>

namespace tw {

std::u16string getText16(const std::uint8_t* p, std::size_t bytes) {
    std::size_t n = 0;
    while (2 * n + 1 < bytes && getU16(p, 2 * n) != 0) ++n;
    std::u16string out(n, u'\0');
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char16_t>(getU16(p, 2 * i));
    return out;
}

void putText16(std::uint8_t* p, std::size_t bytes, std::u16string_view text) {
    std::memset(p, 0, bytes);
    const std::size_t max = bytes / 2 == 0 ? 0 : bytes / 2 - 1;
    const std::size_t n = text.size() < max ? text.size() : max;
    for (std::size_t i = 0; i < n; ++i) putU16(p, 2 * i, text[i]);
}

std::string toBytes16(std::u16string_view text) {
    std::string out(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<char>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return out;
}

std::u16string fromBytes16(const std::uint8_t* p, std::size_t bytes) {
    std::u16string out(bytes / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char16_t>(getU16(p, 2 * i));
    return out;
}

void wipe(void* p, std::size_t n) {
    if (p != nullptr && n != 0) explicit_bzero(p, n);
}

}  // namespace tw
