#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "storage/Rc4.h"

namespace tw {

// A key with its RC4 state. An inactive record has every key and state byte zero. The key is
// wiped when the record is cleared or destroyed.
class KeyRecord {
public:
    KeyRecord() = default;
    KeyRecord(const KeyRecord& other) = default;
    KeyRecord& operator=(const KeyRecord& other) = default;
    ~KeyRecord() { clear(); }

    // Loads a key and runs the key schedule into the record's state. Given no bytes, clears
    // the record and returns false.
    bool set(const std::uint8_t* key);
    void clear();

    bool active() const { return m_active != 0; }
    const std::uint8_t* key() const { return m_key.data(); }
    // The state right after the key schedule. Every item starts from a copy of it.
    const Rc4State& scheduled() const { return m_state; }

    // Enciphers (and equally deciphers) `count` bytes from `source` into `dest`, with the
    // keystream started afresh for this item. An inactive record leaves `dest` untouched and
    // returns false. `source` and `dest` may be the same.
    bool encipher(const void* source, std::size_t count, void* dest) const;

private:
    std::uint32_t m_active = 0;
    std::array<std::uint8_t, kKeySize> m_key{};
    Rc4State m_state{};
};

}  // namespace tw
