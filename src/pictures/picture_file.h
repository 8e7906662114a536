#pragma once
// Reading picture files from disk into 32-bit pixels. The picture loader (bitmap.h) is the only
// caller; it never sees how the file format is decoded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pictures/bmp_reader.h"

// Reads the Windows bitmap (BMP) file at a file-system path. The file is checked before it is
// decoded (see bmpFileIsWellFormed); a file that fails the check is Unreadable. Nothing is
// reported: the caller decides what a failure means.
PictureRead readPictureFile(const std::string& fileSystemPath, PicturePixels* picture);
// The same for a whole file already held in memory (`size` bytes at `data`, owned by the caller);
// the picture file fuzzer feeds its inputs through here.
PictureRead readPictureBytes(const uint8_t* data, std::size_t size, PicturePixels* picture);

// Checks a whole BMP file held in memory before any decoder sees it: the signature, the header's
// size and fields, a width of 1 to 8192, a height of -8192 to 8192 but not 0, at most
// largestPicturePixels pixels in all, 1, 4, 8, 16, 24 or
// 32 bits per pixel, a known compression that suits the depth, a palette of at most 2^depth
// colours that lies inside the file, pixel data long enough for every row, every palette index
// inside the palette, and run-length data that stays inside the picture and ends properly.
bool bmpFileIsWellFormed(const uint8_t* data, std::size_t size);

// The folders searched for the game's pictures, in order: the working folder (""), the folder of
// the running executable and its parents up to a few levels (so a build tree finds the
// repository's gfx), <prefix>/share/vantor for an executable in <prefix>/bin (an installed game,
// wherever its prefix was moved), then the configured installed data folder. Each ends with '/'
// unless empty.
std::vector<std::string> pictureSearchFolders();

// Called once at start-up by the game and by the tools that read pictures, before any picture is
// loaded. When no search folder holds the game's pictures (a gfx folder with a well-formed
// gfx/font/font1sm.bmp, the font every screen writes with), ends the program with the fatal report
// that names every place looked in (a single missing picture, by contrast, is passed over
// silently).
void requirePictureFolder();

// Turns a path as the game writes it ("gfx\\menu\\arrow.bmp") into ours ('\\' becomes '/') and
// returns the first usable file among the search folders (a regular file, not empty, readable),
// or "" when there is none.
// An absolute path is taken as it is.
std::string findPictureFile(const char* gamePath);

// A picture file found for a drawing scale: where it is, and the scale it was painted at.
struct ScaledPictureFile {
    std::string path; // "" when the picture is missing at every scale
    int scale = 1;    // the requested scale, or 1 when the caller must enlarge the scale-1 picture
};

// The file of a game picture ("gfx\\menu\\arrow.bmp") painted at drawing scale `scale`: the
// same picture under "gfx-2x", "gfx-3x" or "gfx-4x" (laid out as gfx, found through the same
// search folders), or, when that one is missing, the scale-1 file with scale 1, silently. A scale
// outside 2 to largestDrawingScale (platform/window.h), or a path outside the gfx folder, gives the
// scale-1 file. Called by the picture loader when it loads the pictures of a race or a screen.
ScaledPictureFile findScaledPictureFile(const char* gamePath, int scale);
// The width and height of the BMP file at a file-system path, read from its header after the
// whole file passed bmpFileIsWellFormed (a picture stored bottom row first or top row first gives
// the same height). False for a missing or unreadable file. The picture loader compares a scaled
// picture with its scale-1 picture by it.
bool readPictureSize(const std::string& fileSystemPath, int* width, int* height);
