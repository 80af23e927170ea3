#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "storage/Rc4.h"

namespace tw {

// A key with its RC4 state. An inactive record has every key and state byte zero. The key is
// wiped when the record is cleared or destroyed.
//
// Every item under one key starts its keystream afresh, so all items share the same keystream:
// the record makes it once, as far as the longest item read so far needs (up to kStreamCache
// bytes; longer items run the cipher on from there), and each item is XORed with it. The
// keystream is wiped with the key. A record is not meant for use from two threads at once.
class KeyRecord {
public:
    static constexpr std::size_t kStreamCache = 256 * 1024;

    KeyRecord() = default;
    // Copies the key and its state; the copy makes its own keystream when it needs one.
    KeyRecord(const KeyRecord& other);
    KeyRecord& operator=(const KeyRecord& other);
    ~KeyRecord() { clear(); }

    // Loads a key and runs the key schedule into the record's state. Given no bytes, clears
    // the record and returns false.
    bool set(const std::uint8_t* key);
    void clear();

    bool active() const { return m_active != 0; }
    const std::uint8_t* key() const { return m_key.data(); }
    // The state right after the key schedule.
    const Rc4State& scheduled() const { return m_state; }

    // Enciphers (and equally deciphers) `count` bytes from `source` into `dest`, with the
    // keystream started afresh for this item. An inactive record leaves `dest` untouched and
    // returns false. `source` and `dest` may be the same.
    bool encipher(const void* source, std::size_t count, void* dest) const;
    // Deciphers an item of `bytes` bytes holding UTF-16LE text into `*out`: the code units up to
    // the first zero one; an odd trailing byte counts as a code unit whose high byte is zero.
    // Only what the text needs is deciphered. False (`*out` untouched) for an inactive record.
    bool decipherText16(const std::uint8_t* source, std::size_t bytes, std::u16string* out) const;
    // The same straight into `out`, which has room for (bytes + 1) / 2 code units; returns the
    // units before the terminator (0 for an inactive record). Units after the terminator may be
    // written too: the caller wipes all of `out` that it gave.
    std::size_t decipherText16(const std::uint8_t* source, std::size_t bytes, char16_t* out) const;

private:
    // The first `count` keystream bytes (count <= kStreamCache).
    const std::uint8_t* stream(std::size_t count) const;
    void dropStream() const;

    std::uint32_t m_active = 0;
    std::array<std::uint8_t, kKeySize> m_key{};
    Rc4State m_state{};
    // The keystream made so far and the cipher's state where it ends.
    mutable std::unique_ptr<std::uint8_t[]> m_stream;
    mutable std::size_t m_streamSize = 0;
    mutable std::size_t m_streamCapacity = 0;
    mutable Rc4State m_streamEnd{};
};

}  // namespace tw
