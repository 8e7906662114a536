// The software raster: fills, outlines, polygons, lines and copies on Surfaces, all clipped.
#include "gfx/raster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How far outside the surface shapes are clipped in floating point before their coordinates
// become integers: far enough that a clipped edge never moves a visible pixel centre.
constexpr double guardBand = 2.0;
// Polygon vertices beyond this magnitude cannot come from single-precision geometry; such a
// polygon draws nothing rather than overflowing the clipping arithmetic.
constexpr double largestVertex = 1e38;
constexpr int maxPolygonVertices = 8;

__extension__ typedef __int128 WideInt;

uint32_t* pixelRow(Surface* surface, int y)
{
    return surface->pixels.data() +
           static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->width);
}

// Surfaces this large (a back buffer from drawing scale 3 up) are far larger than the processor's
// caches: an unscaled copy into one writes past the cache rather than reading every line in only
// to overwrite it. (Fills are not streamed: the road drawn over a band of ground right after it
// finds the band's rows still in the cache.)
constexpr std::size_t streamingSurfacePixels = std::size_t{2} << 20;

bool streams(const Surface& surface) { return surface.pixels.size() >= streamingSurfacePixels; }

// Fills columns [x0, x1) of row y, both already inside the surface.
void fillSpan(Surface* surface, int y, int x0, int x1, uint32_t colour)
{
    if (x0 < x1) {
        uint32_t* row = pixelRow(surface, y);
        std::fill(row + x0, row + x1, colour);
    }
}

// The first pixel index whose centre (i + 0.5) is at or beyond the edge v, for an edge already
// clamped to the guard band.
int firstCentreFrom(double v) { return static_cast<int>(std::ceil(v - 0.5)); }

double clampToBand(double v, int size)
{
    return std::clamp(v, -guardBand, static_cast<double>(size) + guardBand);
}

// Draws the inclusive span [a, b] of row y in 64-bit coordinates, clipped.
void clippedHorizontal(Surface* surface, int64_t y, int64_t a, int64_t b, uint32_t colour)
{
    if (y < 0 || y >= surface->height) {
        return;
    }
    const int64_t x0 = std::max<int64_t>(std::min(a, b), 0);
    const int64_t x1 = std::min<int64_t>(std::max(a, b), surface->width - 1);
    if (x0 <= x1) {
        fillSpan(surface, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1) + 1,
                 colour);
    }
}

// Draws the inclusive column span [a, b] of column x in 64-bit coordinates, clipped.
void clippedVertical(Surface* surface, int64_t x, int64_t a, int64_t b, uint32_t colour)
{
    if (x < 0 || x >= surface->width) {
        return;
    }
    const int64_t y0 = std::max<int64_t>(std::min(a, b), 0);
    const int64_t y1 = std::min<int64_t>(std::max(a, b), surface->height - 1);
    for (int64_t y = y0; y <= y1; ++y) {
        pixelRow(surface, static_cast<int>(y))[x] = colour;
    }
}

// One axis of a stretched copy: for every destination index of [start, start + count) that lies
// inside the destination and reads a source index inside the source, the source index, in order.
// Returns the first destination index kept (the table holds the rest).
int sampleAxis(int64_t toStart, int toSize, int64_t fromStart, int fromSize, int dstSize,
               int srcSize, std::vector<int>* table)
{
    table->clear();
    const int64_t first = std::max<int64_t>(toStart, 0);
    const int64_t end = std::min<int64_t>(toStart + toSize, dstSize);
    int kept = -1;
    if (first >= end) {
        return kept;
    }
    // The source index fromStart + (d - toStart) x fromSize / toSize, stepped from one
    // destination index to the next by its whole part and its remainder, never divided again.
    const int64_t wholeStep = fromSize / toSize;
    const int64_t partStep = fromSize % toSize;
    const int64_t product = (first - toStart) * fromSize;
    int64_t whole = product / toSize;
    int64_t part = product % toSize;
    for (int64_t d = first; d < end; ++d) {
        const int64_t s = fromStart + whole;
        whole += wholeStep;
        part += partStep;
        if (part >= toSize) {
            part -= toSize;
            ++whole;
        }
        if (s < 0) {
            continue;
        }
        if (s >= srcSize) {
            break;
        }
        if (kept < 0) {
            kept = static_cast<int>(d);
        }
        table->push_back(static_cast<int>(s));
    }
    return kept;
}

// The source columns and rows of a clipped, stretched copy (sampleAxis on both axes) and the
// destination's first column and row drawn; false when nothing is drawn. The tables belong to
// the caller.
bool sampleStretch(const Surface& destination, PixelRect to, int srcW, int srcH, PixelRect from,
                   std::vector<int>* columns, std::vector<int>* rows, int* firstX, int* firstY)
{
    if (to.w < 1 || to.h < 1 || from.w < 1 || from.h < 1 || destination.width < 1 ||
        destination.height < 1 || srcW < 1 || srcH < 1) {
        return false;
    }
    *firstX = sampleAxis(to.x, to.w, from.x, from.w, destination.width, srcW, columns);
    *firstY = sampleAxis(to.y, to.h, from.y, from.h, destination.height, srcH, rows);
    return *firstX >= 0 && *firstY >= 0;
}

// Walks every destination pixel of a clipped, stretched copy once and hands it to
// `combine(destinationPixel, sourceIndex)`, where sourceIndex counts row by row in a source of
// width srcW. Source columns and rows are worked out once per call, never per pixel.
template <typename Combine, typename CopyRow>
void forEachStretchedRows(Surface* destination, PixelRect to, int srcW, int srcH, PixelRect from,
                          Combine combine, CopyRow copyRow)
{
    thread_local std::vector<int> columns;
    thread_local std::vector<int> rows;
    int firstX = 0;
    int firstY = 0;
    if (!sampleStretch(*destination, to, srcW, srcH, from, &columns, &rows, &firstX, &firstY)) {
        return;
    }
    const std::size_t width = columns.size();
    // Unscaled columns run consecutively in the source: a plain loop the compiler can vectorise.
    const bool unscaledColumns = from.w == to.w;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        uint32_t* out = pixelRow(destination, firstY + static_cast<int>(r)) + firstX;
        const std::size_t sourceRow =
            static_cast<std::size_t>(rows[r]) * static_cast<std::size_t>(srcW);
        if (unscaledColumns) {
            const std::size_t first = sourceRow + static_cast<std::size_t>(columns[0]);
            if (!copyRow(out, first, width)) {
                for (std::size_t c = 0; c < width; ++c) {
                    combine(out[c], first + c);
                }
            }
        } else {
            for (std::size_t c = 0; c < width; ++c) {
                combine(out[c], sourceRow + static_cast<std::size_t>(columns[c]));
            }
        }
    }
}

// Walks every destination pixel of a clipped, stretched copy once and hands it to
// `combine(destinationPixel, sourceIndex)`, where sourceIndex counts row by row in a source of
// width srcW. Source columns and rows are worked out once per call, never per pixel.
template <typename Combine>
void forEachStretched(Surface* destination, PixelRect to, int srcW, int srcH, PixelRect from,
                      Combine combine)
{
    forEachStretchedRows(destination, to, srcW, srcH, from, combine,
                         [](uint32_t*, std::size_t, std::size_t) { return false; });
}

// The first index of [from, end) whose mask entry is opaque (non-zero) when `opaque`, or
// transparent (zero) when not; end when there is none. Where the processor can, 16 entries at a
// time.
std::size_t nextOfOpacity(const uint8_t* bits, std::size_t from, std::size_t end, bool opaque)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; from + 16 <= end; from += 16) {
        const auto clear = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bits + from)), zero)));
        const unsigned wanted = opaque ? ~clear & 0xFFFFu : clear;
        if (wanted != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(wanted));
        }
    }
#endif
    while (from < end && (bits[from] != 0) != opaque) {
        ++from;
    }
    return from;
}

// Walks the opaque part of a clipped, stretched copy of a keyed picture: for every destination
// row, every run of destination columns whose source pixels are all opaque is handed once to
// `span(out, sourceRow, columns, first, end)`, which draws out[c] for c in [first, end) from
// source index sourceRow + columns[c]. Transparent pixels are never visited, so a sprite costs
// what it covers rather than its box. Sampled as forEachStretchedRows samples.
template <typename Span>
void forEachOpaqueSpan(Surface* destination, PixelRect to, const Mask& mask, PixelRect from,
                       Span span)
{
    thread_local std::vector<int> columns;
    thread_local std::vector<int> rows;
    // firstFrom[s - columns.front()]: the first destination column reading source column s or
    // one beyond it, for every source column the copy reads and the one after the last.
    thread_local std::vector<int> firstFrom;
    // The runs of the source row last looked at, as [first, end) destination columns.
    thread_local std::vector<std::pair<int, int>> runs;
    int firstX = 0;
    int firstY = 0;
    if (!sampleStretch(*destination, to, mask.width, mask.height, from, &columns, &rows, &firstX,
                       &firstY)) {
        return;
    }
    const int leftmost = columns.front();
    const int pastRightmost = columns.back() + 1;
    firstFrom.clear();
    for (int s = leftmost, c = 0; s <= pastRightmost; ++s) {
        while (c < static_cast<int>(columns.size()) && columns[static_cast<std::size_t>(c)] < s) {
            ++c;
        }
        firstFrom.push_back(c);
    }
    const auto destinationColumn = [&](std::size_t s) {
        return firstFrom[s - static_cast<std::size_t>(leftmost)];
    };
    int runsOfRow = -1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t sourceRow =
            static_cast<std::size_t>(rows[r]) * static_cast<std::size_t>(mask.width);
        // Enlarged pictures read each source row for several destination rows in turn.
        if (rows[r] != runsOfRow) {
            runsOfRow = rows[r];
            runs.clear();
            const uint8_t* bits = mask.bits.data() + sourceRow;
            const auto end = static_cast<std::size_t>(pastRightmost);
            for (std::size_t s = static_cast<std::size_t>(leftmost);;) {
                s = nextOfOpacity(bits, s, end, true);
                if (s >= end) {
                    break;
                }
                const std::size_t e = nextOfOpacity(bits, s, end, false);
                runs.emplace_back(destinationColumn(s), destinationColumn(e));
                s = e;
            }
        }
        uint32_t* out = pixelRow(destination, firstY + static_cast<int>(r)) + firstX;
        for (const auto& [first, end] : runs) {
            span(out, sourceRow, columns.data(), static_cast<std::size_t>(first),
                 static_cast<std::size_t>(end));
        }
    }
}

// Runs a stretched copy with the raster operation chosen once, outside the pixel loop.
template <typename Source>
void combineStretched(Surface* destination, PixelRect to, int srcW, int srcH, PixelRect from,
                      RasterOp op, Source source)
{
    switch (op) {
    case RasterOp::Copy:
        forEachStretched(destination, to, srcW, srcH, from,
                         [&](uint32_t& d, std::size_t i) { d = source(i); });
        break;
    case RasterOp::Or:
        forEachStretched(destination, to, srcW, srcH, from,
                         [&](uint32_t& d, std::size_t i) { d |= source(i); });
        break;
    case RasterOp::And:
        forEachStretched(destination, to, srcW, srcH, from,
                         [&](uint32_t& d, std::size_t i) { d &= source(i); });
        break;
    }
}

// Sutherland-Hodgman clip of a polygon against one half-plane: keeps the points p where
// side * (coordinate of p - limit) <= 0. Points on the boundary stay; crossings are interpolated.
int clipAgainst(const PointF* in, int count, PointF* out, bool alongX, double limit, double side)
{
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const PointF& a = in[i];
        const PointF& b = in[(i + 1) % count];
        const double da = side * ((alongX ? a.x : a.y) - limit);
        const double db = side * ((alongX ? b.x : b.y) - limit);
        if (da <= 0) {
            out[n++] = a;
        }
        if ((da < 0 && db > 0) || (da > 0 && db < 0)) {
            const double t = da / (da - db);
            PointF p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            if (alongX) {
                p.x = limit;
            } else {
                p.y = limit;
            }
            out[n++] = p;
        }
    }
    return n;
}

} // namespace

// Only whole 64-byte cache lines go past the cache: a line the copy covers only in part (a
// row's ends, the seams between pictures copied side by side) is written through the cache, so
// that the processor never has to merge a part of a line into memory. Single pixels up to a line
// boundary, sixteen at a time after it, the rest singly.
void copyPixelsPastCache(uint32_t* out, const uint32_t* in, std::size_t n)
{
#if defined(__SSE2__)
    constexpr std::uintptr_t lineBytes = 64;
    constexpr std::size_t linePixels = lineBytes / sizeof(uint32_t);
    for (; n > 0 && (reinterpret_cast<std::uintptr_t>(out) & (lineBytes - 1)) != 0; --n) {
        *out++ = *in++;
    }
    for (; n >= linePixels; n -= linePixels, out += linePixels, in += linePixels) {
        for (std::size_t q = 0; q < linePixels; q += 4) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + q),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + q)));
        }
    }
#endif
    std::copy(in, in + n, out);
}

void finishCopiesPastCache()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

void resizeSurface(Surface* surface, int width, int height)
{
    if (width < 1 || height < 1) {
        width = 0;
        height = 0;
    }
    surface->width = width;
    surface->height = height;
    surface->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
}

void fillSurface(Surface* surface, uint32_t colour)
{
    std::fill(surface->pixels.begin(), surface->pixels.end(), colour);
}

void drawRectangle(Surface* surface, double left, double top, double right, double bottom,
                   Brush brush, Pen pen)
{
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) ||
        !std::isfinite(bottom) || surface->width < 1 || surface->height < 1) {
        return;
    }
    const int x0 = firstCentreFrom(clampToBand(std::min(left, right), surface->width));
    const int x1 = firstCentreFrom(clampToBand(std::max(left, right), surface->width));
    const int y0 = firstCentreFrom(clampToBand(std::min(top, bottom), surface->height));
    const int y1 = firstCentreFrom(clampToBand(std::max(top, bottom), surface->height));
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const int cx0 = std::max(x0, 0);
    const int cx1 = std::min(x1, surface->width);
    if (!brush.hollow) {
        for (int y = std::max(y0, 0); y < std::min(y1, surface->height); ++y) {
            fillSpan(surface, y, cx0, cx1, brush.colour);
        }
    }
    if (!pen.none) {
        drawRectangleOutline(surface, x0, y0, x1 - 1, y1 - 1, pen);
    }
}

void drawRectangleOutline(Surface* surface, int x0, int y0, int x1, int y1, Pen pen)
{
    if (pen.none) {
        return;
    }
    clippedHorizontal(surface, y0, x0, x1, pen.colour);
    clippedHorizontal(surface, y1, x0, x1, pen.colour);
    clippedVertical(surface, x0, y0, y1, pen.colour);
    clippedVertical(surface, x1, y0, y1, pen.colour);
}

void fillPolygon(Surface* surface, const PointF* points, int count, Brush brush)
{
    fillPolygonIn(surface, ColumnRange{0, 0, surface->width}, points, count, brush);
}

void fillPolygonIn(Surface* surface, ColumnRange part, const PointF* points, int count, Brush brush)
{
    // Never beyond the surface, whatever the part asks.
    const int left = std::max(part.left, -part.originX);
    const int right = std::min(part.right, surface->width - part.originX);
    if (brush.hollow || count < 3 || count > maxPolygonVertices || left >= right ||
        surface->height < 1) {
        return;
    }
    const double bandLeft = left - guardBand;
    const double bandRight = right + guardBand;
    double minX = points[0].x;
    double maxX = points[0].x;
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(points[i].x) <= largestVertex) ||
            !(std::fabs(points[i].y) <= largestVertex)) {
            return;
        }
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
    }
    // Wholly beside the part (the road far from a margin of the wide view): nothing to clip.
    if (maxX < bandLeft || minX > bandRight) {
        return;
    }
    // Clip against the guard band; each half-plane adds at most one vertex.
    PointF bufferA[maxPolygonVertices + 4];
    PointF bufferB[maxPolygonVertices + 4];
    const double bottom = surface->height + guardBand;
    int n = clipAgainst(points, count, bufferA, true, bandLeft, -1.0);
    n = clipAgainst(bufferA, n, bufferB, true, bandRight, 1.0);
    n = clipAgainst(bufferB, n, bufferA, false, -guardBand, -1.0);
    n = clipAgainst(bufferA, n, bufferB, false, bottom, 1.0);
    if (n < 3) {
        return;
    }
    const PointF* poly = bufferB;
    double minY = poly[0].y;
    double maxY = poly[0].y;
    for (int i = 1; i < n; ++i) {
        minY = std::min(minY, poly[i].y);
        maxY = std::max(maxY, poly[i].y);
    }
    const int rowFirst = std::max(firstCentreFrom(minY), 0);
    const int rowEnd = std::min(firstCentreFrom(maxY), surface->height);
    double crossings[maxPolygonVertices + 4];
    for (int y = rowFirst; y < rowEnd; ++y) {
        const double centre = y + 0.5;
        int k = 0;
        for (int i = 0; i < n; ++i) {
            const PointF& a = poly[i];
            const PointF& b = poly[(i + 1) % n];
            // Half-open in y: an edge counts from its upper end, not at its lower end, so a
            // top edge is in and a bottom edge out, and a shared vertex is counted once.
            if ((a.y <= centre && centre < b.y) || (b.y <= centre && centre < a.y)) {
                crossings[k++] = a.x + (centre - a.y) * (b.x - a.x) / (b.y - a.y);
            }
        }
        // At most a dozen crossings: insertion sort.
        for (int i = 1; i < k; ++i) {
            for (int j = i; j > 0 && crossings[j] < crossings[j - 1]; --j) {
                std::swap(crossings[j], crossings[j - 1]);
            }
        }
        for (int i = 0; i + 1 < k; i += 2) {
            const int x0 = std::max(firstCentreFrom(crossings[i]), left);
            const int x1 = std::min(firstCentreFrom(crossings[i + 1]), right);
            fillSpan(surface, y, x0 + part.originX, x1 + part.originX, brush.colour);
        }
    }
}

void drawLine(Surface* surface, int x0, int y0, int x1, int y1, Pen pen)
{
    if (pen.none || (x0 == x1 && y0 == y1)) {
        return;
    }
    const int64_t dx = static_cast<int64_t>(x1) - x0;
    const int64_t dy = static_cast<int64_t>(y1) - y0;
    const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Step along the major axis from its start (inclusive) to its end (exclusive); the minor
    // coordinate is the one nearest to the exact line, halves rounded upwards.
    const int64_t major0 = alongX ? x0 : y0;
    const int64_t majorDelta = alongX ? dx : dy;
    const int64_t minor0 = alongX ? y0 : x0;
    const int64_t minorDelta = alongX ? dy : dx;
    const int64_t step = majorDelta > 0 ? 1 : -1;
    const int64_t length = majorDelta * step;
    const int64_t majorSize = alongX ? surface->width : surface->height;
    const int64_t minorSize = alongX ? surface->height : surface->width;
    // Only the part of the major range inside the surface is walked.
    int64_t kFirst = 0;
    int64_t kEnd = length;
    if (step > 0) {
        kFirst = std::max<int64_t>(kFirst, -major0);
        kEnd = std::min<int64_t>(kEnd, majorSize - major0);
    } else {
        kFirst = std::max<int64_t>(kFirst, major0 - (majorSize - 1));
        kEnd = std::min<int64_t>(kEnd, major0 + 1);
    }
    for (int64_t k = kFirst; k < kEnd; ++k) {
        const WideInt numerator = static_cast<WideInt>(k) * minorDelta;
        // Round numerator / length to the nearest integer, halves upwards.
        WideInt twice = 2 * numerator + length;
        WideInt offset = twice / (2 * static_cast<WideInt>(length));
        if (twice % (2 * static_cast<WideInt>(length)) != 0 && twice < 0) {
            offset -= 1;
        }
        const int64_t minor = minor0 + static_cast<int64_t>(offset);
        if (minor < 0 || minor >= minorSize) {
            continue;
        }
        const int64_t major = major0 + k * step;
        const int px = static_cast<int>(alongX ? major : minor);
        const int py = static_cast<int>(alongX ? minor : major);
        pixelRow(surface, py)[px] = pen.colour;
    }
}

void stretchBlit(Surface* destination, PixelRect to, const Surface& source, PixelRect from,
                 RasterOp op)
{
    const uint32_t* src = source.pixels.data();
    if (op != RasterOp::Copy) {
        combineStretched(destination, to, source.width, source.height, from, op,
                         [src](std::size_t i) { return src[i]; });
        return;
    }
    // Unscaled rows are copied whole; into a large surface (the sky of a sharp race frame) past
    // the cache.
    const bool pastCache = streams(*destination);
    forEachStretchedRows(
        destination, to, source.width, source.height, from,
        [src](uint32_t& d, std::size_t i) { d = src[i]; },
        [src, pastCache](uint32_t* out, std::size_t first, std::size_t n) {
            if (pastCache) {
                copyPixelsPastCache(out, src + first, n);
            } else {
                std::copy(src + first, src + first + n, out);
            }
            return true;
        });
    if (pastCache) {
        finishCopiesPastCache();
    }
}

void blit(Surface* destination, int x, int y, const Surface& source, PixelRect from, RasterOp op)
{
    stretchBlit(destination, PixelRect{x, y, from.w, from.h}, source, from, op);
}

void stretchMask(Surface* destination, PixelRect to, const Mask& mask, PixelRect from,
                 uint32_t textColour, uint32_t backgroundColour, RasterOp op)
{
    const uint8_t* bits = mask.bits.data();
    combineStretched(destination, to, mask.width, mask.height, from, op,
                     [=](std::size_t i) { return bits[i] ? backgroundColour : textColour; });
}

void stretchKeyed(Surface* destination, PixelRect to, const Surface& picture, const Mask& mask,
                  PixelRect from)
{
    if (mask.width != picture.width || mask.height != picture.height) {
        return;
    }
    const uint32_t* src = picture.pixels.data();
    // Unscaled columns run consecutively in the source: each run is one plain copy.
    const bool unscaledColumns = from.w == to.w;
    forEachOpaqueSpan(destination, to, mask, from,
                      [src, unscaledColumns](uint32_t* out, std::size_t sourceRow,
                                             const int* columns, std::size_t first,
                                             std::size_t end) {
                          const uint32_t* in = src + sourceRow;
                          if (unscaledColumns) {
                              const uint32_t* begin = in + columns[first];
                              std::copy(begin, begin + (end - first), out + first);
                              return;
                          }
                          for (std::size_t c = first; c < end; ++c) {
                              out[c] = in[columns[c]];
                          }
                      });
}

uint32_t halfwayColour(uint32_t a, uint32_t b)
{
    return ((a >> 1) & 0x7F7F7Fu) + ((b >> 1) & 0x7F7F7Fu);
}

void stretchKeyedSeeThrough(Surface* destination, PixelRect to, const Surface& picture,
                            const Mask& mask, PixelRect from)
{
    if (mask.width != picture.width || mask.height != picture.height) {
        return;
    }
    const uint32_t* src = picture.pixels.data();
    forEachOpaqueSpan(destination, to, mask, from,
                      [src](uint32_t* out, std::size_t sourceRow, const int* columns,
                            std::size_t first, std::size_t end) {
                          const uint32_t* in = src + sourceRow;
                          for (std::size_t c = first; c < end; ++c) {
                              out[c] = halfwayColour(out[c], in[columns[c]]);
                          }
                      });
}
