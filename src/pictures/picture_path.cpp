// Where the game's pictures are found: the working folder, beside the executable, the data folder
// of the prefix the executable is installed in, or the data folder of the configured prefix.
#include <filesystem>
#include <system_error>

#include "pictures/picture_file.h"

namespace {

// From build/<preset>/src/game/vantor the repository is four folders up; one more for tools
// built a level deeper.
constexpr int executableParentsSearched = 5;

std::string asFolder(const std::filesystem::path& path)
{
    std::string folder = path.string();
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace

std::vector<std::string> pictureSearchFolders()
{
    std::vector<std::string> folders{""};
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        // An installed game moved to another prefix keeps its pictures in <prefix>/share/vantor
        // beside <prefix>/bin.
        const std::filesystem::path installedData =
            executable.parent_path().parent_path() / "share" / "vantor";
        std::filesystem::path folder = executable.parent_path();
        for (int level = 0; level <= executableParentsSearched && !folder.empty(); ++level) {
            folders.push_back(asFolder(folder));
            if (folder == folder.root_path()) {
                break;
            }
            folder = folder.parent_path();
        }
        folders.push_back(asFolder(installedData));
    }
    folders.push_back(asFolder(VANTOR_DATA_DIR));
    return folders;
}

std::string findPictureFile(const char* gamePath)
{
    if (gamePath == nullptr || *gamePath == '\0') {
        return "";
    }
    std::string path = gamePath;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::error_code error;
    if (path.front() == '/') {
        return std::filesystem::is_regular_file(path, error) ? path : "";
    }
    for (const std::string& folder : pictureSearchFolders()) {
        const std::string candidate = folder + path;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return "";
}
