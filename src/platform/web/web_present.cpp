// The web backend's picture: the back buffer on the page's canvas, placed in the game area with
// its shape kept; the drawing scale the area asks for, with the picture packs it needs; the
// pictures the player downloads (F12); and the wait for the display's next frame.
#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <wasm_simd128.h>


#include "core/errors.h"
#include "gfx/surface.h"
#include "platform/picture_fit.h"
#include "platform/window.h"

namespace {

// clang-format off
// Whether the pictures of drawing scale `scale` are in the file system; with `fetch`, starts
// fetching their pack when it is neither here nor on its way (web_page.js).
EM_JS(int, picturesOfScaleHere, (int scale, int fetch), {
    return Module.vantorPictures.here(scale, fetch != 0) ? 1 : 0;
});

// Puts the picture (width x height pixels at `pixels`, bytes R, G, B, A) on the canvas and places
// the canvas in the game area: top-left corner (x, y), size w x h, in device pixels; `smooth`
// false keeps the pixels of a whole enlargement sharp.
EM_JS(void, showOnCanvas,
      (const uint32_t* pixels, int width, int height, int x, int y, int w, int h, int smooth), {
    const page = Module.vantorPage;
    const canvas = page.canvas;
    if (canvas.width != width || canvas.height != height) {
        canvas.width = width;
        canvas.height = height;
    }
    // The picture's pixels seen in place, made again only when they move or the memory grows.
    const image = page.image;
    if (!image || image.data.buffer != HEAPU8.buffer || image.data.byteOffset != pixels ||
        image.width != width || image.height != height) {
        const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
        page.image = new ImageData(bytes, width, height);
    }
    page.context.putImageData(page.image, 0, 0);
    const ratio = window.devicePixelRatio || 1;
    const place = [x, y, w, h, smooth, ratio].join();
    if (canvas.dataset.place != place) {
        canvas.dataset.place = place;
        canvas.style.left = (x / ratio) + 'px';
        canvas.style.top = (y / ratio) + 'px';
        canvas.style.width = (w / ratio) + 'px';
        canvas.style.height = (h / ratio) + 'px';
        canvas.style.imageRendering = smooth ? 'auto' : 'pixelated';
    }
});

// Downloads what the canvas shows as a PNG file named as the desktop names the pictures it keeps:
// "vantor-YYYY-MM-DD_HH-MM-SS.png", local time.
EM_JS(void, downloadCanvasPicture, (), {
    const now = new Date();
    const two = (n) => String(n).padStart(2, '0');
    const name = 'vantor-' + now.getFullYear() + '-' + two(now.getMonth() + 1) + '-' +
                 two(now.getDate()) + '_' + two(now.getHours()) + '-' + two(now.getMinutes()) +
                 '-' + two(now.getSeconds()) + '.png';
    Module.vantorPage.canvas.toBlob((blob) => {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(blob);
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
        console.log('Picture saved: ' + name);
    }, 'image/png');
});

// The page's own timing (web_page.js): a frame's work ends where its present begins.
EM_JS(void, frameWorkDone, (), { Module.vantorTiming.workDone(); });

// Hands control back to the browser until the display's next frame, then goes on where it
// stopped (Asyncify); the next frame's work starts there.
EM_JS(void, waitForNextFrame, (), {
    Asyncify.handleSleep((wakeUp) => requestAnimationFrame(() => {
        Module.vantorTiming.workStarts();
        wakeUp();
    }));
});
// clang-format on

// The back buffer's 0x00RRGGBB pixels as the canvas takes them: bytes R, G, B and an opaque A
// (four pixels at a time: their bytes B, G, R, 0 reordered, A set).
void toCanvasPixels(const uint32_t* from, uint32_t* to, size_t count)
{
    const v128_t opaque = wasm_i32x4_splat(static_cast<int32_t>(0xFF000000u));
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const v128_t pixels = wasm_v128_load(from + i);
        const v128_t reordered = wasm_i8x16_shuffle(pixels, pixels, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9,
                                                    8, 11, 14, 13, 12, 15);
        wasm_v128_store(to + i, wasm_v128_or(reordered, opaque));
    }
    for (; i < count; ++i) {
        const uint32_t pixel = from[i];
        to[i] = 0xFF000000u | ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
    }
}

} // namespace

int WebBackend::drawingScale()
{
    if (!open) {
        return 1;
    }
    const int wanted = drawingScaleFitting(page.areaWidth, page.areaHeight);
    // Until the wanted scale's pictures have arrived, the largest scale whose pictures are here.
    for (int scale = wanted; scale > 1; --scale) {
        if (picturesOfScaleHere(scale, scale == wanted ? 1 : 0)) {
            return scale;
        }
    }
    return 1;
}

int WebBackend::viewWidth()
{
    if (!open) {
        return screenWidth;
    }
    // The page's game area takes the wide view of its own shape.
    return screenWidthForShape(page.areaWidth, page.areaHeight);
}

bool WebBackend::present(const Surface& backBuffer)
{
    frameWorkDone();
    if (!open) {
        setLastPlatformError("present: no window is open");
        return false;
    }
    if (backBuffer.width > 0 && backBuffer.height > 0) {
        pictureW = backBuffer.width;
        pictureH = backBuffer.height;
        canvasPixels.resize(backBuffer.pixels.size());
        toCanvasPixels(backBuffer.pixels.data(), canvasPixels.data(), canvasPixels.size());
        const PictureFit fit =
            fitPicture(page.areaWidth, page.areaHeight, pictureW, pictureH, true);
        showOnCanvas(canvasPixels.data(), pictureW, pictureH, fit.rect.x, fit.rect.y, fit.rect.w,
                     fit.rect.h, fit.smooth ? 1 : 0);
        if (pictureWanted) {
            pictureWanted = false;
            downloadCanvasPicture();
        }
    }
    feedSound();
    waitForNextFrame();
    return true;
}
