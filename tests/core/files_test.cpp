// The player's folders on Linux and files in folders whose names are not ASCII: the settings and
// data folders follow the desktop's variables or else the home folder; a path in UTF-8 with
// letters from several scripts is made, written, read back byte for byte and found by the
// picture search.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/files.h"
#include "core/user_folders.h"
#include "pictures/picture_file.h"
#include "test_folder.h"

TEST(UserFolders, SettingsAndDataFollowTheDesktopsVariablesOrElseHome)
{
    const std::string home = testFolder() + "home";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(settingsFolder(), home + "/.config/vantor");
    EXPECT_EQ(dataFolder(), home + "/.local/share/vantor");

    // Set but empty or relative counts as unset; an absolute path is taken as it is.
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(settingsFolder(), home + "/.config/vantor");
    setenv("XDG_DATA_HOME", "data", 1);
    EXPECT_EQ(dataFolder(), home + "/.local/share/vantor");
    setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    setenv("XDG_DATA_HOME", "/elsewhere/data", 1);
    EXPECT_EQ(settingsFolder(), "/elsewhere/config/vantor");
    EXPECT_EQ(dataFolder(), "/elsewhere/data/vantor");

    // No home and no variables: no folder to offer.
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(settingsFolder(), "");
    EXPECT_EQ(dataFolder(), "");
    EXPECT_FALSE(executableFolder().empty());
}

TEST(Files, PathsWithNonAsciiLettersAreMadeWrittenReadAndSearched)
{
    const std::string folder = testFolder() + "Zoë Ødegård/日本語/Ελληνικά";
    ASSERT_TRUE(makeFolders(folder));
    EXPECT_TRUE(makeFolders(folder)) << "an existing folder is fine";
    EXPECT_TRUE(isAbsolutePath(folder));
    EXPECT_FALSE(isAbsolutePath("gfx\\menu\\arrow.bmp"));

    // Bytes go out and come back as they are: no line ending is translated.
    const std::string path = folder + "/trace.csv";
    const std::string bytes = "a,b\n1,2\r\n\n";
    std::FILE* out = openFile(path, "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    EXPECT_EQ(std::fclose(out), 0);
    std::FILE* in = openFile(path, "rb");
    ASSERT_NE(in, nullptr);
    std::string back(64, '\0');
    back.resize(std::fread(back.data(), 1, back.size(), in));
    std::fclose(in);
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(openFile(folder + "/missing.csv", "rb"), nullptr);
    EXPECT_EQ(utf8FromPath(pathFromUtf8(path)), path);

    // A picture given by its absolute path in such a folder is found and read.
    const std::string picture = folder + "/font1sm.bmp";
    std::filesystem::copy_file("gfx/font/font1sm.bmp", pathFromUtf8(picture));
    EXPECT_EQ(findPictureFile(picture.c_str()), picture);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(readPictureSize(picture, &width, &height));
    EXPECT_GT(width, 0);
}
