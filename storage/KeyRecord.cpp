#include "storage/KeyRecord.h"

#include "storage/Bytes.h"

namespace tw {

bool KeyRecord::set(const std::uint8_t* key) {
    if (key == nullptr) {
        clear();
        return false;
    }
    std::memcpy(m_key.data(), key, kKeySize);
    rc4Schedule(m_state, m_key.data());
    m_active = 1;
    return true;
}

void KeyRecord::clear() {
    m_active = 0;
    wipe(m_key.data(), m_key.size());
    wipe(&m_state, sizeof m_state);
}

bool KeyRecord::encipher(const void* source, std::size_t count, void* dest) const {
    if (m_active == 0) return false;
    // A copy of the scheduled state gives the same keystream as a fresh schedule, for less work.
    Rc4State state = m_state;
    rc4Process(state, static_cast<std::uint8_t*>(dest), static_cast<const std::uint8_t*>(source), count);
    wipe(&state, sizeof state);
    return true;
}

}  // namespace tw
