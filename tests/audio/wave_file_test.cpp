// The WAV writer, fed piece by piece as a mix is: the header's sizes and the samples are right
// once the file is finished, and until then the file sits under its temporary name; at its limit
// (lowered here) it keeps what fits and is finished with the sizes of what it holds; a file that
// cannot be made, or fails on the way, leaves nothing under its name, and an earlier file of that
// name stays as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "core/errors.h"
#include "test_folder.h"
#include "tool_run.h"

using tool_run::readFile;

namespace {

uint32_t word(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// `frames` stereo frames counting up from `first` on the left, down on the right.
std::vector<int16_t> ramp(int first, size_t frames)
{
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>(first + static_cast<int>(i)));
        samples.push_back(static_cast<int16_t>(-first - static_cast<int>(i)));
    }
    return samples;
}

void expectHeader(const std::string& wav, uint32_t dataBytes)
{
    ASSERT_EQ(wav.size(), 44u + dataBytes);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(word(wav, 4), 36u + dataBytes);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(word(wav, 16), 16u);
    EXPECT_EQ(word(wav, 20), 1u | 2u << 16); // PCM, two channels
    EXPECT_EQ(word(wav, 24), 44100u);
    EXPECT_EQ(word(wav, 28), 44100u * 4u);
    EXPECT_EQ(word(wav, 32), 4u | 16u << 16); // four bytes a frame, 16 bits a sample
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(word(wav, 40), dataBytes);
}

} // namespace

TEST(WaveWriter, PiecesMakeOneFileWithItsSizesAppearingUnderItsNameWhenFinished)
{
    const std::string path = testFolder() + "mix.wav";
    WaveWriter wave;
    ASSERT_TRUE(wave.open(path)) << lastPlatformError();
    // Pieces larger and smaller than the writer's own, negative samples among them.
    const std::vector<int16_t> first = ramp(-3000, 5000);
    const std::vector<int16_t> second = ramp(100, 3);
    EXPECT_EQ(wave.append(first.data(), 5000), WaveAppend::Written);
    EXPECT_EQ(wave.append(second.data(), 3), WaveAppend::Written);
    EXPECT_EQ(wave.append(second.data(), 0), WaveAppend::Written);
    EXPECT_EQ(wave.dataBytes(), 5003u * 4u);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(path + ".partial"));
    ASSERT_TRUE(wave.finish()) << lastPlatformError();
    EXPECT_FALSE(wave.isOpen());
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));

    const std::string wav = readFile(path);
    expectHeader(wav, 5003 * 4);
    std::vector<int16_t> all = first;
    all.insert(all.end(), second.begin(), second.end());
    for (size_t i = 0; i < all.size(); ++i) {
        const auto low = static_cast<unsigned char>(wav[44 + 2 * i]);
        const auto high = static_cast<unsigned char>(wav[44 + 2 * i + 1]);
        ASSERT_EQ(static_cast<int16_t>(static_cast<uint16_t>(low | high << 8)), all[i])
            << "sample " << i;
    }

    // Nothing at all is a file of header only.
    WaveWriter empty;
    ASSERT_TRUE(empty.open(path));
    ASSERT_TRUE(empty.finish());
    expectHeader(readFile(path), 0);
}

TEST(WaveWriter, AtItsLimitKeepsWhatFitsAndIsFinishedWithTheSizesOfWhatItHolds)
{
    // The format's limit: the file's own size field counts 36 bytes more than the samples.
    EXPECT_EQ(waveDataLimit % 4, 0u);
    EXPECT_LE(waveDataLimit + 36, uint64_t{UINT32_MAX});
    EXPECT_GT(waveDataLimit + 40, uint64_t{UINT32_MAX});

    // A limit of 1002 bytes holds 250 whole frames.
    const std::string path = testFolder() + "full.wav";
    WaveWriter wave(1002);
    ASSERT_TRUE(wave.open(path));
    const std::vector<int16_t> samples = ramp(0, 200);
    EXPECT_EQ(wave.append(samples.data(), 200), WaveAppend::Written);
    EXPECT_EQ(wave.append(samples.data(), 50), WaveAppend::Written); // exactly full
    EXPECT_EQ(wave.append(samples.data(), 1), WaveAppend::Full);
    EXPECT_EQ(wave.dataBytes(), 1000u);
    ASSERT_TRUE(wave.finish());
    const std::string wav = readFile(path);
    expectHeader(wav, 1000);

    // A piece that runs past the limit is cut at it.
    WaveWriter cut(1000);
    ASSERT_TRUE(cut.open(path));
    EXPECT_EQ(cut.append(samples.data(), 200), WaveAppend::Written);
    EXPECT_EQ(cut.append(samples.data(), 200), WaveAppend::Full);
    EXPECT_EQ(cut.append(samples.data(), 200), WaveAppend::Full);
    ASSERT_TRUE(cut.finish());
    EXPECT_EQ(readFile(path), wav);
}

TEST(WaveWriter, FailuresLeaveNothingUnderTheNameAndAnEarlierFileAsItWas)
{
    const std::string folder = testFolder();
    WaveWriter missing;
    EXPECT_FALSE(missing.open(folder + "no/such/folder.wav"));
    ASSERT_NE(lastPlatformError(), nullptr);
    EXPECT_STREQ(lastPlatformError(), "No such file or directory");

    // Abandoned, or destroyed unfinished: the earlier file stays, no temporary file is left.
    const std::string earlier = folder + "earlier.wav";
    std::ofstream(earlier) << "the earlier sound";
    const std::vector<int16_t> samples = ramp(0, 100);
    {
        WaveWriter wave;
        ASSERT_TRUE(wave.open(earlier));
        wave.append(samples.data(), 100);
        wave.abandon();
        EXPECT_FALSE(wave.finish());
        WaveWriter dropped;
        ASSERT_TRUE(dropped.open(earlier));
        dropped.append(samples.data(), 100);
    }
    EXPECT_EQ(readFile(earlier), "the earlier sound");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);

    // A full disk: told by finish with the system's reason.
    WaveWriter full;
    ASSERT_TRUE(full.open("/dev/full"));
    EXPECT_EQ(full.append(samples.data(), 100), WaveAppend::Written); // still in the buffer
    EXPECT_FALSE(full.finish());
    EXPECT_STREQ(lastPlatformError(), "No space left on device");

    // A name that is a link: the file it names is replaced, the link stays.
    const std::string linked = folder + "linked.wav";
    std::filesystem::create_symlink("earlier.wav", linked);
    WaveWriter through;
    ASSERT_TRUE(through.open(linked));
    through.append(samples.data(), 100);
    ASSERT_TRUE(through.finish());
    EXPECT_TRUE(std::filesystem::is_symlink(linked));
    expectHeader(readFile(earlier), 400);
}
