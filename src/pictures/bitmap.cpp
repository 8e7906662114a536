// Loading pictures with colour-key transparency, and Sprites with their halved reductions.
#include "pictures/bitmap.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "core/errors.h"
#include "pictures/picture_file.h"
#include "platform/window.h"

namespace {

PictureCounts counts;

// The pixels of all Bitmaps alive at one time may not pass this budget: every picture the game
// ships, painted at drawing scale 4 and loaded together, is some 21.7 million pixels, and the
// halved reductions of the sprites add at most a third of theirs. Twice as many would be needed
// only by pictures that are not the game's, and at 9 bytes a pixel the budget keeps them to some
// 300 MB instead of whatever a set of small run-length files can claim.
constexpr std::size_t pixelBudget = std::size_t{1} << 25;
std::size_t livePixels = 0;

constexpr uint32_t colourBits = 0x00FFFFFFu;
constexpr uint32_t opaqueBits = 0xFF000000u;
constexpr uint32_t white = 0x00FFFFFFu;

Bitmap* newEmptyBitmap()
{
    auto* bitmap = new Bitmap{};
    ++counts.bitmaps;
    return bitmap;
}

// The description of a picture of width x height of its own pixels, painted at `scale`.
void describe(Bitmap* bitmap, int width, int height, int scale)
{
    bitmap->scale = scale;
    bitmap->info.type = 0;
    bitmap->info.width = width / scale;
    bitmap->info.height = height / scale;
    bitmap->info.widthBytes = width * 4;
    bitmap->info.planes = 1;
    bitmap->info.bitsPixel = 32;
}

// Gives a colour-keyed Bitmap its mask and whitens its picture where it is transparent: the key
// is the colour of the bottom-right pixel, and every pixel of that colour is transparent.
void buildMask(Bitmap* bitmap)
{
    Surface& picture = *bitmap->picture;
    std::vector<uint8_t> bits(picture.pixels.size());
    const uint32_t key = picture.pixels.back();
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const bool opaque = picture.pixels[i] != key;
        bits[i] = opaque ? 1 : 0;
        if (!opaque) {
            picture.pixels[i] = white;
        }
    }
    bitmap->mask = std::make_unique<Mask>(Mask{picture.width, picture.height, std::move(bits)});
}

// The picture surface of a Bitmap: its pixels' colours without the top byte.
std::unique_ptr<Surface> pictureFrom(const std::vector<uint32_t>& pixels, int width, int height)
{
    std::vector<uint32_t> colours(pixels.size());
    std::transform(pixels.begin(), pixels.end(), colours.begin(),
                   [](uint32_t p) { return p & colourBits; });
    return std::make_unique<Surface>(Surface{width, height, std::move(colours)});
}

// The number of times n can be halved before it reaches 0.
uint32_t bitLength(uint32_t n)
{
    uint32_t length = 0;
    for (; n != 0; n >>= 1) {
        ++length;
    }
    return length;
}

// Reduction `level` of a loaded picture: nearest-pixel samples of level 0, keyed on its colour.
Bitmap* reduceLevel(const Bitmap& full, int width, int height, uint32_t level)
{
    const int w = std::max(width >> level, 1);
    const int h = std::max(height >> level, 1);
    const double sx = static_cast<double>(width) / w;
    const double sy = static_cast<double>(height) / h;
    std::vector<int> columns(static_cast<std::size_t>(w));
    for (int c = 0; c < w; ++c) {
        columns[static_cast<std::size_t>(c)] = std::min(static_cast<int>(c * sx), width - 1);
    }
    std::vector<uint32_t> reduced(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    uint32_t* out = reduced.data();
    for (int r = 0; r < h; ++r) {
        const int row = std::min(static_cast<int>(r * sy), height - 1);
        const uint32_t* in =
            full.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        for (int c = 0; c < w; ++c) {
            *out++ = in[columns[static_cast<std::size_t>(c)]] & colourBits;
        }
    }
    reduced.back() = full.pixels.back() & colourBits;
    return bitmapFromPixels(reduced.data(), w, h);
}

// Reads the picture at `path` painted for drawing scale `scale` into `decoded` and returns the
// scale it was painted at, or 0 when it is missing or unreadable. The scaled file is taken only
// when the scale-1 picture is readable and the scaled one is exactly `scale` times its size, so
// that every size the race takes from a picture is the same at every scale; otherwise the scale-1
// file is read. Each file is read once; the platform's last error is the last decoder's own.
int readPictureAtScale(const char* path, int scale, PicturePixels* decoded)
{
    const auto decode = [decoded](const std::string& file) {
        clearLastPlatformError();
        return readPictureFile(file, decoded) == PictureRead::Loaded;
    };
    const ScaledPictureFile found = findScaledPictureFile(path, scale);
    if (found.scale == 1) {
        return !found.path.empty() && decode(found.path) ? 1 : 0;
    }
    const std::string scaleOne = findPictureFile(path);
    int w1 = 0;
    int h1 = 0;
    if (readPictureSize(scaleOne, &w1, &h1) && decode(found.path) &&
        static_cast<int64_t>(w1) * found.scale == decoded->width &&
        static_cast<int64_t>(h1) * found.scale == decoded->height) {
        return found.scale;
    }
    *decoded = PicturePixels{};
    return !scaleOne.empty() && decode(scaleOne) ? 1 : 0;
}

// Gives the Sprite its levels: `full` as level 0 and its halved reductions, made from the
// picture's own pixels.
void makeLevels(Sprite* sprite, Bitmap* full)
{
    const int width = full->picture->width;
    const int height = full->picture->height;
    const uint32_t levelCount = bitLength(static_cast<uint32_t>(std::max(width, height)));
    sprite->levels = allocateOrFatal(__LINE__, "Not enough memory to hold bitmap!", [&] {
        auto** levels = new Bitmap*[levelCount]();
        levels[0] = full;
        for (uint32_t i = 1; i < levelCount; ++i) {
            levels[i] = reduceLevel(*full, width, height, i);
        }
        return levels;
    });
    sprite->levelCount = levelCount;
}

// Frees every level but the first, and the level array.
void freeReductions(Sprite* sprite)
{
    for (uint32_t i = 1; i < sprite->levelCount; ++i) {
        if (sprite->levels[i] != nullptr) {
            freeBitmap(sprite->levels[i]);
        }
    }
    delete[] sprite->levels;
    sprite->levels = nullptr;
}

void clearSprite(Sprite* sprite)
{
    sprite->loaded = 0;
    sprite->width = 0;
    sprite->height = 0;
    sprite->levelCount = 0;
    sprite->levels = nullptr;
}

} // namespace

Bitmap* loadBitmap(Window* window, const char* path, uint8_t transparent)
{
    return allocateOrFatal(__LINE__, "Cannot allocate enough memory for bitmap!", [&] {
        Bitmap* bitmap = newEmptyBitmap();
        if (path == nullptr) {
            return bitmap;
        }
        // What is reported after decoding is the decoder's own error, never an earlier one.
        PicturePixels decoded;
        const int scale =
            readPictureAtScale(path, window != nullptr ? window->drawingScale : 1, &decoded);
        if (scale == 0 || livePixels + decoded.pixels.size() > pixelBudget) {
            return bitmap;
        }
        livePixels += decoded.pixels.size();
        describe(bitmap, decoded.width, decoded.height, scale);
        bitmap->gamePath = path;
        bitmap->transparent = transparent;
        bitmap->loadedFor = window != nullptr ? window->drawingScale : 1;
        reportLastError(window, path);
        bitmap->picture = pictureFrom(decoded.pixels, decoded.width, decoded.height);
        bitmap->pixels = std::move(decoded.pixels);
        if (transparent == 0) {
            for (uint32_t& p : bitmap->pixels) {
                p |= opaqueBits;
            }
            return bitmap;
        }
        const uint32_t key = bitmap->pixels.back();
        for (uint32_t& p : bitmap->pixels) {
            p = p == key ? (p & colourBits) : (p | opaqueBits);
        }
        buildMask(bitmap);
        return bitmap;
    });
}

Bitmap* bitmapFromPixels(const uint32_t* pixels, int width, int height)
{
    return allocateOrFatal(__LINE__, "Not enough memory to hold bitmap!", [&] {
        Bitmap* bitmap = newEmptyBitmap();
        if (pixels == nullptr || width < 1 || height < 1) {
            return bitmap;
        }
        describe(bitmap, width, height, 1);
        livePixels += static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        bitmap->pixels.assign(pixels, pixels + static_cast<std::size_t>(width) *
                                                   static_cast<std::size_t>(height));
        bitmap->info.bits = bitmap->pixels.data();
        bitmap->picture = pictureFrom(bitmap->pixels, width, height);
        buildMask(bitmap);
        return bitmap;
    });
}

Bitmap* cutBitmapColumns(const Bitmap& from, int x, int w)
{
    return allocateOrFatal(__LINE__, "Not enough memory to hold bitmap!", [&] {
        Bitmap* cut = newEmptyBitmap();
        if (from.picture == nullptr || x < 0 || w < 1 || x > from.info.width - w) {
            return cut;
        }
        const int s = from.scale;
        const auto first = static_cast<std::size_t>(x) * static_cast<std::size_t>(s);
        const auto width = static_cast<std::size_t>(w) * static_cast<std::size_t>(s);
        const auto fullWidth = static_cast<std::size_t>(from.picture->width);
        const auto height = static_cast<std::size_t>(from.picture->height);
        if (from.pixels.size() != fullWidth * height || livePixels + width * height > pixelBudget) {
            return cut;
        }
        // Every row of the source's array of `fullWidth` columns gives its [first, first + width).
        const auto columnsOf = [&](const auto& source, auto& out) {
            out.resize(width * height);
            for (std::size_t row = 0; row < height; ++row) {
                const auto in =
                    source.begin() + static_cast<std::ptrdiff_t>(row * fullWidth + first);
                std::copy(in, in + static_cast<std::ptrdiff_t>(width),
                          out.begin() + static_cast<std::ptrdiff_t>(row * width));
            }
        };
        livePixels += width * height;
        describe(cut, static_cast<int>(width), static_cast<int>(height), s);
        cut->transparent = from.transparent;
        cut->loadedFor = from.loadedFor;
        columnsOf(from.pixels, cut->pixels);
        cut->picture = std::make_unique<Surface>();
        cut->picture->width = static_cast<int>(width);
        cut->picture->height = static_cast<int>(height);
        columnsOf(from.picture->pixels, cut->picture->pixels);
        if (from.mask != nullptr) {
            cut->mask = std::make_unique<Mask>();
            cut->mask->width = cut->picture->width;
            cut->mask->height = cut->picture->height;
            columnsOf(from.mask->bits, cut->mask->bits);
        }
        return cut;
    });
}

void freeBitmap(Bitmap* bitmap)
{
    livePixels -= bitmap->pixels.size();
    delete bitmap;
    --counts.bitmaps;
}

Sprite* loadSprite(Window* window, const char* path, Sprite* sprite)
{
    clearSprite(sprite);
    if (path == nullptr || window == nullptr) {
        return sprite;
    }
    Bitmap* full = loadBitmap(window, path, 1);
    if (full->info.width <= 0 || full->info.height <= 0) {
        freeBitmap(full);
        return sprite;
    }
    makeLevels(sprite, full);
    sprite->loaded = 1;
    sprite->width = full->info.width;
    sprite->height = full->info.height;
    ++counts.spriteLevels;
    return sprite;
}

void followDrawingScale(Window* window, Bitmap* bitmap)
{
    if (window == nullptr || bitmap == nullptr || bitmap->gamePath.empty() ||
        bitmap->loadedFor == window->drawingScale) {
        return;
    }
    bitmap->loadedFor = window->drawingScale;
    Bitmap* fresh = loadBitmap(window, bitmap->gamePath.c_str(), bitmap->transparent);
    if (fresh->info.width == bitmap->info.width && fresh->info.height == bitmap->info.height) {
        std::swap(*bitmap, *fresh);
    }
    freeBitmap(fresh);
}

void followDrawingScale(Window* window, Sprite* sprite)
{
    if (window == nullptr || sprite == nullptr || !sprite->loaded) {
        return;
    }
    Bitmap* full = sprite->levels[0];
    const int scaleBefore = full->scale;
    followDrawingScale(window, full);
    if (full->scale == scaleBefore) {
        return;
    }
    freeReductions(sprite);
    makeLevels(sprite, full);
}

void freeSprite(Sprite* sprite)
{
    if (!sprite->loaded) {
        return;
    }
    Bitmap* full = sprite->levels[0];
    freeReductions(sprite);
    freeBitmap(full);
    clearSprite(sprite);
    --counts.spriteLevels;
}

PictureCounts livePictureCounts() { return counts; }

void countFontMade() { ++counts.fonts; }

void countFontFreed() { --counts.fonts; }
