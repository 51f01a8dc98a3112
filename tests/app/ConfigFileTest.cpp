#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/ConfigFile.h"

namespace {

struct FirstLine {
    const char* name;
    std::string bytes;
    std::string line;
};

// Test names carry the case's name; without this gtest would print the struct's bytes.
void PrintTo(const FirstLine& line, std::ostream* out) { *out << line.name; }

class ConfigFileTest : public ::testing::TestWithParam<FirstLine> {};

TEST_P(ConfigFileTest, ReadsTheFirstLineAsItStands) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys.txt"));
    std::ofstream(path.toStdString(), std::ios::binary) << GetParam().bytes;
    EXPECT_EQ(ReadFirstLine(path), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigFileTest,
    ::testing::Values(FirstLine{"Plain", "servidor\n", "servidor"},
                      FirstLine{"NoLineEnd", "servidor", "servidor"},
                      FirstLine{"WindowsLineEnd", "servidor\r\nsegunda", "servidor"},
                      FirstLine{"FurtherLinesIgnored", "a\nb\nc\n", "a"},
                      FirstLine{"BlanksKept", "  10.0.0.5 \t\n", "  10.0.0.5 \t"},
                      FirstLine{"Empty", "", ""}, FirstLine{"EmptyFirstLine", "\nbeleza\n", ""},
                      FirstLine{"EightBit", "escrit\xf3rio\n", "escrit\xf3rio"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigFile, UserFolderFirstThenProgramFolderThenFallback) {
    QTemporaryDir user;
    QTemporaryDir program;
    QTemporaryDir fallback;
    const TConfigFolders folders{program.path(), fallback.path(), user.path()};
    const auto sysIn = [](const QTemporaryDir& dir) {
        return dir.filePath(QStringLiteral("sys.txt"));
    };
    EXPECT_FALSE(FindConfigFile(folders, QStringLiteral("sys.txt")));

    std::ofstream(sysIn(fallback).toStdString()) << "c";
    EXPECT_EQ(FindConfigFile(folders, QStringLiteral("sys.txt")), sysIn(fallback));

    std::ofstream(sysIn(program).toStdString()) << "b";
    EXPECT_EQ(FindConfigFile(folders, QStringLiteral("sys.txt")), sysIn(program));

    std::ofstream(sysIn(user).toStdString()) << "a";
    EXPECT_EQ(FindConfigFile(folders, QStringLiteral("sys.txt")), sysIn(user));
    // Each file on its own: the user's sys.txt does not hide the program folder's banco.txt.
    std::ofstream(program.filePath(QStringLiteral("banco.txt")).toStdString()) << "d";
    EXPECT_EQ(FindConfigFile(folders, QStringLiteral("banco.txt")),
              program.filePath(QStringLiteral("banco.txt")));
}

TEST(ConfigFile, UserFolderUnderXdgConfigHomeElseHomeConfig) {
    EXPECT_EQ(UserConfigFolder(QStringLiteral("/xdg"), QStringLiteral("/home/maria")),
              QStringLiteral("/xdg/brevanto-scanner"));
    EXPECT_EQ(UserConfigFolder(QString(), QStringLiteral("/home/maria")),
              QStringLiteral("/home/maria/.config/brevanto-scanner"));
}

TEST(ConfigFile, AFolderOfThatNameIsNoFile) {
    QTemporaryDir program;
    QTemporaryDir fallback;
    QDir(program.path()).mkdir(QStringLiteral("banco.txt"));
    std::ofstream(fallback.filePath(QStringLiteral("banco.txt")).toStdString()) << "x";
    EXPECT_EQ(FindConfigFile({program.path(), fallback.path()}, QStringLiteral("banco.txt")),
              fallback.filePath(QStringLiteral("banco.txt")));
}

TEST(ConfigFile, UnreadableFileIsAnErrorNamingIt) {
    // A folder opens but cannot be read, whoever runs the test (root reads any plain file).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys.txt"));
    QDir(dir.path()).mkdir(QStringLiteral("sys.txt"));
    try {
        ReadFirstLine(path);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + path.toStdString() + "\". Is a directory");
    }
}

TEST(ConfigFile, VanishedFileIsAnError) {
    EXPECT_THROW(ReadFirstLine(QStringLiteral("/nonexistent/brevanto/sys.txt")),
                 std::runtime_error);
}

}  // namespace
