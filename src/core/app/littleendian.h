// Little-endian 16- and 32-bit numbers, as bitmap and wave files store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumor::le {

inline void put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>((v >> 8) & 255));
}
inline void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// The caller has checked that the bytes at `at` exist.
inline uint32_t get16(std::string_view s, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8;
}
inline uint32_t get32(std::string_view s, size_t at) {
    return get16(s, at) | get16(s, at + 2) << 16;
}

}  // namespace lumor::le
