#pragma once
// The painters of artgen: each returns finished pictures with the path the game reads them from
// (relative to the gfx folder, '/' separated). main.cpp writes them; the contact sheet shows them.
// `scale` is the drawing scale (1 to 4): every picture comes out scale times as wide and high as
// at scale 1, painted from the same shapes with finer detail.

#include <string>
#include <vector>

#include "canvas.h"
#include "lettering.h"

struct NamedPicture {
    std::string path; // e.g. "car/car1_lll.bmp"
    Picture picture;
};

// The two typefaces every painter with lettering uses.
struct Typefaces {
    const TypeFace &mono; // fixed-width bold: the two font sheets
    const TypeFace &sans; // proportional bold: labels on pictures
};

// Four liveries x seven views, "car/car1.bmp" ... "car/car4_rrr.bmp".
std::vector<NamedPicture> paintCars(int scale);
// The desktop icon: the red car from behind, keyed, size x size.
Picture paintIcon(int size);
// Trees, rock, oil spill and finish sign under "obs/", six snow-puff frames under "snowPuff/".
std::vector<NamedPicture> paintScenery(const Typefaces &type, int scale);
// "bgr/sky.bmp" and "bgr/cloud.bmp".
std::vector<NamedPicture> paintBackdrop(int scale);
// The four speed-gauge pictures under "hud/".
std::vector<NamedPicture> paintGauges(int scale);
// "font/font1.bmp" (race) and "font/font1sm.bmp" (screens).
std::vector<NamedPicture> paintFonts(const Typefaces &type, int scale);
// Menu bar, arrow, key layout and the three result pictures under "menu/".
std::vector<NamedPicture> paintScreens(const Typefaces &type, int scale);

// Every picture the game reads, in a fixed order.
std::vector<NamedPicture> paintAllPictures(const Typefaces &type, int scale);

// One review image: every picture on a checkerboard with its name, and the pictures put together
// the way the race and the menu show them, all at the pictures' drawing scale. Not read by the game.
Picture paintContactSheet(const std::vector<NamedPicture> &pictures, const Typefaces &type, int scale);
