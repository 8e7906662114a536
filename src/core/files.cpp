// Files and paths: the C library's and std::filesystem's calls, wide on Windows.
#include "core/files.h"

#include <cctype>
#include <utility>

#ifdef _WIN32
// windows.h first: the other Windows headers build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace {

// The arguments' words with `pointers` set to them, a null after the last.
Utf8Arguments withPointers(Utf8Arguments arguments)
{
    arguments.pointers.clear();
    for (std::string& word : arguments.words) {
        arguments.pointers.push_back(word.data());
    }
    arguments.pointers.push_back(nullptr);
    return arguments;
}

} // namespace

#ifdef _WIN32

std::wstring wideFromUtf8(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string utf8FromWide(const std::wstring& wide)
{
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, nullptr);
    return text;
}

std::FILE* openFile(const std::string& utf8Path, const char* mode)
{
    return _wfopen(wideFromUtf8(utf8Path).c_str(), wideFromUtf8(mode).c_str());
}

Utf8Arguments startCommandLineProgram(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Utf8Arguments arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr && count == argc) {
        for (int i = 0; i < count; ++i) {
            arguments.words.push_back(utf8FromWide(wide[i]));
        }
    } else {
        for (int i = 0; i < argc; ++i) {
            arguments.words.emplace_back(argv[i]);
        }
    }
    LocalFree(wide);
    return withPointers(std::move(arguments));
}

bool isAbsolutePath(const std::string& utf8Path)
{
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    if (utf8Path.size() >= 2 && separator(utf8Path[0]) && separator(utf8Path[1])) {
        return true;
    }
    return utf8Path.size() >= 3 && std::isalpha(static_cast<unsigned char>(utf8Path[0])) &&
           utf8Path[1] == ':' && separator(utf8Path[2]);
}

#else

Utf8Arguments startCommandLineProgram(int argc, char** argv)
{
    Utf8Arguments arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.words.emplace_back(argv[i]);
    }
    return withPointers(std::move(arguments));
}

std::FILE* openFile(const std::string& utf8Path, const char* mode)
{
    return std::fopen(utf8Path.c_str(), mode);
}

bool isAbsolutePath(const std::string& utf8Path)
{
    return !utf8Path.empty() && utf8Path.front() == '/';
}

#endif

std::filesystem::path pathFromUtf8(const std::string& utf8Path)
{
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::tm localTimeOf(std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}
