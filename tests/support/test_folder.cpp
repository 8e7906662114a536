// Per-test folders, removed at the end of each test that did not fail.
#include "test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// Watches the end of every test and clears away the folder the test made, if it made one.
class TestFolderCleaner final : public testing::EmptyTestEventListener {
public:
    std::string folder; // the running test's folder, empty until it asks for one

    void OnTestEnd(const testing::TestInfo& test) override
    {
        if (folder.empty()) {
            return;
        }
        if (test.result()->Failed()) {
            std::printf("Files of %s.%s kept in %s\n", test.test_suite_name(), test.name(),
                        folder.c_str());
        } else {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
        folder.clear();
    }
};

// Registered with the test run on first use; the run owns it from then on.
TestFolderCleaner* cleaner = nullptr;

} // namespace

std::string testFolder()
{
    if (cleaner == nullptr) {
        cleaner = new TestFolderCleaner;
        testing::UnitTest::GetInstance()->listeners().Append(cleaner);
    }
    if (cleaner->folder.empty()) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string named = std::string("vantor_") + test->test_suite_name() + "_" + test->name();
        for (char& c : named) {
            c = c == '/' ? '_' : c; // parameterised tests have slashes in their names
        }
        const std::string pattern = testing::TempDir() + named + "_XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) {
            ADD_FAILURE() << "Cannot make a test folder from " << pattern;
            return testing::TempDir();
        }
        cleaner->folder = std::string(name.data()) + "/";
    }
    return cleaner->folder;
}
