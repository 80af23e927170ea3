#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw::test {

// "01 02 ab" or "0102ab" to bytes.
std::vector<std::uint8_t> fromHex(std::string_view hex);
std::string toHex(const std::uint8_t* data, std::size_t size);
template <typename C>
std::string toHex(const C& c) {
    return toHex(reinterpret_cast<const std::uint8_t*>(c.data()), c.size());
}

}  // namespace tw::test
