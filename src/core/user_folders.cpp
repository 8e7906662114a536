// The player's folders and the executable's: XDG on Linux, known folders on Windows.
#include "core/user_folders.h"

#include <cstdlib>
#include <system_error>

#include "core/files.h"

#ifdef _WIN32
// windows.h first: the other Windows headers build on it.
#include <windows.h>

#include <shlobj.h>
#else
#include <fstream>
#include <sstream>
#endif

namespace {

bool isFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(pathFromUtf8(path), error);
}

} // namespace

bool makeFolders(const std::string& utf8Path)
{
    std::error_code error;
    std::filesystem::create_directories(pathFromUtf8(utf8Path), error);
    return isFolder(utf8Path);
}

#ifdef _WIN32

namespace {

// The known folder `id` (FOLDERID_...), or "" when Windows has none.
std::string knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR wide = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &wide) == S_OK) {
        folder = utf8FromWide(wide);
    }
    CoTaskMemFree(wide);
    return folder;
}

std::string gameFolderIn(REFKNOWNFOLDERID id)
{
    const std::string folder = knownFolder(id);
    return folder.empty() ? "" : folder + "\\Vantor";
}

} // namespace

std::string executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return "";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "" : utf8FromWide(path.substr(0, slash));
}

std::string settingsFolder() { return gameFolderIn(FOLDERID_RoamingAppData); }

std::string dataFolder() { return gameFolderIn(FOLDERID_LocalAppData); }

std::string picturesFolder()
{
    const std::string pictures = knownFolder(FOLDERID_Pictures);
    return isFolder(pictures) ? pictures : knownFolder(FOLDERID_Profile);
}

#else

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $variable when it is an absolute path, otherwise $HOME/fallback (the desktop's rule: a relative
// path is ignored); "" without a home folder.
std::string xdgFolder(const char* variable, const char* fallback)
{
    const std::string set = environment(variable);
    if (isAbsolutePath(set)) {
        return set;
    }
    const std::string home = environment("HOME");
    return home.empty() ? "" : home + "/" + fallback;
}

// The most of a user-dirs.dirs file read: the desktop's own is a few hundred bytes.
constexpr size_t userDirsLimit = 64 * 1024;

// The start of a user-dirs.dirs file, at most userDirsLimit bytes of it, when it is a regular
// file; empty otherwise. A link to a device or a pipe gives nothing and is never read from.
std::string userDirsText(const std::string& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
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

std::string gameFolderIn(const std::string& folder)
{
    return folder.empty() ? "" : folder + "/vantor";
}

} // namespace

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : utf8FromPath(executable.parent_path());
}

std::string settingsFolder() { return gameFolderIn(xdgFolder("XDG_CONFIG_HOME", ".config")); }

std::string dataFolder() { return gameFolderIn(xdgFolder("XDG_DATA_HOME", ".local/share")); }

std::string picturesFolder()
{
    const std::string home = environment("HOME");
    const std::string config = xdgFolder("XDG_CONFIG_HOME", ".config");
    const std::string pictures =
        config.empty() ? "" : picturesEntry(config + "/user-dirs.dirs", home);
    return isFolder(pictures) ? pictures : home;
}

#endif
