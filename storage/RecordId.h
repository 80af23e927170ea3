#pragma once

#include <array>
#include <cstdint>

#include "platform/Clock.h"
#include "platform/Random.h"

namespace tw {

// Sixteen opaque bytes naming a record; all zero means none, or the top level as a parent.
struct RecordId {
    std::array<std::uint8_t, 16> bytes{};

    bool isZero() const {
        for (auto b : bytes)
            if (b != 0) return false;
        return true;
    }
    friend bool operator==(const RecordId&, const RecordId&) = default;
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
