#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

// RC4 with 16-byte keys. The state is plain data owned by the caller; the keystream carries on
// from call to call, so one stream may be processed in pieces.
struct Rc4State {
    std::uint32_t i = 0;  // both indexes always below 256
    std::uint32_t j = 0;
    std::uint8_t s[256] = {};
};

constexpr std::size_t kKeySize = 16;

void rc4Schedule(Rc4State& state, const std::uint8_t key[kKeySize]);
// out[k] = in[k] XOR keystream; `in` and `out` may be the same buffer.
void rc4Process(Rc4State& state, std::uint8_t* out, const std::uint8_t* in, std::size_t count);
// out[k] = keystream: the same as rc4Process over zero bytes.
void rc4Keystream(Rc4State& state, std::uint8_t* out, std::size_t count);

}  // namespace tw
