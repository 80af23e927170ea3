#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Random.h"

namespace tw {

// Sixteen opaque bytes naming a record; all zero means none, or the top level as a parent.
struct RecordId {
    std::array<std::uint8_t, 16> bytes{};

    // Both compare two words at a time: identifiers are compared for every record in a lookup.
    bool isZero() const {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, bytes.data(), 8);
        std::memcpy(&b, bytes.data() + 8, 8);
        return (a | b) == 0;
    }
    friend bool operator==(const RecordId& x, const RecordId& y) {
        std::uint64_t a[2];
        std::uint64_t b[2];
        std::memcpy(a, x.bytes.data(), 16);
        std::memcpy(b, y.bytes.data(), 16);
        return ((a[0] ^ b[0]) | (a[1] ^ b[1])) == 0;
    }
    friend auto operator<=>(const RecordId&, const RecordId&) = default;
};

// Makes record identifiers: a random u32, the u16 value 3, the low half of a second random u32,
// then day, month, year (u16), hour, minute, second and second again. Never returns the
// identifier it returned last.
class RecordIdGenerator {
public:
    RecordId next(Random& random, const SystemTime& now);

private:
    RecordId m_last{};
};

// A generator shared by everything in one process that creates records.
RecordIdGenerator& recordIds();

}  // namespace tw
