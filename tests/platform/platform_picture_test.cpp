// The picture's place in a window or screen of any size, and the pictures the player keeps:
// the pictures folder, the file names and the PNG files.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "platform/picture_fit.h"
#include "core/user_folders.h"
#include "platform/sdl/screenshot.h"
#include "test_folder.h"

namespace {

std::string describe(const PictureFit& fit)
{
    return std::to_string(fit.rect.x) + "," + std::to_string(fit.rect.y) + " " +
           std::to_string(fit.rect.w) + "x" + std::to_string(fit.rect.h) +
           (fit.smooth ? " smooth" : " sharp");
}

// The test's own folder (removed when the test passes); HOME and XDG_CONFIG_HOME point into it.
class PictureFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = std::filesystem::path(testFolder()).parent_path();
        std::filesystem::create_directories(root / "home");
        setenv("HOME", (root / "home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    void writeUserDirs(const std::filesystem::path& configFolder, const std::string& line)
    {
        std::filesystem::create_directories(configFolder);
        std::ofstream(configFolder / "user-dirs.dirs") << "# written by the test\n"
                                                       << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                       << line << "\n";
    }
    std::filesystem::path root;
};

} // namespace

TEST(PictureFit, WindowsUseWholeFactorsAndFullScreenFillsTheScreen)
{
    struct Case {
        int outW, outH;
        bool fill;
        const char* expected;
    };
    const Case cases[] = {
        {640, 480, false, "0,0 640x480 sharp"},
        {1280, 960, false, "0,0 1280x960 sharp"},
        {1400, 1000, false, "60,20 1280x960 sharp"}, // whole factor 2 with bars
        {2000, 960, false, "360,0 1280x960 sharp"},
        {600, 480, false, "0,15 600x450 smooth"}, // no whole factor fits
        {320, 400, false, "0,80 320x240 smooth"},
        {1920, 1080, true, "240,0 1440x1080 smooth"}, // full screen fills the height
        {1280, 1024, true, "0,32 1280x960 sharp"},    // fills the width, a whole factor
        {1280, 960, true, "0,0 1280x960 sharp"},
        {0, 480, false, "0,0 1x1 sharp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(fitPicture(c.outW, c.outH, 640, 480, c.fill)), c.expected)
            << c.outW << "x" << c.outH << (c.fill ? " full screen" : " windowed");
    }
}

// The wide view's picture has the screen's shape up to a screen pixel's rounding: full screen
// stretches it over the last pixels, a window shows it sharp with the rounding as thin bars, and
// a shape that truly differs keeps its bars.
TEST(PictureFit, AWidePictureFillsAScreenOfItsShapeEdgeToEdge)
{
    struct Case {
        int outW, outH, pictureW, pictureH;
        bool fill;
        const char* expected;
    };
    const Case cases[] = {
        {1920, 1080, 1708, 960, true, "0,0 1920x1080 smooth"},   // 16:9, 854 wide at scale 2
        {2560, 1440, 2562, 1440, true, "0,0 2560x1440 smooth"},  // 854 at scale 3, 2 too wide
        {1920, 1200, 1536, 960, true, "0,0 1920x1200 smooth"},   // 16:10 exactly
        {2560, 1080, 2240, 960, true, "20,0 2520x1080 smooth"},  // wider than 21:9: bars
        {1920, 1080, 1280, 960, true, "240,0 1440x1080 smooth"}, // the 4:3 view keeps its bars
        {1706, 960, 1704, 960, false, "1,0 1704x960 sharp"},     // a window: whole factor 1
        {1708, 960, 1708, 960, false, "0,0 1708x960 sharp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(fitPicture(c.outW, c.outH, c.pictureW, c.pictureH, c.fill)), c.expected)
            << c.pictureW << "x" << c.pictureH << " on " << c.outW << "x" << c.outH;
    }
}

// What the window's own surface shows: stale pixels outside the picture become black bars, the
// picture lands enlarged by whole pixels or sampled at each output pixel's centre, and the padding
// at the end of each output row stays untouched.
TEST(PictureFit, ShownPicturesFillTheirPlaceAndBarsTurnBlack)
{
    static constexpr uint32_t stale = 0x00ABCDEFu;
    static constexpr uint32_t padding = 0x00FEEDEDu;
    auto show = [](const Surface& picture, PixelRect rect, int outW, int outH) {
        const int pitch = outW + 1;
        std::vector<uint32_t> output(static_cast<size_t>(pitch * outH), stale);
        for (int y = 0; y < outH; ++y) {
            output[static_cast<size_t>(y * pitch + outW)] = padding;
        }
        PictureFit fit;
        fit.rect = rect;
        showPicture(picture, fit, output.data(), outW, outH, pitch);
        return output;
    };
    const Surface square{2, 2, {1, 2, 3, 4}};
    const uint32_t p = padding;
    // Twice its size, one column of bar on each side and one row below.
    EXPECT_EQ(show(square, PixelRect{1, 0, 4, 4}, 6, 5),
              (std::vector<uint32_t>{0, 1, 1, 2, 2, 0, p, 0, 1, 1, 2, 2, 0, p, 0, 3, 3, 4,
                                     4, 0, p, 0, 3, 3, 4, 4, 0, p, 0, 0, 0, 0, 0, 0, p}));
    // Its own size, partly off the output: only the part inside is drawn.
    EXPECT_EQ(show(square, PixelRect{-1, 1, 2, 2}, 2, 3),
              (std::vector<uint32_t>{0, 0, p, 2, 0, p, 4, 0, p}));
    // Shrunk and stretched by other than whole factors: each pixel's centre picks its source.
    const Surface row{3, 1, {5, 6, 7}};
    EXPECT_EQ(show(row, PixelRect{0, 0, 2, 1}, 2, 1), (std::vector<uint32_t>{5, 7, p}));
    EXPECT_EQ(show(row, PixelRect{0, 0, 5, 2}, 5, 2),
              (std::vector<uint32_t>{5, 5, 6, 7, 7, p, 5, 5, 6, 7, 7, p}));
    // An empty picture leaves only black.
    EXPECT_EQ(show(Surface{}, PixelRect{0, 0, 2, 1}, 2, 1), (std::vector<uint32_t>{0, 0, p}));
}

TEST_F(PictureFolder, PicturesGoToTheDesktopsPicturesFolderOrElseHome)
{
    const std::filesystem::path home = root / "home";
    EXPECT_EQ(picturesFolder(), home.string()) << "no user-dirs.dirs";

    writeUserDirs(home / ".config", "XDG_PICTURES_DIR=\"$HOME/Bilder\"");
    EXPECT_EQ(picturesFolder(), home.string()) << "the named folder does not exist";
    std::filesystem::create_directories(home / "Bilder");
    EXPECT_EQ(picturesFolder(), (home / "Bilder").string());

    // XDG_CONFIG_HOME moves the file; an absolute path is taken as it is.
    std::filesystem::create_directories(root / "shots");
    writeUserDirs(root / "config", "XDG_PICTURES_DIR=\"" + (root / "shots").string() + "\"");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    EXPECT_EQ(picturesFolder(), (root / "shots").string());

    // A file that never ends (a link to /dev/zero) is not read; home it is.
    std::filesystem::create_directories(root / "endless");
    std::filesystem::create_symlink("/dev/zero", root / "endless" / "user-dirs.dirs");
    setenv("XDG_CONFIG_HOME", (root / "endless").c_str(), 1);
    EXPECT_EQ(picturesFolder(), home.string());
}

TEST_F(PictureFolder, NamesCarryDateAndTimeAndNeverReplaceAPicture)
{
    const std::string folder = (root / "home").string();
    std::tm moment{};
    moment.tm_year = 2024 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 9;
    moment.tm_hour = 14;
    moment.tm_min = 5;
    moment.tm_sec = 7;
    moment.tm_isdst = -1;
    const std::time_t when = std::mktime(&moment);
    const std::string first = newPictureName(folder, when);
    EXPECT_EQ(first, folder + "/vantor-2024-03-09_14-05-07.png");
    std::ofstream(first) << "taken";
    EXPECT_EQ(newPictureName(folder, when), folder + "/vantor-2024-03-09_14-05-07-2.png");
}

TEST_F(PictureFolder, PngHoldsThePictureAndAFailureSaysWhy)
{
    Surface picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456, 0x00000000, 0x00FFFFFF};
    const std::string path = (root / "home" / "shot.png").string();
    std::string why;
    ASSERT_TRUE(writePng(path, picture, &why)) << why;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    image.format = PNG_FORMAT_RGB;
    unsigned char pixels[18] = {};
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) << image.message;
    const unsigned char expected[18] = {255,  0,    0,    0, 255, 0, 0,   0,   255,
                                        0x12, 0x34, 0x56, 0, 0,   0, 255, 255, 255};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(pixels[i], expected[i]) << "byte " << i;
    }

    const std::string nowhere = (root / "missing" / "shot.png").string();
    EXPECT_FALSE(writePng(nowhere, picture, &why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(nowhere));

    // A full disk, as /dev/full is: the system's reason, and the file (here a link) removed.
    const std::filesystem::path full = root / "full.png";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_FALSE(writePng(full.string(), picture, &why));
    EXPECT_EQ(why, "No space left on device");
    EXPECT_FALSE(std::filesystem::is_symlink(full));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}
