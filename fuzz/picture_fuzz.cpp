// Fuzz target for the picture loader: any bytes must give either a picture or the empty result,
// never a crash, a hang or an allocation without bound. A decoded picture is also turned into a
// colour-keyed Bitmap and freed, as the game does with every file it loads.
#include <cstddef>
#include <cstdint>

#include "pictures/bitmap.h"
#include "pictures/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    PicturePixels picture;
    if (readPictureBytes(data, size, &picture) == PictureRead::Loaded) {
        Bitmap* bitmap = bitmapFromPixels(picture.pixels.data(), picture.width, picture.height);
        freeBitmap(bitmap);
    }
    return 0;
}
