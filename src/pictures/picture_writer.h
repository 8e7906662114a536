#pragma once
// Writing a picture to a bitmap file, the format the game reads its pictures from.
// Called by the developer tools (artgen writes every picture under gfx/ with it).

#include "gfx/surface.h"

// Writes `picture` to the file at `path` (folders must exist) as an uncompressed 24-bit Windows
// bitmap, top row of the picture first on screen. The same surface always gives the same bytes.
// Returns false, with the platform's last error set, when the file cannot be written or the
// surface is empty or inconsistent (pixels.size() != width * height). The caller keeps `picture`.
bool writePictureFile(const char* path, const Surface& picture);
