#pragma once
// A picture in memory that the software raster draws into and copies from.
// Used by the platform (the window's back buffer, loaded pictures) and by the raster operations.

#include <cstdint>
#include <vector>

// width x height pixels, rows top to bottom, each 0x00RRGGBB (blue in the lowest byte).
// An empty surface (0 x 0) is valid everywhere: drawing into it or from it does nothing.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
