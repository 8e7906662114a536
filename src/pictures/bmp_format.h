#pragma once
// What the BMP check (bmp_check.cpp) and the BMP reader (bmp_reader.cpp) both know of the file
// format: the file header's size, the compression codes, and little-endian fields.

#include <cstddef>
#include <cstdint>

namespace bmp_format {

inline constexpr std::size_t fileHeaderBytes = 14;
inline constexpr uint32_t compressionNone = 0;
inline constexpr uint32_t compressionRle8 = 1;
inline constexpr uint32_t compressionRle4 = 2;
inline constexpr uint32_t compressionBitfields = 3;

// The little-endian 16-bit and 32-bit fields at `p`.
inline uint32_t read16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

inline uint32_t read32(const uint8_t* p) { return read16(p) | (read16(p + 2) << 16); }

} // namespace bmp_format
