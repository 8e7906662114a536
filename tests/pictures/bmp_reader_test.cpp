// Our BMP reader against the desktop library's reader (followed by its conversion to 32-bit
// pixels), which the game read its pictures with before it had its own: every depth, header,
// compression, palette length, colour mask and row order the check lets through, the game's own
// pictures, the fuzzer's corpus and damaged copies must come out of both the same: refused by
// both, or loaded by both with the same pixels.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pictures/bmp_reader.h"
#include "pictures/picture_file.h"
#include "test_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Masks = std::array<uint32_t, 4>; // red, green, blue, alpha

PictureRead readWithDesktopLibrary(const Bytes& bytes, PicturePixels* picture)
{
    SDL_Surface* loaded =
        SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    SDL_Surface* converted =
        loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (converted == nullptr) {
        return PictureRead::Unreadable;
    }
    *picture = {converted->w, converted->h, {}};
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch;
        for (int x = 0; x < converted->w; ++x) {
            picture->pixels.push_back(reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF);
        }
    }
    SDL_FreeSurface(converted);
    return PictureRead::Loaded;
}

// Reads `bytes` as the picture loader does (its check, then our reader) and with the desktop
// library's reader once the check has accepted them, and expects the same outcome; on a
// difference the file is kept in the test's folder.
PictureRead expectSameAsDesktopLibrary(const Bytes& bytes, const std::string& name)
{
    PicturePixels ours;
    PicturePixels theirs;
    const PictureRead ourRead = readPictureBytes(bytes.data(), bytes.size(), &ours);
    const PictureRead theirRead = bmpFileIsWellFormed(bytes.data(), bytes.size())
                                      ? readWithDesktopLibrary(bytes, &theirs)
                                      : PictureRead::Unreadable;
    std::string difference;
    if (ourRead != theirRead) {
        difference = ourRead == PictureRead::Loaded ? "only we load it" : "only it loads";
    } else if (ours.width != theirs.width || ours.height != theirs.height) {
        difference = "the sizes differ";
    } else {
        const auto [a, b] = std::mismatch(ours.pixels.begin(), ours.pixels.end(),
                                          theirs.pixels.begin(), theirs.pixels.end());
        if (a != ours.pixels.end()) {
            char text[80];
            const auto at = static_cast<int>(a - ours.pixels.begin());
            std::snprintf(text, sizeof text, "pixel (%d, %d) is 0x%06X, expected 0x%06X",
                          at % ours.width, at / ours.width, *a, *b);
            difference = text;
        }
    }
    if (!difference.empty()) {
        static int kept = 0;
        const std::string path = testFolder() + "differing_" + std::to_string(++kept) + ".bmp";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        ADD_FAILURE() << name << ": " << difference << " (file kept as " << path << ")";
    }
    return ourRead;
}

void put(Bytes* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A BMP file written out exactly as described, however odd.
struct BmpFields {
    uint32_t header = 40; // 12 (OS/2), 40, 52, 56, 108 or 124 bytes
    int width = 1;
    int height = 1; // negative for top row first
    uint32_t bits = 24;
    uint32_t compression = 0; // 0 none, 1 and 2 run-length 8 and 4 bits, 3 colour masks
    uint32_t coloursUsed = 0;
    Masks masks{}; // after a 40-byte header with colour masks; in longer headers always
    std::vector<uint32_t> palette{};
    Bytes pixels{};

    std::size_t rowBytes() const { return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4; }
    Bytes file() const
    {
        Bytes info;
        const int sizeBytes = header == 12 ? 2 : 4;
        put(&info, header, 4);
        put(&info, static_cast<uint32_t>(width), sizeBytes);
        put(&info, static_cast<uint32_t>(height), sizeBytes);
        put(&info, 1, 2);
        put(&info, bits, 2);
        if (header > 12) {
            for (uint32_t field :
                 {compression, uint32_t(pixels.size()), 2835u, 2835u, coloursUsed, 0u}) {
                put(&info, field, 4);
            }
            const int maskCount = header == 40 ? (compression == 3 ? 3 : 0) : header == 52 ? 3 : 4;
            for (int i = 0; i < maskCount; ++i) {
                put(&info, masks[static_cast<std::size_t>(i)], 4);
            }
            info.resize(std::max<std::size_t>(info.size(), header), 0x5A);
        }
        for (uint32_t colour : palette) {
            put(&info, colour, header == 12 ? 3 : 4);
        }
        Bytes out{'B', 'M'};
        put(&out, static_cast<uint32_t>(14 + info.size() + pixels.size()), 4);
        put(&out, 0, 4);
        put(&out, static_cast<uint32_t>(14 + info.size()), 4);
        out.insert(out.end(), info.begin(), info.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

struct Random {
    std::mt19937 engine;
    uint32_t operator()(uint32_t below) { return static_cast<uint32_t>(engine() % below); }
    Masks masks() { return {(*this)(~0u), (*this)(~0u), (*this)(~0u), (*this)(~0u)}; }
};

// Uncompressed rows of random bytes, each paletted pixel's index below `colours`.
Bytes randomFile(Random& random, BmpFields p, uint32_t colours = 0)
{
    for (uint32_t i = 0; i < colours; ++i) {
        p.palette.push_back(random(1u << 24));
    }
    p.pixels.resize(p.rowBytes() * static_cast<std::size_t>(std::abs(p.height)));
    for (std::size_t i = 0; i < p.pixels.size(); ++i) {
        p.pixels[i] = static_cast<uint8_t>(random(256));
        for (uint32_t bit = 0; colours != 0 && bit < 8; bit += p.bits) {
            const uint32_t mask = ((1u << p.bits) - 1) << bit;
            p.pixels[i] = static_cast<uint8_t>((p.pixels[i] & ~mask) | random(colours) << bit);
        }
    }
    return p.file();
}

// Run-length data that stays inside the picture: runs of one index, literal runs, ends of rows
// and moves, ended by the end-of-picture code, now and then early.
Bytes runLengthFile(Random& random, uint32_t header, bool fourBit, uint32_t colours)
{
    BmpFields p{header,
                1 + static_cast<int>(random(40)),
                1 + static_cast<int>(random(20)),
                fourBit ? 4u : 8u,
                fourBit ? 2u : 1u,
                colours == (fourBit ? 16u : 256u) ? 0 : colours};
    for (uint32_t i = 0; i < colours; ++i) {
        p.palette.push_back(random(1u << 24));
    }
    auto indices = [&] {
        return static_cast<uint8_t>(fourBit ? random(colours) << 4 | random(colours)
                                            : random(colours));
    };
    int x = 0;
    int y = 0;
    while (y < p.height && random(40) != 0) {
        const uint32_t room = static_cast<uint32_t>(std::min(p.width - x, 255));
        const uint32_t choice = random(10);
        if (choice < 4 && room > 0) {
            const uint32_t count = 1 + random(room);
            p.pixels.insert(p.pixels.end(), {static_cast<uint8_t>(count), indices()});
            x += static_cast<int>(count);
        } else if (choice < 7 && room >= 3) {
            const uint32_t count = 3 + random(room - 2);
            p.pixels.insert(p.pixels.end(), {0, static_cast<uint8_t>(count)});
            const uint32_t bytes = fourBit ? (count + 1) / 2 : count;
            for (uint32_t i = 0; i < bytes + bytes % 2; ++i) {
                p.pixels.push_back(indices());
            }
            x += static_cast<int>(count);
        } else if (choice < 8) {
            const auto right = static_cast<uint8_t>(random(static_cast<uint32_t>(p.width - x) + 1));
            const auto up =
                static_cast<uint8_t>(random(3) % static_cast<uint32_t>(p.height - y + 1));
            p.pixels.insert(p.pixels.end(), {0, 2, right, up});
            x += right;
            y += up;
        } else {
            p.pixels.insert(p.pixels.end(), {0, 0});
            x = 0;
            ++y;
        }
    }
    p.pixels.insert(p.pixels.end(), {0, 1});
    return p.file();
}

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

constexpr uint32_t allHeaders[] = {12, 40, 52, 56, 108, 124};
constexpr uint32_t windowsHeaders[] = {40, 52, 56, 108, 124};

} // namespace

TEST(BmpReader, EveryDepthHeaderPaletteAndRowOrderGivesTheDesktopLibrarysPixels)
{
    Random random{std::mt19937(1)};
    for (uint32_t header : allHeaders) {
        for (uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
            const uint32_t most = bits <= 8 ? 1u << bits : 0;
            for (uint32_t colours : {most, 1u, most - 1}) {
                for (int width : {1, 2, 7, 13, 33}) {
                    // The OS/2 header has neither a colour count nor top-down rows.
                    const bool topDown = header != 12 && width % 2 == 1;
                    if ((header == 12 || most == 0) && colours != most) {
                        continue;
                    }
                    const BmpFields fields{header,        width, topDown ? -5 : 5,
                                           bits,          0,     colours == most ? 0 : colours,
                                           random.masks()};
                    const std::string name = "header " + std::to_string(header) + ", " +
                                             std::to_string(bits) + " bits, " +
                                             std::to_string(colours) + " colours, width " +
                                             std::to_string(width);
                    EXPECT_EQ(expectSameAsDesktopLibrary(randomFile(random, fields, colours), name),
                              PictureRead::Loaded)
                        << name;
                }
            }
        }
    }
}

TEST(BmpReader, RunLengthFilesGiveTheDesktopLibrarysPixels)
{
    Random random{std::mt19937(2)};
    for (uint32_t header : windowsHeaders) {
        for (bool fourBit : {false, true}) {
            for (int i = 0; i < 40; ++i) {
                const uint32_t most = fourBit ? 16 : 256;
                const uint32_t colours = i % 2 == 0 ? most : 1 + random(most);
                const std::string name = "header " + std::to_string(header) +
                                         (fourBit ? ", 4" : ", 8") + "-bit runs, file " +
                                         std::to_string(i);
                EXPECT_EQ(expectSameAsDesktopLibrary(
                              runLengthFile(random, header, fourBit, colours), name),
                          PictureRead::Loaded)
                    << name;
            }
        }
    }
}

TEST(BmpReader, ColourMasksAreReadAsTheDesktopLibraryReadThemForEveryValue)
{
    // Each list: the masks the desktop library knew; those it read as 5-6-5 (16 bits, the last
    // with red and blue swapped) or 8-8-8 (32 bits) whatever the other masks say; 10 bits a
    // channel, of which the top 8 count; masks it refused.
    const std::vector<Masks> masks16 = {
        {0x7C00, 0x03E0, 0x001F, 0},      {0x001F, 0x03E0, 0x7C00, 0},
        {0xF800, 0x07E0, 0x001F, 0},      {0x001F, 0x07E0, 0xF800, 0},
        {0x0F00, 0x00F0, 0x000F, 0xF000}, {0xF000, 0x0F00, 0x00F0, 0x000F},
        {0x000F, 0x00F0, 0x0F00, 0xF000}, {0x00F0, 0x0F00, 0xF000, 0x000F},
        {0x7C00, 0x03E0, 0x001F, 0x8000}, {0xF800, 0x07C0, 0x003E, 0x0001},
        {0x001F, 0x03E0, 0x7C00, 0x8000}, {0x003E, 0x07C0, 0xF800, 0x0001},
        {0, 0x001F, 0x7C00, 0},           {0, 0, 0, 0},
        {0x003F, 0x07C0, 0xF800, 0},      {0x0F00, 0x00F0, 0x000F, 0},
        {0x7C00, 0x03E0, 0x001F, 1},      {0x00FF, 0x0F00, 0xF000, 0}};
    const std::vector<Masks> masks32 = {{0xFF0000, 0xFF00, 0xFF, 0},
                                        {0xFF000000, 0xFF0000, 0xFF00, 0},
                                        {0xFF, 0xFF00, 0xFF0000, 0},
                                        {0xFF00, 0xFF0000, 0xFF000000, 0},
                                        {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                        {0xFF000000, 0xFF0000, 0xFF00, 0xFF},
                                        {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
                                        {0xFF00, 0xFF0000, 0xFF000000, 0xFF},
                                        {0, 0xFF, 0xFF00, 0},
                                        {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
                                        {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
                                        {0xFF0000, 0xFF00, 0xFF, 0x1000000},
                                        {0xFF0000, 0xFF00, 0x0F, 0}};
    Random random{std::mt19937(3)};
    int i = 0;
    int loaded = 0;
    for (uint32_t bits : {16u, 32u}) {
        for (const Masks& masks : bits == 16 ? masks16 : masks32) {
            // Masks count after a 40-byte header and inside longer ones, an alpha mask only from
            // 56 bytes on.
            for (uint32_t header : windowsHeaders) {
                const bool topDown = i++ % 3 == 0;
                BmpFields fields{header, 256, topDown ? -256 : 256, bits, 3, 0, masks};
                for (uint32_t v = 0; v < 65536; ++v) {
                    // Every 16-bit value once, scrambled; 32-bit values at random.
                    put(&fields.pixels, bits == 16 ? v * 40503u & 0xFFFF : random(~0u), bits / 8);
                }
                char name[80];
                std::snprintf(name, sizeof name, "header %u, masks %X %X %X %X", header, masks[0],
                              masks[1], masks[2], masks[3]);
                loaded += expectSameAsDesktopLibrary(fields.file(), name) == PictureRead::Loaded;
            }
        }
    }
    EXPECT_GT(loaded, 100);
    EXPECT_LT(loaded, 5 * static_cast<int>(masks16.size() + masks32.size()));
}

TEST(BmpReader, DamagedFilesAreRefusedOrReadAsTheDesktopLibraryReadThem)
{
    Random random{std::mt19937(4)};
    std::vector<Bytes> sound{randomFile(random, {12, 17, 4, 1}, 2)};
    for (uint32_t header : windowsHeaders) {
        sound.push_back(randomFile(random, {header, 9, 6, 4, 0, 11}, 11));
        sound.push_back(randomFile(random, {header, 5, -3, 8}, 256));
        sound.push_back(runLengthFile(random, header, true, 16));
        sound.push_back(runLengthFile(random, header, false, 200));
        sound.push_back(randomFile(random, {header, 5, 3, 16, 3, 0, {0xF800, 0x07E0, 0x1F, 0}}));
        sound.push_back(randomFile(random, {header, 3, -3, 32}));
    }
    int loaded = 0;
    for (std::size_t f = 0; f < sound.size(); ++f) {
        for (int m = 0; m < 300; ++m) {
            Bytes damaged = sound[f];
            const uint32_t changes = 1 + random(3);
            for (uint32_t c = 0; c < changes; ++c) {
                // Most changes land in the headers and the palette, where they matter most.
                const std::size_t reach = random(4) == 0 ? damaged.size() : 80;
                damaged[random(static_cast<uint32_t>(std::min(reach, damaged.size())))] =
                    static_cast<uint8_t>(random(256));
            }
            if (random(8) == 0) {
                damaged.resize(random(static_cast<uint32_t>(damaged.size())));
            }
            const std::string name = "file " + std::to_string(f) + ", damage " + std::to_string(m);
            loaded += expectSameAsDesktopLibrary(damaged, name) == PictureRead::Loaded;
            // The reader on its own, with no check before it, stays inside the bytes it is given
            // (a sanitized build sees a read past this copy of exactly their size).
            const std::unique_ptr<uint8_t[]> exact(
                new uint8_t[std::max<std::size_t>(damaged.size(), 1)]);
            std::copy(damaged.begin(), damaged.end(), exact.get());
            PicturePixels ignored;
            decodeWellFormedBmp(exact.get(), damaged.size(), &ignored);
        }
    }
    EXPECT_GT(loaded, 2000);
    EXPECT_LT(loaded, 8000);
}

TEST(BmpReader, GamePicturesAndFuzzCorpusGiveTheDesktopLibrarysResults)
{
    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> folders{"gfx"};
    if (const char* build = std::getenv("VANTOR_BUILD_DIR")) {
        for (const char* scaled : {"gfx-2x", "gfx-3x", "gfx-4x"}) {
            if (std::filesystem::is_directory(std::filesystem::path(build) / scaled)) {
                folders.push_back(std::filesystem::path(build) / scaled);
            }
        }
    }
    for (const std::filesystem::path& folder : folders) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().extension() == ".bmp") {
                files.push_back(entry.path());
            }
        }
    }
    for (const std::filesystem::path& file : files) {
        EXPECT_EQ(expectSameAsDesktopLibrary(readFile(file), file.string()), PictureRead::Loaded);
    }
    EXPECT_GE(files.size(), 50u) << "the game's pictures are found from the source folder";
    int corpus = 0;
    for (const auto& entry : std::filesystem::directory_iterator("fuzz/corpus/picture")) {
        expectSameAsDesktopLibrary(readFile(entry.path()), entry.path().string());
        ++corpus;
    }
    EXPECT_GE(corpus, 100);
}
