#pragma once
// Files and paths of the game and its tools. Paths inside the game are UTF-8 strings; only here do
// they meet the system: on Windows through its wide (UTF-16) calls, so a folder with non-ASCII
// letters in its name works as on Linux.

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

// The separator the system shows in paths: '\\' on Windows, '/' elsewhere (both work on Windows).
#ifdef _WIN32
inline constexpr char folderSeparator = '\\';
#else
inline constexpr char folderSeparator = '/';
#endif

// Opens the file at `utf8Path` with the C library's `mode` ("rb", "wb", ...), as std::fopen does;
// the caller closes it with std::fclose. Every reader and writer of files in the game and the
// tools opens through here, always in binary mode, so that every output is byte for byte the same
// on every system (no line ending is ever translated). Null when the file cannot be opened.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

// The UTF-8 path as a std::filesystem path, and back; for the std::filesystem queries the
// picture search makes (whether a file exists, its size, a folder's parent).
std::filesystem::path pathFromUtf8(const std::string& utf8Path);
std::string utf8FromPath(const std::filesystem::path& path);

// The local time of `when`, from the C library each system has (thread-safe). For std::strftime
// where the game names files by their date (pictures, damaged records) and dates the races in the
// records.
std::tm localTimeOf(std::time_t when);

// True for a path that names its place without the working folder: "/..." on Linux; "C:\...",
// "C:/..." or "\\server\..." on Windows.
bool isAbsolutePath(const std::string& utf8Path);

// The start of a command-line program (the tools): its standard output and error in binary mode
// (on Windows they would write CRLF; the tools' outputs are the same bytes everywhere), and its
// arguments in UTF-8: on Linux as given; on Windows the wide command line converted, so a path
// with non-ASCII letters survives whatever the system's code page. `pointers` holds argc entries
// into `words` and a null after them: main goes on with `argv = arguments.pointers.data()`.
struct Utf8Arguments {
    std::vector<std::string> words;
    std::vector<char*> pointers;
};
Utf8Arguments startCommandLineProgram(int argc, char** argv);

#ifdef _WIN32
// Windows only: UTF-8 to the system's wide text and back, for the calls at the edge.
std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& wide);
#endif
