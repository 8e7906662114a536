// The full set of pictures, in the order they are written and shown on the contact sheet.
#include "pictures.h"

std::vector<NamedPicture> paintAllPictures(const Typefaces &type)
{
    std::vector<NamedPicture> all;
    auto append = [&all](std::vector<NamedPicture> group) {
        for (NamedPicture &named : group)
            all.push_back(std::move(named));
    };
    append(paintScenery(type));
    append(paintCars());
    append(paintBackdrop());
    append(paintGauges());
    append(paintFonts(type));
    append(paintScreens(type));
    return all;
}
