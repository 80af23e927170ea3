#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace tw {

// Little-endian get and put over raw bytes at an offset. Callers keep offsets inside their
// fixed-size blocks; the block sizes are static_asserted beside each layout.
inline std::uint16_t getU16(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] | (p[at + 1] << 8));
}
inline std::uint32_t getU32(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::uint32_t>(p[at]) | (static_cast<std::uint32_t>(p[at + 1]) << 8) |
           (static_cast<std::uint32_t>(p[at + 2]) << 16) | (static_cast<std::uint32_t>(p[at + 3]) << 24);
}
inline std::int32_t getI32(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::int32_t>(getU32(p, at));
}
inline void putU16(std::uint8_t* p, std::size_t at, std::uint16_t v) {
    p[at] = static_cast<std::uint8_t>(v);
    p[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* p, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putI32(std::uint8_t* p, std::size_t at, std::int32_t v) {
    putU32(p, at, static_cast<std::uint32_t>(v));
}

// A SYSTEMTIME is eight u16 values in the order year, month, day of week, day, hour, minute,
// second, milliseconds.
constexpr std::size_t kSystemTimeSize = 16;
inline SystemTime getSystemTime(const std::uint8_t* p, std::size_t at) {
    SystemTime t;
    t.year = getU16(p, at);
    t.month = getU16(p, at + 2);
    t.dayOfWeek = getU16(p, at + 4);
    t.day = getU16(p, at + 6);
    t.hour = getU16(p, at + 8);
    t.minute = getU16(p, at + 10);
    t.second = getU16(p, at + 12);
    t.milliseconds = getU16(p, at + 14);
    return t;
}
inline void putSystemTime(std::uint8_t* p, std::size_t at, const SystemTime& t) {
    putU16(p, at, t.year);
    putU16(p, at + 2, t.month);
    putU16(p, at + 4, t.dayOfWeek);
    putU16(p, at + 6, t.day);
    putU16(p, at + 8, t.hour);
    putU16(p, at + 10, t.minute);
    putU16(p, at + 12, t.second);
    putU16(p, at + 14, t.milliseconds);
}

inline bool allZero(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

// UTF-16LE text in a fixed, zero-filled field of `bytes` bytes (NUL-terminated when shorter).
std::u16string getText16(const std::uint8_t* p, std::size_t bytes);
// Writes at most bytes/2 - 1 code units and zero-fills the rest of the field.
void putText16(std::uint8_t* p, std::size_t bytes, std::u16string_view text);
// UTF-16 text as UTF-16LE bytes, without terminator.
std::string toBytes16(std::u16string_view text);
std::u16string fromBytes16(const std::uint8_t* p, std::size_t bytes);

// Overwrites memory in a way the compiler does not remove.
void wipe(void* p, std::size_t n);

}  // namespace tw
