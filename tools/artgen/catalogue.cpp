// The full set of pictures, in the order they are written and shown on the contact sheet.
#include "pictures.h"

std::vector<NamedPicture> paintAllPictures(const Typefaces &type, int scale)
{
    std::vector<NamedPicture> all;
    auto append = [&all](std::vector<NamedPicture> group) {
        for (NamedPicture &named : group)
            all.push_back(std::move(named));
    };
    append(paintScenery(type, scale));
    append(paintCars(scale));
    append(paintBackdrop(scale));
    append(paintGauges(scale));
    append(paintFonts(type, scale));
    append(paintScreens(type, scale));
    return all;
}
