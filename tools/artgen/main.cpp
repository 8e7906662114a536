// artgen: paints every picture the game reads and writes it as a bitmap file under the gfx
// folder, byte for byte the same on every run.
//
//   artgen [FOLDER] [--scale K] [--sheet FILE] [--icon FILE] [--fonts FOLDER]
//
// FOLDER (default "gfx", or "gfx-Kx" at a scale K above 1) receives the pictures in their groups
// (car/, obs/, ...). --scale paints them at drawing scale K (1 to 4, default 1): every picture K
// times as wide and high, with K times the detail. --sheet writes a review image of all of them at
// that scale, --icon the desktop icon (PNG), --fonts names the folder holding the DejaVu fonts.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "icon_file.h"
#include "pictures.h"
#include "pictures/picture_writer.h"

namespace
{

void makeFolderFor(const std::filesystem::path &path)
{
    std::error_code ignored; // a folder that cannot be made shows up as a failed write
    std::filesystem::create_directories(path.parent_path(), ignored);
}

bool writePicture(const std::filesystem::path &path, const Picture &picture)
{
    makeFolderFor(path);
    if (!writePictureFile(path.string().c_str(), picture.surface)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

int usage()
{
    std::fprintf(stderr, "usage: artgen [FOLDER] [--scale 1-4] [--sheet FILE] [--icon FILE] [--fonts FOLDER]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::string folder, sheet, icon, scaleText = "1", fonts = defaultFontFolder();
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        std::string *option = nullptr;
        if (std::strcmp(arg, "--sheet") == 0)
            option = &sheet;
        else if (std::strcmp(arg, "--icon") == 0)
            option = &icon;
        else if (std::strcmp(arg, "--fonts") == 0)
            option = &fonts;
        else if (std::strcmp(arg, "--scale") == 0)
            option = &scaleText;
        else if (arg[0] == '-' || folderGiven)
            return usage();
        if (option != nullptr) {
            if (++i == argc)
                return usage();
            *option = argv[i];
        } else {
            folder = arg;
            folderGiven = true;
        }
    }

    if (scaleText.size() != 1 || scaleText[0] < '1' || scaleText[0] > '4')
        return usage();
    const int scale = scaleText[0] - '0';
    if (!folderGiven)
        folder = scale == 1 ? "gfx" : "gfx-" + scaleText + "x";

    const TypeFace mono(fonts + "/DejaVuSansMono-Bold.ttf");
    const TypeFace sans(fonts + "/DejaVuSans-Bold.ttf");
    const Typefaces type{mono, sans};
    const std::vector<NamedPicture> pictures = paintAllPictures(type, scale);
    bool ok = true;
    for (const NamedPicture &named : pictures)
        ok = writePicture(std::filesystem::path(folder) / named.path, named.picture) && ok;
    if (!sheet.empty())
        ok = writePicture(sheet, paintContactSheet(pictures, type, scale)) && ok;
    if (!icon.empty())
        makeFolderFor(icon);
    if (!icon.empty() && !writeIconFile(icon, paintIcon(64))) {
        std::fprintf(stderr, "artgen: cannot write %s\n", icon.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
