#include "storage/KeyRecord.h"

#include <algorithm>
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
    if (bytes > kStreamCache) {
        auto plain = std::make_unique<std::uint8_t[]>(bytes + 1);
        encipher(source, bytes, plain.get());
        plain[bytes] = 0;
        std::size_t n = 0;
        while (n < (bytes + 1) / 2 && (plain[2 * n] | plain[2 * n + 1]) != 0) ++n;
        out->resize(n);
        for (std::size_t i = 0; i < n; ++i) (*out)[i] = static_cast<char16_t>(getU16(plain.get(), 2 * i));
        wipe(plain.get(), bytes + 1);
        return true;
    }
    const std::uint8_t* k = stream(bytes);
    // Deciphered straight into the text a block of units at a time (a loop the compiler runs
    // many units at once), stopping after the block that holds the terminator.
    constexpr std::size_t kBlock = 32;
    const std::size_t whole = bytes / 2;
    const std::size_t units = (bytes + 1) / 2;
    out->resize(units);
    char16_t* text = out->data();
    std::size_t n = whole;
    for (std::size_t at = 0; at < whole && n == whole; at += kBlock) {
        const std::size_t end = std::min(whole, at + kBlock);
        for (std::size_t i = at; i < end; ++i)
            text[i] = static_cast<char16_t>((source[2 * i] ^ k[2 * i]) | ((source[2 * i + 1] ^ k[2 * i + 1]) << 8));
        for (std::size_t i = at; i < end; ++i) {
            if (text[i] == 0) {
                n = i;
                break;
            }
        }
    }
    if (n == whole && units > whole) {
        text[whole] = static_cast<char16_t>(source[bytes - 1] ^ k[bytes - 1]);
        if (text[whole] != 0) n = units;
    }
    wipe(text + n, (units - n) * sizeof(char16_t));
    out->resize(n);
    return true;
}

}  // namespace tw
