// Where the game's pictures are found: the working folder, beside the executable, the data folder
// of the prefix the executable is installed in, or the data folder of the configured prefix; the
// pictures of a drawing scale above 1 in the gfx-2x, gfx-3x and gfx-4x folders beside gfx.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "pictures/picture_file.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/user_folders.h"
#include "platform/window.h"

namespace {

// The picture whose presence tells that a folder holds the game's pictures: the small font, which
// every screen and the game's own message box write with.
constexpr const char* probePicture = "gfx\\font\\font1sm.bmp";

// From build/<preset>/src/game/vantor the repository is four folders up; one more for tools
// built a level deeper.
constexpr int executableParentsSearched = 5;

std::string asFolder(const std::filesystem::path& path)
{
    std::string folder = utf8FromPath(path);
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    return folder;
}

// A game path with '\\' turned into '/'.
std::string withOurSeparators(const char* gamePath)
{
    std::string path = gamePath;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

// True for a file the loader can use: a regular file, not empty, that opens for reading. A
// folder, a device, an empty or unreadable file is passed over for the next place's copy.
bool usableFile(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path place = pathFromUtf8(path);
    if (!std::filesystem::is_regular_file(place, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(place, error);
    if (error || size == 0) {
        return false;
    }
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// The first usable file at `relativePath` ('/' separated) among the search folders, or "".
std::string firstInSearchFolders(const std::string& relativePath)
{
    for (const std::string& folder : pictureSearchFolders()) {
        const std::string candidate = folder + relativePath;
        if (usableFile(candidate)) {
            return candidate;
        }
    }
    return "";
}

} // namespace

std::vector<std::string> pictureSearchFolders()
{
    std::vector<std::string> folders{""};
    const std::string executable = executableFolder();
    if (!executable.empty()) {
        // An installed game moved to another prefix keeps its pictures in <prefix>/share/vantor
        // beside <prefix>/bin.
        std::filesystem::path folder = pathFromUtf8(executable);
        const std::filesystem::path installedData = folder.parent_path() / "share" / "vantor";
        for (int level = 0; level <= executableParentsSearched && !folder.empty(); ++level) {
            folders.push_back(asFolder(folder));
            if (folder == folder.root_path()) {
                break;
            }
            folder = folder.parent_path();
        }
        folders.push_back(asFolder(installedData));
    }
#ifdef VANTOR_DATA_DIR
    folders.push_back(asFolder(VANTOR_DATA_DIR));
#endif
    return folders;
}

void requirePictureFolder()
{
    std::string places;
    std::error_code error;
    for (const std::string& folder : pictureSearchFolders()) {
        // A folder merely named gfx (a build's own object folder, an emptied copy) is not enough:
        // the place must hold a picture the game reads on every screen, whole.
        int width = 0;
        int height = 0;
        if (readPictureSize(folder + withOurSeparators(probePicture), &width, &height)) {
            return;
        }
        const std::string shown =
            folder.empty() ? asFolder(std::filesystem::current_path(error)) : folder;
        places += (places.empty() ? "" : ", ") + shown + "gfx";
    }
    fatalError(__LINE__, ("The game's pictures were not found: no place searched holds " +
                          withOurSeparators(probePicture) + ": " +
                          places)
                             .c_str());
}

std::string findPictureFile(const char* gamePath)
{
    if (gamePath == nullptr || *gamePath == '\0') {
        return "";
    }
    const std::string path = withOurSeparators(gamePath);
    if (isAbsolutePath(path)) {
        return usableFile(path) ? path : "";
    }
    return firstInSearchFolders(path);
}

ScaledPictureFile findScaledPictureFile(const char* gamePath, int scale)
{
    const std::string scaleOne = "gfx/";
    if (gamePath != nullptr && scale >= 2 && scale <= largestDrawingScale) {
        const std::string path = withOurSeparators(gamePath);
        if (path.starts_with(scaleOne)) {
            const std::string found = firstInSearchFolders("gfx-" + std::to_string(scale) + "x/" +
                                                           path.substr(scaleOne.size()));
            if (!found.empty()) {
                return {found, scale};
            }
        }
    }
    return {findPictureFile(gamePath), 1};
}
