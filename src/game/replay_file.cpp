// Replay files: written as the race goes, checked whole before use.
#include "game/replay_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/checksum.h"
#include "core/errors.h"
#include "core/files.h"
#include "race/race_settings.h"
#include "race/track_code.h"

namespace {

constexpr char magic[8] = {'V', 'A', 'N', 'T', 'O', 'R', 'R', 'P'};
constexpr std::size_t headerBytes = 32;
constexpr std::size_t frameBytes = 17;
constexpr std::size_t checksumBytes = 4;

void put(unsigned char* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFFu);
    }
}

uint32_t get(const unsigned char* in, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | in[i];
    }
    return value;
}

void putFloat(unsigned char* out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    put(out, bits, 4);
}

float getFloat(const unsigned char* in)
{
    const uint32_t bits = get(in, 4);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool readReplayFile(const std::string& path, Replay* replay, std::string* why)
{
    *replay = Replay{};
    std::unique_ptr<std::FILE, CloseFile> file(openFile(path, "rb"));
    if (!file) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    return readReplay(file.get(), replay, why);
}

bool readReplay(std::FILE* file, Replay* replay, std::string* why)
{
    *replay = Replay{};
    unsigned char header[headerBytes];
    const std::size_t got = std::fread(header, 1, headerBytes, file);
    if (got < sizeof magic || std::memcmp(header, magic, sizeof magic) != 0) {
        *why = "is not a replay file";
        return false;
    }
    if (got < headerBytes) {
        *why = "is truncated";
        return false;
    }
    const uint32_t version = get(header + 8, 2);
    if (version != replayVersion) {
        *why = "is a replay of version " + std::to_string(version) +
               (version > replayVersion ? ", newer than this game's" : ", which no game wrote");
        return false;
    }
    const uint32_t count = get(header + 28, 4);
    if (get(header + 10, 2) != headerBytes || get(header + 22, 2) != 0 ||
        count > largestReplayFrames) {
        *why = "is damaged: its header is wrong";
        return false;
    }
    uint32_t crc = crc32Start;
    Replay read;
    read.code.assign(reinterpret_cast<const char*>(header + 12), 10);
    read.startClock = get(header + 24, 4);
    read.frames.reserve(count);
    unsigned char bytes[frameBytes];
    for (uint32_t i = 0; i < count; ++i) {
        if (std::fread(bytes, 1, frameBytes, file) != frameBytes) {
            *why = "is truncated";
            return false;
        }
        crc = crc32Update(crc, bytes, frameBytes);
        ReplayFrame frame;
        frame.clock = get(bytes, 4);
        frame.controls = bytes[4];
        frame.x = getFloat(bytes + 5);
        frame.y = getFloat(bytes + 9);
        frame.z = getFloat(bytes + 13);
        read.frames.push_back(frame);
    }
    unsigned char stored[checksumBytes + 1];
    const std::size_t tail = std::fread(stored, 1, sizeof stored, file);
    if (tail < checksumBytes) {
        *why = "is truncated";
        return false;
    }
    if (tail > checksumBytes) {
        *why = "is damaged: it goes on after its end";
        return false;
    }
    if (get(stored, 4) != crc32Finish(crc32Update(crc, header, headerBytes))) {
        *why = "is damaged: its checksum does not match";
        return false;
    }
    // A good checksum over nonsense is a file made by something else.
    uint32_t seed = 0;
    RaceSettings settings;
    std::string codeWhy;
    if (!decodeTrackCode(read.code, &seed, &settings, &codeWhy)) {
        *why = "is damaged: its track code " + codeWhy;
        return false;
    }
    for (const ReplayFrame& frame : read.frames) {
        if ((frame.controls & ~replayControlBits) != 0 || !std::isfinite(frame.x) ||
            !std::isfinite(frame.y) || !std::isfinite(frame.z)) {
            *why = "is damaged: a frame holds what no race makes";
            return false;
        }
    }
    *replay = std::move(read);
    return true;
}

bool ReplayWriter::begin(const std::string& path, const std::string& code, uint32_t startClock)
{
    frames = 0;
    full = false;
    std::memset(header, 0, sizeof header);
    std::memcpy(header, magic, sizeof magic);
    put(header + 8, replayVersion, 2);
    put(header + 10, headerBytes, 2);
    std::memcpy(header + 12, code.data(), std::min<std::size_t>(code.size(), 10));
    put(header + 24, startClock, 4);
    crc = crc32Start;
    // The header is written again with the frame count at the end, and the checksum takes it last.
    return file.open(path) && file.write(header, headerBytes);
}

bool ReplayWriter::add(const ReplayFrame& frame)
{
    if (full || frames >= largestReplayFrames) {
        full = true;
        return false;
    }
    unsigned char bytes[frameBytes];
    put(bytes, frame.clock, 4);
    bytes[4] = frame.controls;
    putFloat(bytes + 5, frame.x);
    putFloat(bytes + 9, frame.y);
    putFloat(bytes + 13, frame.z);
    if (!file.write(bytes, frameBytes)) {
        return false;
    }
    crc = crc32Update(crc, bytes, frameBytes);
    ++frames;
    return true;
}

bool ReplayWriter::finish()
{
    put(header + 28, frames, 4);
    unsigned char sum[checksumBytes];
    put(sum, crc32Finish(crc32Update(crc, header, headerBytes)), 4);
    if (file.isOpen()) {
        file.writeAt(0, header, headerBytes) && file.write(sum, checksumBytes);
    }
    return file.commit();
}

uint8_t replayControlsOf(const RaceControls& controls)
{
    return static_cast<uint8_t>(
        (controls.accelerate ? replayAccelerate : 0) | (controls.brake ? replayBrake : 0) |
        (controls.steerLeft ? replaySteerLeft : 0) | (controls.steerRight ? replaySteerRight : 0) |
        (controls.giveUp ? replayGiveUp : 0));
}

RaceControls raceControlsOf(uint8_t replayControls)
{
    RaceControls controls;
    controls.accelerate = (replayControls & replayAccelerate) != 0;
    controls.brake = (replayControls & replayBrake) != 0;
    controls.steerLeft = (replayControls & replaySteerLeft) != 0;
    controls.steerRight = (replayControls & replaySteerRight) != 0;
    controls.giveUp = (replayControls & replayGiveUp) != 0;
    return controls;
}
