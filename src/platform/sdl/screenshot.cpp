// PNG pictures of the game in the player's pictures folder, written with libpng away from the
// game's thread (F12).
#include "platform/sdl/screenshot.h"

#include "platform/sdl/sdl_backend.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "core/files.h"
#include "core/user_folders.h"

namespace {

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(pathFromUtf8(path), error);
}

} // namespace

std::string newPictureName(const std::string& folder, std::time_t when)
{
    const std::tm local = localTimeOf(when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    const std::string stem = folder + folderSeparator + "vantor-" + stamp;
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
    std::FILE* file = openFile(path, "wb");
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
        std::error_code removing;
        std::filesystem::remove(pathFromUtf8(path), removing);
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
