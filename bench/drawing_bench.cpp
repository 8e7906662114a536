// What drawing a race frame costs: a few hundred sprites of mixed sizes, clearing the back buffer,
// and one plain copy of the 640 x 480 back buffer as the floor.
#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/raster.h"
#include "pictures/bitmap.h"
#include "pictures/sprite_draw.h"
#include "platform/window.h"

namespace {

struct BenchWindow {
    Window window{};
    BenchWindow()
    {
        window.clientW = 640;
        window.clientH = 480;
        resizeSurface(&window.backBuffer, 640, 480);
    }
};

// A keyed w x h picture: a filled disc on the key colour, like a tree or a car.
Bitmap* discPicture(int w, int h)
{
    std::vector<uint32_t> pixels(static_cast<std::size_t>(w * h), 0xFF00FF);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = 2 * x - w;
            const int dy = 2 * y - h;
            if (dx * dx * h * h + dy * dy * w * w < w * w * h * h) {
                pixels[static_cast<std::size_t>(y * w + x)] = 0x208020u + static_cast<uint32_t>(x);
            }
        }
    }
    pixels.back() = 0xFF00FF;
    return bitmapFromPixels(pixels.data(), w, h);
}

// 300 sprites from 4 to 200 pixels wide, spread over the screen and partly clipped, as a race
// with many cars and trees in view draws them.
void BM_Draw300Sprites(benchmark::State& state)
{
    BenchWindow bench;
    Bitmap* pictures[3] = {discPicture(128, 128), discPicture(64, 48), discPicture(16, 16)};
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i) {
            const int size = 4 + (i * 37) % 197;
            const int x = (i * 131) % 700 - 40;
            const int y = (i * 71) % 500 - 20;
            drawBitmapScaled(&bench.window, pictures[i % 3], x, y, size, size * 3 / 4);
        }
        benchmark::ClobberMemory();
    }
    for (Bitmap* p : pictures) {
        freeBitmap(p);
    }
}
BENCHMARK(BM_Draw300Sprites)->Unit(benchmark::kMicrosecond);

void BM_ClearScreen(benchmark::State& state)
{
    BenchWindow bench;
    for (auto _ : state) {
        clearScreen(&bench.window);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearScreen)->Unit(benchmark::kMicrosecond);

// The floor: one plain copy of a 640 x 480 surface, as the sky is drawn every race frame.
void BM_CopyBackBuffer(benchmark::State& state)
{
    BenchWindow bench;
    Surface sky;
    resizeSurface(&sky, 640, 480);
    fillSurface(&sky, 0x6080C0);
    for (auto _ : state) {
        blit(&bench.window.backBuffer, 0, 0, sky, PixelRect{0, 0, 640, 480}, RasterOp::Copy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyBackBuffer)->Unit(benchmark::kMicrosecond);

// One road segment's five fills, sixty times: the filled shapes of a race frame.
void BM_RoadFills(benchmark::State& state)
{
    BenchWindow bench;
    for (auto _ : state) {
        for (int s = 0; s < 60; ++s) {
            const double farY = 240 + s * 4;
            const double nearY = farY + 4;
            const double spread = 20 + s * 10;
            drawRectangle(&bench.window.backBuffer, 0, farY - 1, 642, nearY, solidBrush(0xDDDDE5),
                          noPen());
            const PointF road[4] = {{320 - spread * 1.1, nearY},
                                    {320 + spread * 1.1, nearY},
                                    {320 + spread, farY - 1},
                                    {320 - spread, farY - 1}};
            fillPolygon(&bench.window.backBuffer, road, 4, solidBrush(0x333333));
            const PointF line[4] = {{320 - spread * 1.1, nearY},
                                    {310 - spread * 1.1, nearY},
                                    {310 - spread, farY - 1},
                                    {320 - spread, farY - 1}};
            fillPolygon(&bench.window.backBuffer, line, 4, solidBrush(0xCCCC40));
            fillPolygon(&bench.window.backBuffer, line, 4, solidBrush(0xCCCC40));
            const PointF dash[4] = {{318, nearY}, {322, nearY}, {321, farY - 1}, {319, farY - 1}};
            fillPolygon(&bench.window.backBuffer, dash, 4, solidBrush(0xCCCCCC));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RoadFills)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
