// artgen: paints every picture the game reads and writes it as a bitmap file under the gfx
// folder, byte for byte the same on every run.
//
//   artgen [FOLDER] [--sheet FILE] [--icon FILE] [--fonts FOLDER]
//
// FOLDER (default "gfx") receives the pictures in their groups (car/, obs/, ...). --sheet writes a
// review image of all of them, --icon the desktop icon (PNG), --fonts names the folder holding
// the DejaVu fonts.
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
    std::fprintf(stderr, "usage: artgen [FOLDER] [--sheet FILE] [--icon FILE] [--fonts FOLDER]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::string folder = "gfx", sheet, icon, fonts = defaultFontFolder();
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

    const TypeFace mono(fonts + "/DejaVuSansMono-Bold.ttf");
    const TypeFace sans(fonts + "/DejaVuSans-Bold.ttf");
    const Typefaces type{mono, sans};
    const std::vector<NamedPicture> pictures = paintAllPictures(type);
    bool ok = true;
    for (const NamedPicture &named : pictures)
        ok = writePicture(std::filesystem::path(folder) / named.path, named.picture) && ok;
    if (!sheet.empty())
        ok = writePicture(sheet, paintContactSheet(pictures, type)) && ok;
    if (!icon.empty())
        makeFolderFor(icon);
    if (!icon.empty() && !writeIconFile(icon, paintIcon(64))) {
        std::fprintf(stderr, "artgen: cannot write %s\n", icon.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
