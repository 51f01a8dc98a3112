#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/win/Directories.h"

namespace {

using win::SystemFolder;

class WinDirectories : public ::testing::Test {
  protected:
    void TearDown() override {
        for (auto folder : {SystemFolder::Windows, SystemFolder::System, SystemFolder::Current,
                            SystemFolder::ProgramFile, SystemFolder::Temp})
            win::SetFolderOverride(folder, std::nullopt);
    }
};

TEST_F(WinDirectories, SystemAnswersMapToLinuxFolders) {
    char buffer[261] = {};
    EXPECT_EQ(win::GetWindowsDirectory(buffer, 260), 14u);
    EXPECT_STREQ(buffer, "/usr/local/lib");
    EXPECT_EQ(win::GetSystemDirectory(buffer, 260), 8u);
    EXPECT_STREQ(buffer, "/usr/lib");
    ASSERT_GT(win::GetCurrentDirectory(260, buffer), 0u);
    EXPECT_EQ(std::filesystem::path(buffer), std::filesystem::current_path());
    ASSERT_GT(win::GetModuleFileName(nullptr, buffer, 260), 0u);
    EXPECT_EQ(std::filesystem::path(buffer).filename(), "win_tests");
    ASSERT_GT(win::GetTempPath(260, buffer), 0u);
    EXPECT_EQ(std::string(buffer).back(), '/');
}

TEST_F(WinDirectories, TooSmallBufferReportsNeededSizeAndCopiesNothing) {
    const std::string longName = "/tmp/" + std::string(300, 'x');
    win::SetFolderOverride(SystemFolder::System, longName);
    char small[261] = "untouched";
    EXPECT_EQ(win::GetSystemDirectory(small, 260), longName.size() + 1);
    EXPECT_STREQ(small, "untouched");
    std::string big(longName.size() + 1, '\0');
    EXPECT_EQ(win::GetSystemDirectory(big.data(), static_cast<win::UINT>(big.size())),
              longName.size());
    EXPECT_EQ(big.c_str(), longName);
    // Exactly the name without room for its zero is too small as well.
    EXPECT_EQ(win::GetSystemDirectory(big.data(), static_cast<win::UINT>(longName.size())),
              longName.size() + 1);
}

TEST_F(WinDirectories, OverridesReplaceEachFolder) {
    const std::pair<SystemFolder, const char*> cases[] = {{SystemFolder::Windows, "/w"},
                                                          {SystemFolder::System, "/s"},
                                                          {SystemFolder::Current, "/c"},
                                                          {SystemFolder::ProgramFile, "/p/prog"},
                                                          {SystemFolder::Temp, "/t/"}};
    for (const auto& [folder, value] : cases) win::SetFolderOverride(folder, value);
    char buffer[32];
    win::GetWindowsDirectory(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/w");
    win::GetSystemDirectory(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/s");
    win::GetCurrentDirectory(sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "/c");
    win::GetModuleFileName(nullptr, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/p/prog");
    win::GetTempPath(sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "/t/");
}

TEST_F(WinDirectories, FileExistsTestsOneExactPath) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("win-exists-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "libtwain_32.so";
    std::ofstream(file) << "x";
    EXPECT_TRUE(win::FileExists(file.c_str()));
    EXPECT_FALSE(win::FileExists((dir / "LIBTWAIN_32.SO").c_str()));
    EXPECT_FALSE(win::FileExists((dir / "missing").c_str()));
    EXPECT_FALSE(win::FileExists(""));
    EXPECT_FALSE(win::FileExists(nullptr));
    std::filesystem::remove_all(dir);
}

}  // namespace
