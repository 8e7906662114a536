// Our own BMP reader. It gives exactly the pixels the desktop library's reader gave the game (that
// reader, followed by its conversion to 32-bit pixels, is what the game's pictures were made and
// checked with), so its rules are that reader's rules: which colour masks are known, how a narrow
// channel widens to 8 bits, what a pixel left out of run-length data shows.
#include "pictures/bmp_reader.h"
#include "pictures/bmp_format.h"

#include <array>
#include <bit>
#include <span>
#include <utility>
#include <vector>

namespace {

using namespace bmp_format;

// What the file's two headers say about its pixels.
struct BmpHeader {
    uint32_t infoBytes = 0; // the size of the second header: 12 (OS/2) or 40 to 124 (Windows)
    std::size_t pixelOffset = 0;
    int width = 0;
    int rows = 0;
    bool topDown = false;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = compressionNone;
    uint32_t coloursUsed = 0;
    // Red, green, blue and alpha masks of a file with colour masks; alpha only in headers of 56
    // bytes or more, as the desktop library's reader had it.
    std::array<uint32_t, 4> masks{};
};

// Reads the headers, refusing anything this reader cannot decode safely: headers or masks past
// the end of the data, a size outside the loader's caps, a depth or compression it does not know.
bool readHeader(const uint8_t* data, std::size_t size, BmpHeader* h)
{
    if (data == nullptr || size < fileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    h->pixelOffset = read32(data + 10);
    h->infoBytes = read32(data + 14);
    const uint32_t n = h->infoBytes;
    if (!(n == 12 || n == 40 || n == 52 || n == 56 || n == 108 || n == 124) ||
        fileHeaderBytes + n > size) {
        return false;
    }
    const uint8_t* info = data + fileHeaderBytes;
    int64_t width = 0;
    int64_t height = 0;
    if (n == 12) {
        width = read16(info + 4);
        height = read16(info + 6);
        h->bitsPerPixel = read16(info + 10);
    } else {
        width = static_cast<int32_t>(read32(info + 4));
        height = static_cast<int32_t>(read32(info + 8));
        h->bitsPerPixel = read16(info + 14);
        h->compression = read32(info + 16);
        h->coloursUsed = read32(info + 32);
    }
    h->topDown = height < 0;
    const int64_t rows = h->topDown ? -height : height;
    if (width < 1 || width > largestPictureSide || rows < 1 || rows > largestPictureSide ||
        width * rows > largestPicturePixels) {
        return false;
    }
    h->width = static_cast<int>(width);
    h->rows = static_cast<int>(rows);
    const uint32_t bpp = h->bitsPerPixel;
    const bool depthKnown = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    const bool fits = h->compression == compressionNone ||
                      (h->compression == compressionRle8 && bpp == 8 && !h->topDown) ||
                      (h->compression == compressionRle4 && bpp == 4 && !h->topDown) ||
                      (h->compression == compressionBitfields && (bpp == 16 || bpp == 32));
    if (!depthKnown || !fits) {
        return false;
    }
    if (h->compression == compressionBitfields) {
        // A 40-byte header is followed by the three masks; longer headers hold them.
        if (fileHeaderBytes + 40 + 12 > size) {
            return false;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            h->masks[i] = read32(info + 40 + 4 * i);
        }
        if (n >= 56) {
            h->masks[3] = read32(info + 52);
        }
    }
    return true;
}

// The colours of a paletted picture, 0x00RRGGBB. Every one of the 256 entries exists, so that no
// index can reach outside; those the file leaves out stay black.
using Palette = std::array<uint32_t, 256>;

bool readPalette(const uint8_t* data, std::size_t size, const BmpHeader& h, Palette* palette)
{
    palette->fill(0);
    const uint32_t most = 1u << h.bitsPerPixel;
    const uint32_t colours = h.coloursUsed == 0 ? most : h.coloursUsed;
    const std::size_t entryBytes = h.infoBytes == 12 ? 3 : 4;
    const std::size_t start = fileHeaderBytes + h.infoBytes;
    if (colours > most || start + colours * entryBytes > size) {
        return false;
    }
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* e = data + start + i * entryBytes;
        (*palette)[i] = static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
    }
    return true;
}

// Widening an n-bit channel value to 8 bits: v * 255 / (2^n - 1), rounded down, as the desktop
// library's tables widen (5 bits: 0, 8, 16, 24, 32, 41, ...; 6 bits: 0, 4, 8, ..., 80, 85). A
// channel without bits at all reads as full.
uint32_t widen(uint32_t value, int bits)
{
    if (bits == 0) {
        return 255;
    }
    return bits >= 8 ? value : value * 255 / ((1u << bits) - 1);
}

// One channel of a 16- or 32-bit pixel: where it sits, and each of its values widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    std::array<uint8_t, 256> wide{};

    // A channel wider than 8 bits keeps its top 8.
    explicit Channel(uint32_t m = 0) : mask(m), shift(m == 0 ? 0 : std::countr_zero(m))
    {
        int bits = std::popcount(m);
        if (bits > 8) {
            shift += bits - 8;
            bits = 8;
        }
        const uint32_t values = bits >= 8 ? 256 : 1u << bits;
        for (uint32_t v = 0; v < values; ++v) {
            wide[v] = static_cast<uint8_t>(widen(v, bits));
        }
    }
    uint32_t of(uint32_t pixel) const { return wide[((pixel & mask) >> shift) & 255]; }
};

// The colour masks of 16- and 32-bit pixels the desktop library's reader knew (red, green, blue,
// alpha). Any other masks made it refuse the file; so does this reader.
struct KnownMasks {
    uint32_t red, green, blue, alpha;
};
constexpr KnownMasks knownMasks16[] = {
    {0x7C00, 0x03E0, 0x001F, 0x0000}, {0x001F, 0x03E0, 0x7C00, 0x0000},
    {0x0F00, 0x00F0, 0x000F, 0xF000}, {0xF000, 0x0F00, 0x00F0, 0x000F},
    {0x000F, 0x00F0, 0x0F00, 0xF000}, {0x00F0, 0x0F00, 0xF000, 0x000F},
    {0x7C00, 0x03E0, 0x001F, 0x8000}, {0xF800, 0x07C0, 0x003E, 0x0001},
    {0x001F, 0x03E0, 0x7C00, 0x8000}, {0x003E, 0x07C0, 0xF800, 0x0001},
    {0xF800, 0x07E0, 0x001F, 0x0000}, {0x001F, 0x07E0, 0xF800, 0x0000},
};
constexpr KnownMasks knownMasks32[] = {
    {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00000000},
    {0xFF000000, 0x00FF0000, 0x0000FF00, 0x00000000},
    {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00000000},
    {0x0000FF00, 0x00FF0000, 0xFF000000, 0x00000000},
    {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
    {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
};
constexpr KnownMasks red5Green6Blue5 = {0xF800, 0x07E0, 0x001F, 0};

// The masks the desktop library's reader read a 16- or 32-bit file with, or false when it refused
// the file's masks. Without masks, 16 bits are 5-5-5 and 32 bits are 8-8-8 with the top byte
// unused. With masks, a zero red mask stands for 5-6-5 (16 bits) or 8-8-8 (32 bits) whatever the
// other masks say, and so do the 16-bit masks 0x003F, 0x07C0, 0xF800 (its blue taken as red and
// its red as blue). Of 10-bit channels, the top 8 bits count.
bool pixelMasks(const BmpHeader& h, KnownMasks* chosen)
{
    const bool wide = h.bitsPerPixel == 32;
    if (h.compression != compressionBitfields) {
        *chosen = wide ? KnownMasks{0x00FF0000, 0x0000FF00, 0x000000FF, 0}
                       : KnownMasks{0x7C00, 0x03E0, 0x001F, 0};
        return true;
    }
    const auto [red, green, blue, alpha] = h.masks;
    if (red == 0) {
        *chosen = wide ? KnownMasks{0x00FF0000, 0x0000FF00, 0x000000FF, 0} : red5Green6Blue5;
        return true;
    }
    if (!wide && red == 0x003F && green == 0x07C0 && blue == 0xF800 && alpha == 0) {
        *chosen = red5Green6Blue5;
        return true;
    }
    const std::span<const KnownMasks> known = wide ? std::span<const KnownMasks>(knownMasks32)
                                                   : std::span<const KnownMasks>(knownMasks16);
    for (const KnownMasks& m : known) {
        if (m.red == red && m.green == green && m.blue == blue && m.alpha == alpha) {
            *chosen = m;
            return true;
        }
    }
    return false;
}

// The two bytes of a 5-6-5 pixel looked up apart and added, as the desktop library's converter
// did: red and blue widen as any 5-bit channel, but green widens its top three bits and adds its
// low three bits times 4, so the brightest green is 254, not 255.
struct Split565 {
    std::array<uint32_t, 256> low{};
    std::array<uint32_t, 256> high{};
    Split565()
    {
        for (uint32_t b = 0; b < 256; ++b) {
            low[b] = (b >> 5) * 4 << 8 | widen(b & 31, 5);
            high[b] = widen(b >> 3, 5) << 16 | widen((b & 7) << 3, 6) << 8;
        }
    }
};

using Rows = std::vector<uint32_t>;

// Where the file's data for picture row `y` (0 the top row) begins.
const uint8_t* rowData(const uint8_t* pixels, std::size_t stride, const BmpHeader& h, int y)
{
    const int stored = h.topDown ? y : h.rows - 1 - y;
    return pixels + stride * static_cast<std::size_t>(stored);
}

void decodeIndexed(const uint8_t* pixels, std::size_t stride, const BmpHeader& h,
                   const Palette& palette, Rows* out)
{
    const int w = h.width;
    for (int y = 0; y < h.rows; ++y) {
        const uint8_t* in = rowData(pixels, stride, h, y);
        uint32_t* o = out->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        if (h.bitsPerPixel == 8) {
            for (int x = 0; x < w; ++x) {
                o[x] = palette[in[x]];
            }
        } else if (h.bitsPerPixel == 4) {
            for (int x = 0; x < w; ++x) {
                const uint8_t b = in[x / 2];
                o[x] = palette[x % 2 == 0 ? b >> 4 : b & 15];
            }
        } else {
            for (int x = 0; x < w; ++x) {
                o[x] = palette[(in[x / 8] >> (7 - x % 8)) & 1];
            }
        }
    }
}

void decode24(const uint8_t* pixels, std::size_t stride, const BmpHeader& h, Rows* out)
{
    const int w = h.width;
    for (int y = 0; y < h.rows; ++y) {
        const uint8_t* in = rowData(pixels, stride, h, y);
        uint32_t* o = out->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x, in += 3) {
            o[x] = static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[0];
        }
    }
}

void decodeMasked(const uint8_t* pixels, std::size_t stride, const BmpHeader& h,
                  const KnownMasks& masks, Rows* out)
{
    const int w = h.width;
    const bool wide = h.bitsPerPixel == 32;
    const bool split = !wide && masks.red == red5Green6Blue5.red &&
                       masks.green == red5Green6Blue5.green && masks.blue == red5Green6Blue5.blue;
    const Channel red(masks.red);
    const Channel green(masks.green);
    const Channel blue(masks.blue);
    static const Split565 halves;
    for (int y = 0; y < h.rows; ++y) {
        const uint8_t* in = rowData(pixels, stride, h, y);
        uint32_t* o = out->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        if (split) {
            for (int x = 0; x < w; ++x, in += 2) {
                o[x] = halves.low[in[0]] + halves.high[in[1]];
            }
        } else if (wide && masks.red == 0x00FF0000 && masks.green == 0x0000FF00 &&
                   masks.blue == 0x000000FF) {
            for (int x = 0; x < w; ++x, in += 4) {
                o[x] = read32(in) & 0x00FFFFFF;
            }
        } else {
            const std::size_t step = wide ? 4 : 2;
            for (int x = 0; x < w; ++x, in += step) {
                const uint32_t v = wide ? read32(in) : read16(in);
                o[x] = red.of(v) << 16 | green.of(v) << 8 | blue.of(v);
            }
        }
    }
}

// Run-length data, stored bottom row first: runs of one index (4-bit runs alternate two), runs
// of literal indices padded to whole 16-bit words, end of row, end of picture, and moves right
// and up. A pixel no run reaches keeps palette colour 0. Refused when a run leaves its row or the
// picture, or when the data ends before the end of the picture.
bool decodeRunLengths(const uint8_t* at, const uint8_t* end, const BmpHeader& h,
                      const Palette& palette, Rows* out)
{
    const bool fourBit = h.compression == compressionRle4;
    const int64_t w = h.width;
    int64_t x = 0;
    int64_t y = 0; // counted from the bottom row
    auto row = [&]() { return out->data() + static_cast<std::size_t>((h.rows - 1 - y) * w); };
    while (end - at >= 2) {
        const uint32_t count = at[0];
        const uint32_t value = at[1];
        at += 2;
        if (count > 0) {
            if (y >= h.rows || x + count > w) {
                return false;
            }
            uint32_t* o = row() + x;
            const uint32_t first = palette[fourBit ? value >> 4 : value];
            const uint32_t second = palette[fourBit ? value & 15 : value];
            for (uint32_t i = 0; i < count; ++i) {
                o[i] = i % 2 == 0 ? first : second;
            }
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (end - at < 2) {
                return false;
            }
            x += at[0];
            y += at[1];
            at += 2;
        } else {
            const std::size_t bytes = fourBit ? (value + 1) / 2 : value;
            const std::size_t padded = bytes + (bytes & 1);
            if (static_cast<std::size_t>(end - at) < padded || y >= h.rows || x + value > w) {
                return false;
            }
            uint32_t* o = row() + x;
            for (uint32_t i = 0; i < value; ++i) {
                const uint32_t index =
                    fourBit ? (i % 2 == 0 ? at[i / 2] >> 4 : at[i / 2] & 15) : at[i];
                o[i] = palette[index];
            }
            x += value;
            at += padded;
        }
    }
    return false;
}

} // namespace

PictureRead decodeWellFormedBmp(const uint8_t* data, std::size_t size, PicturePixels* picture)
{
    BmpHeader h;
    if (!readHeader(data, size, &h) || h.pixelOffset >= size) {
        return PictureRead::Unreadable;
    }
    Palette palette;
    if (h.bitsPerPixel <= 8 && !readPalette(data, size, h, &palette)) {
        return PictureRead::Unreadable;
    }
    KnownMasks masks{};
    if ((h.bitsPerPixel == 16 || h.bitsPerPixel == 32) && !pixelMasks(h, &masks)) {
        return PictureRead::Unreadable;
    }
    const uint8_t* pixels = data + h.pixelOffset;
    const std::size_t available = size - h.pixelOffset;
    const std::size_t pixelCount =
        static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.rows);
    Rows out;
    if (h.compression == compressionRle8 || h.compression == compressionRle4) {
        out.assign(pixelCount, palette[0]);
        if (!decodeRunLengths(pixels, pixels + available, h, palette, &out)) {
            return PictureRead::Unreadable;
        }
    } else {
        const std::size_t stride =
            (static_cast<std::size_t>(h.width) * h.bitsPerPixel + 31) / 32 * 4;
        if (available / stride < static_cast<std::size_t>(h.rows)) {
            return PictureRead::Unreadable;
        }
        out.resize(pixelCount);
        if (h.bitsPerPixel <= 8) {
            decodeIndexed(pixels, stride, h, palette, &out);
        } else if (h.bitsPerPixel == 24) {
            decode24(pixels, stride, h, &out);
        } else {
            decodeMasked(pixels, stride, h, masks, &out);
        }
    }
    picture->width = h.width;
    picture->height = h.rows;
    picture->pixels = std::move(out);
    return PictureRead::Loaded;
}
