#pragma once
// CRC-32 (the IEEE polynomial of zip and PNG files): the checksum that replay and records files
// end with, so that a damaged file is told from a good one. Computed piece by piece as a file is
// streamed: crc = crc32Update(crc32Start, piece...), and crc32Finish(crc) is the value.

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t crc32Start = 0xFFFFFFFFu;
// Adds `size` bytes at `data` to a running checksum.
uint32_t crc32Update(uint32_t crc, const void* data, std::size_t size);
inline uint32_t crc32Finish(uint32_t crc) { return crc ^ 0xFFFFFFFFu; }
