// Files written whole or not at all: a temporary file beside, renamed into place at the end.
#include "core/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "core/files.h"

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::fail(const char* reason)
{
    setLastPlatformError(reason);
    failed = true;
    return false;
}

bool AtomicFile::open(const std::string& path)
{
    namespace fs = std::filesystem;
    abandon();
    failed = false;
    std::error_code error;
    fs::path target = pathFromUtf8(path);
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        writingPath = finalPath = path;
    } else {
        if (fs::exists(status) && fs::is_symlink(fs::symlink_status(target, error))) {
            const fs::path linked = fs::canonical(target, error);
            if (!error) {
                target = linked;
            }
        }
        finalPath = utf8FromPath(target);
        writingPath = finalPath + unfinishedFileSuffix;
    }
    file = openFile(writingPath, "wb");
    if (file == nullptr) {
        return fail(std::strerror(errno));
    }
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size)
{
    if (file == nullptr || failed) {
        return false;
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        return fail(std::strerror(errno));
    }
    return true;
}

bool AtomicFile::writeAt(uint64_t offset, const void* data, std::size_t size)
{
    if (file == nullptr || failed) {
        return false;
    }
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(data, 1, size, file) != size || std::fseek(file, 0, SEEK_END) != 0) {
        return fail(std::strerror(errno));
    }
    return true;
}

bool AtomicFile::commit()
{
    if (file == nullptr) {
        return fail("no file is open");
    }
    if (failed) {
        // The failure was told when it happened.
        abandon();
        return false;
    }
    const bool closed = std::fclose(file) == 0;
    const int closeErrno = errno;
    file = nullptr;
    if (!closed) {
        removeUnfinished();
        return fail(std::strerror(closeErrno));
    }
    if (writingPath != finalPath) {
        std::error_code error;
        std::filesystem::rename(pathFromUtf8(writingPath), pathFromUtf8(finalPath), error);
        if (error) {
            removeUnfinished();
            return fail(error.message().c_str());
        }
    }
    return true;
}

void AtomicFile::abandon()
{
    if (file == nullptr) {
        return;
    }
    std::fclose(file);
    file = nullptr;
    removeUnfinished();
}

void AtomicFile::removeUnfinished()
{
    if (writingPath != finalPath) {
        std::error_code error;
        std::filesystem::remove(pathFromUtf8(writingPath), error);
    }
}
