// PNG pictures of the game in the player's pictures folder, written with libpng away from the
// game's thread (F12).
#include "platform/sdl/screenshot.h"

#include "platform/sdl/sdl_backend.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// The most of a user-dirs.dirs file read: the desktop's own is a few hundred bytes.
constexpr size_t userDirsLimit = 64 * 1024;

bool isFolder(const std::string& path)
{
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The start of a user-dirs.dirs file, at most userDirsLimit bytes of it, when it is a regular
// file; empty otherwise. A link to a device or a pipe gives nothing and is never read from.
std::string userDirsText(const std::string& file)
{
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return "";
    }
    std::ifstream in(file, std::ios::binary);
    std::string text(userDirsLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file: the quoted text after the "=",
// "$HOME" at its start replaced by the home folder; empty when the line is missing.
std::string picturesEntry(const std::string& file, const std::string& home)
{
    std::istringstream in(userDirsText(file));
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) {
            continue;
        }
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"') {
            value = value.substr(1, value.find('"', 1) - 1);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        return value;
    }
    return "";
}

} // namespace

std::string picturesFolder()
{
    const std::string home = environment("HOME");
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = home + "/.config";
    }
    std::string pictures = picturesEntry(config + "/user-dirs.dirs", home);
    if (isFolder(pictures)) {
        return pictures;
    }
    return home;
}

std::string newPictureName(const std::string& folder, std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    const std::string stem = folder + "/vantor-" + stamp;
    std::string path = stem + ".png";
    for (int copy = 2; exists(path); ++copy) {
        path = stem + "-" + std::to_string(copy) + ".png";
    }
    return path;
}

bool writePng(const std::string& path, const Surface& picture, std::string* why)
{
    if (picture.width <= 0 || picture.height <= 0) {
        *why = "the picture is empty";
        return false;
    }
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (uint32_t pixel : picture.pixels) {
        rgb.push_back(static_cast<unsigned char>(pixel >> 16));
        rgb.push_back(static_cast<unsigned char>(pixel >> 8));
        rgb.push_back(static_cast<unsigned char>(pixel));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    // The file is put together in memory and written with one call of our own, so that a
    // failure gives the system's reason ("No space left on device"), not libpng's "Write Error".
    png_alloc_size_t size = 0;
    std::vector<unsigned char> png;
    bool made = png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    if (made) {
        png.resize(size);
        made = png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr);
    }
    if (!made) {
        *why = image.message[0] ? image.message : "libpng could not make the picture";
        png_image_free(&image);
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *why = std::generic_category().message(errno);
        return false;
    }
    // The reason is taken from the failing call itself, never from an earlier one.
    errno = 0;
    const bool complete = std::fwrite(png.data(), 1, size, file) == size;
    const int writeError = errno;
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    const int error = complete ? errno : writeError;
    if (!complete || !closed) {
        *why = error != 0 ? std::generic_category().message(error) : "the file was not written";
        std::remove(path.c_str());
        return false;
    }
    return true;
}

// The picture is taken at the next present, exactly as the player sees it.
void SdlBackend::askForPicture() { pictureWanted = true; }

void SdlBackend::keepPicture(const Surface& backBuffer)
{
    finishPictures();
    // The writer works on its own copy; the game draws on at once.
    pictureWriter = std::thread([picture = backBuffer, when = std::time(nullptr)] {
        const std::string folder = picturesFolder();
        std::string why = "no home folder to put it in";
        const std::string path = folder.empty() ? "" : newPictureName(folder, when);
        if (!path.empty() && writePng(path, picture, &why)) {
            std::fprintf(stderr, "Picture saved: %s\n", path.c_str());
        } else {
            std::fprintf(stderr, "Warning: the picture could not be saved%s%s (%s).\n",
                         path.empty() ? "" : " as ", path.c_str(), why.c_str());
        }
        std::fflush(stderr);
    });
}

void SdlBackend::finishPictures()
{
    if (pictureWriter.joinable()) {
        pictureWriter.join();
    }
}
