#pragma once
// The desktop icon is a PNG (desktop entries do not take bitmaps); this tiny writer stores the
// image uncompressed inside the PNG, which every reader accepts.

#include <string>

#include "canvas.h"

// Writes a keyed picture as an RGBA PNG, transparent where the picture has the key colour.
// Returns false when the file cannot be written.
bool writeIconFile(const std::string &path, const Picture &picture);
