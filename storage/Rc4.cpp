#include "storage/Rc4.h"

#include <utility>

namespace tw {

void rc4Schedule(Rc4State& state, const std::uint8_t key[kKeySize]) {
    state.i = 0;
    state.j = 0;
    for (int k = 0; k < 256; ++k) state.s[k] = static_cast<std::uint8_t>(k);
    std::uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = static_cast<std::uint8_t>(j + state.s[k] + key[k % kKeySize]);
        std::swap(state.s[k], state.s[j]);
    }
}

void rc4Process(Rc4State& state, std::uint8_t* out, const std::uint8_t* in, std::size_t count) {
    std::uint8_t i = static_cast<std::uint8_t>(state.i);
    std::uint8_t j = static_cast<std::uint8_t>(state.j);
    std::uint8_t* s = state.s;
    for (std::size_t k = 0; k < count; ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        out[k] = static_cast<std::uint8_t>(in[k] ^ s[static_cast<std::uint8_t>(s[i] + s[j])]);
    }
    state.i = i;
    state.j = j;
}

void rc4Keystream(Rc4State& state, std::uint8_t* out, std::size_t count) {
    std::uint8_t i = static_cast<std::uint8_t>(state.i);
    std::uint8_t j = static_cast<std::uint8_t>(state.j);
    std::uint8_t* s = state.s;
    for (std::size_t k = 0; k < count; ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        out[k] = s[static_cast<std::uint8_t>(s[i] + s[j])];
    }
    state.i = i;
    state.j = j;
}

}  // namespace tw
