// Running out of memory, provoked for real: this test program replaces the allocation functions so
// that a test can make one allocation fail. Wherever the game allocates, the failure ends the
// program with the fatal report naming what it was making.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#include "objects/game_object.h"
#include "pictures/bitmap.h"
#include "core/errors.h"
#include "platform/headless/headless_backend.h"
#include "platform/box/own_box.h"
#include "platform/window.h"
#include "track/track.h"
#include "track/track_generation.h"

namespace {

// The first allocation of at least this many bytes fails; 0 when none is to fail.
std::size_t failFromBytes = 0;

void* allocate(std::size_t size)
{
    if (failFromBytes != 0 && size >= failFromBytes) {
        failFromBytes = 0;
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

void* allocateOrThrow(std::size_t size)
{
    if (void* block = allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

TEST(OutOfMemory, EveryAllocationEndsTheProgramWithTheFatalReportOfWhatItMade)
{
    HeadlessBackend backend;
    Window window{};
    window.backend = &backend;
    showReportsIn(&window);
    create(&window);
    const std::vector<uint32_t> pixels(64 * 64, 0x123456u);

    struct Case {
        const char* text;
        std::size_t failFrom; // bytes of the allocation made to fail
        std::function<void()> allocateIt;
    };
    const Case cases[] = {
        {"Cannot create memory device bitmap", 640 * 480,
         [&] {
             Window another{};
             another.backend = &backend;
             create(&another);
         }},
        {"Cannot allocate enough memory for bitmap!", 1024,
         [&] { loadBitmap(&window, "gfx\\menu\\arrow.bmp", 1); }},
        {"Not enough memory to hold bitmap!", 64 * 64,
         [&] { bitmapFromPixels(pixels.data(), 64, 64); }},
        {"Out of memory while generating the track", 1000 * sizeof(TrackSegment*),
         [] { generateTrack(1000, 1.0f, 2.0f, 1.0f, 2.0f); }},
        {"Out of memory for a game object", 1,
         [] {
             newGameObject<Obj_OilSpill>(Vec3{0.0f, 0.0f, 0.0f}, nullptr);
         }},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                failFromBytes = c.failFrom;
                c.allocateIt();
            },
            testing::ExitedWithCode(1),
            std::string(
                "Fatal program error: Fatal program error in module '.*' at line [0-9]+: '") +
                c.text + "'")
            << c.text;
    }
    releaseWindow(&window);
}
