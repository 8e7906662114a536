#include "icon_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

namespace
{

uint32_t crc32(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<uint8_t> &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void putChunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data)
{
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBigEndian(out, crc32(typed.data(), typed.size()));
}

} // namespace

bool writeIconFile(const std::string &path, const Picture &picture)
{
    const Surface &s = picture.surface;
    // Raw scanlines: filter byte 0, then RGBA.
    std::vector<uint8_t> raw;
    for (int y = 0; y < s.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
            const bool clear = picture.keyed && p == keyColour;
            raw.push_back(clear ? 0 : static_cast<uint8_t>(p >> 16));
            raw.push_back(clear ? 0 : static_cast<uint8_t>(p >> 8));
            raw.push_back(clear ? 0 : static_cast<uint8_t>(p));
            raw.push_back(clear ? 0 : 255);
        }
    }
    // zlib stream of stored (uncompressed) deflate blocks.
    std::vector<uint8_t> zlib = {0x78, 0x01};
    for (size_t offset = 0; offset < raw.size(); offset += 65535) {
        const size_t length = std::min<size_t>(65535, raw.size() - offset);
        zlib.push_back(offset + length >= raw.size() ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                    raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
    }
    uint32_t a = 1, b = 0; // Adler-32 of the raw data
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(zlib, (b << 16) | a);

    std::vector<uint8_t> header;
    putBigEndian(header, static_cast<uint32_t>(s.width));
    putBigEndian(header, static_cast<uint32_t>(s.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits per channel, RGBA, no interlace

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", zlib);
    putChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}
