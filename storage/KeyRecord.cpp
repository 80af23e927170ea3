#include "storage/KeyRecord.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "storage/Bytes.h"

namespace tw {

KeyRecord::KeyRecord(const KeyRecord& other) : m_active(other.m_active), m_key(other.m_key), m_state(other.m_state) {}

KeyRecord& KeyRecord::operator=(const KeyRecord& other) {
    if (this == &other) return *this;
    clear();
    m_active = other.m_active;
    m_key = other.m_key;
    m_state = other.m_state;
    return *this;
}

bool KeyRecord::set(const std::uint8_t* key) {
    if (key == nullptr) {
        clear();
        return false;
    }
    dropStream();
    std::memcpy(m_key.data(), key, kKeySize);
    rc4Schedule(m_state, m_key.data());
    m_active = 1;
    return true;
}

void KeyRecord::clear() {
    m_active = 0;
    wipe(m_key.data(), m_key.size());
    wipe(&m_state, sizeof m_state);
    dropStream();
}

void KeyRecord::dropStream() const {
    if (m_stream) wipe(m_stream.get(), m_streamCapacity);
    m_stream.reset();
    m_streamSize = 0;
    m_streamCapacity = 0;
    wipe(&m_streamEnd, sizeof m_streamEnd);
}

const std::uint8_t* KeyRecord::stream(std::size_t count) const {
    if (count <= m_streamSize) return m_stream.get();
    if (count > m_streamCapacity) {
        const std::size_t capacity = std::min(kStreamCache, std::max({count, 2 * m_streamCapacity, std::size_t{1024}}));
        auto grown = std::make_unique<std::uint8_t[]>(capacity);
        if (m_streamSize == 0) {
            m_streamEnd = m_state;
        } else {
            std::memcpy(grown.get(), m_stream.get(), m_streamSize);
            wipe(m_stream.get(), m_streamCapacity);
        }
        m_stream = std::move(grown);
        m_streamCapacity = capacity;
    }
    // Made ahead to the capacity, so that a run of slightly longer items does not come back here.
    rc4Keystream(m_streamEnd, m_stream.get() + m_streamSize, m_streamCapacity - m_streamSize);
    m_streamSize = m_streamCapacity;
    return m_stream.get();
}

bool KeyRecord::encipher(const void* source, std::size_t count, void* dest) const {
    if (m_active == 0) return false;
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(dest);
    const std::size_t cached = std::min(count, kStreamCache);
    const std::uint8_t* k = stream(cached);
    for (std::size_t i = 0; i < cached; ++i) out[i] = static_cast<std::uint8_t>(in[i] ^ k[i]);
    if (count > cached) {
        // Beyond the cache the cipher runs on from where the cached keystream ends.
        Rc4State state = m_streamEnd;
        rc4Process(state, out + cached, in + cached, count - cached);
        wipe(&state, sizeof state);
    }
    return true;
}

bool KeyRecord::decipherText16(const std::uint8_t* source, std::size_t bytes, std::u16string* out) const {
    if (m_active == 0) return false;
    const std::size_t units = (bytes + 1) / 2;
    out->resize(units);
    const std::size_t n = decipherText16(source, bytes, out->data());
    wipe(out->data() + n, (units - n) * sizeof(char16_t));
    out->resize(n);
    return true;
}

std::size_t KeyRecord::decipherText16(const std::uint8_t* source, std::size_t bytes, char16_t* text) const {
    if (m_active == 0) return 0;
    const std::size_t whole = bytes / 2;
    const std::size_t units = (bytes + 1) / 2;
    if (bytes > kStreamCache) {
        auto plain = std::make_unique<std::uint8_t[]>(bytes + 1);
        encipher(source, bytes, plain.get());
        plain[bytes] = 0;
        std::size_t n = 0;
        while (n < units && (plain[2 * n] | plain[2 * n + 1]) != 0) ++n;
        for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char16_t>(getU16(plain.get(), 2 * i));
        wipe(plain.get(), bytes + 1);
        return n;
    }
    const std::uint8_t* k = stream(bytes);
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Four code units at a time; a word with a zero unit ends the text.
        constexpr std::uint64_t kLow = 0x0001000100010001ULL;
        constexpr std::uint64_t kHigh = 0x8000800080008000ULL;
        for (; i + 4 <= whole; i += 4) {
            std::uint64_t word;
            std::uint64_t key;
            std::memcpy(&word, source + 2 * i, 8);
            std::memcpy(&key, k + 2 * i, 8);
            word ^= key;
            std::memcpy(text + i, &word, 8);
            if (((word - kLow) & ~word & kHigh) != 0) {
                while (text[i] != 0) ++i;
                return i;
            }
        }
    }
    for (; i < whole; ++i) {
        text[i] = static_cast<char16_t>((source[2 * i] ^ k[2 * i]) | ((source[2 * i + 1] ^ k[2 * i + 1]) << 8));
        if (text[i] == 0) return i;
    }
    if (units > whole) {
        text[whole] = static_cast<char16_t>(source[bytes - 1] ^ k[bytes - 1]);
        if (text[whole] != 0) return units;
    }
    return whole;
}

}  // namespace tw
