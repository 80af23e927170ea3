#include "storage/RecordId.h"

#include "storage/Bytes.h"

namespace tw {

RecordId RecordIdGenerator::next(Random& random, const SystemTime& now) {
    RecordId id;
    do {
        std::uint8_t* p = id.bytes.data();
        std::uint32_t words[2];
        random.fill(words, 2);
        putU32(p, 0, words[0]);
        putU16(p, 4, 3);
        putU16(p, 6, static_cast<std::uint16_t>(words[1] & 0xFFFF));
        p[8] = static_cast<std::uint8_t>(now.day);
        p[9] = static_cast<std::uint8_t>(now.month);
        putU16(p, 10, now.year);
        p[12] = static_cast<std::uint8_t>(now.hour);
        p[13] = static_cast<std::uint8_t>(now.minute);
        p[14] = static_cast<std::uint8_t>(now.second);
        p[15] = static_cast<std::uint8_t>(now.second);
    } while (id == m_last);
    m_last = id;
    return id;
}

RecordIdGenerator& recordIds() {
    static RecordIdGenerator generator;
    return generator;
}

}  // namespace tw
