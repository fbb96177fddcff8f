#include "platform/CodePage.h"
#include "support/FileIo.h"
#include "tests/support/TestScopes.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

std::string Contents(const std::string& nativePath)
{
    std::ifstream in(nativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Store(const std::string& nativePath, const std::string& contents)
{
    std::ofstream(nativePath, std::ios::binary) << contents;
}

unsigned ModeOf(const std::string& nativePath)
{
    struct stat status {};
    ::stat(nativePath.c_str(), &status);
    return status.st_mode & 0777;
}

size_t EntriesIn(const std::string& nativeFolder)
{
    auto entries = std::filesystem::directory_iterator(nativeFolder);
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_saved(::umask(mask)) { }
    ~UmaskScope() { ::umask(m_saved); }

private:
    mode_t m_saved;
};

}

TEST(ReadFile, WholeFilesComeWithZeroPaddingAndFailuresWithNothing)
{
    TestFolder folder;
    Store(folder.Native("a.dat"), std::string("ab\0cd", 5));
    size_t length = 99;
    auto buffer = ReadWholeFile(folder.Internal("a.dat"), length);
    ASSERT_TRUE(buffer);
    ASSERT_EQ(length, 5u);
    EXPECT_EQ(std::memcmp(buffer.get(), "ab\0cd", 5), 0);
    for (size_t i = 0; i < kReadPadding; ++i)
        ASSERT_EQ(buffer[length + i], 0) << i;

    Store(folder.Native("empty.dat"), "");
    length = 99;
    EXPECT_TRUE(ReadWholeFile(folder.Internal("empty.dat"), length));
    EXPECT_EQ(length, 0u);

    for (std::string missing : { folder.Internal("missing.dat"), folder.Internal(), std::string() }) {
        length = 99;
        EXPECT_FALSE(ReadWholeFile(missing, length)) << missing;
        EXPECT_EQ(length, 0u);
    }
}

TEST(ReadFile, PipesFailRatherThanBlock)
{
    TestFolder folder;
    ASSERT_EQ(::mkfifo(folder.Native("pipe").c_str(), 0600), 0);
    std::string pipe = folder.Internal("pipe");
    size_t length = 99;
    char buffer[4];
    int major = 0, minor = 0, build = 0, revision = 0;
    EXPECT_FALSE(ReadWholeFile(pipe, length));
    EXPECT_EQ(ReadTextFile(pipe), "");
    EXPECT_EQ(ReadFileAt(pipe, buffer, 0, sizeof buffer), 0);
    EXPECT_EQ(AppendToFile(pipe, "x", 1), 0);
    EXPECT_EQ(GetFileVersion(pipe, major, minor, build, revision), 0);
}

TEST(ReadFile, ReadAtFailsAtOrPastTheEnd)
{
    TestFolder folder;
    Store(folder.Native("ten.dat"), "0123456789");
    Store(folder.Native("empty.dat"), "");
    char buffer[16] = {};
    EXPECT_EQ(ReadFileAt(folder.Internal("ten.dat"), buffer, 0, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(ReadFileAt(folder.Internal("ten.dat"), buffer, 7, 16), 3);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(ReadFileAt(folder.Internal("ten.dat"), buffer, 9, 16), 1);
    EXPECT_EQ(ReadFileAt(folder.Internal("ten.dat"), buffer, 10, 1), 0);
    EXPECT_EQ(ReadFileAt(folder.Internal("empty.dat"), buffer, 0, 1), 0);
    EXPECT_EQ(ReadFileAt(folder.Internal("missing.dat"), buffer, 0, 1), 0);
}

TEST(TextFiles, LineEndsAreCrLfOnDiskAndLfInMemory)
{
    TestFolder folder;
    std::string path = folder.Internal("startup.ini");
    EXPECT_EQ(WriteTextFile(path, "NoWelcome\nsecond\r\nthird\r"), 1);
    EXPECT_EQ(Contents(folder.Native("startup.ini")), "NoWelcome\r\nsecond\r\nthird");
    EXPECT_EQ(ReadTextFile(path), "NoWelcome\nsecond\nthird");

    EXPECT_EQ(WriteTextFile(path, "\n\n"), 1);
    EXPECT_EQ(Contents(folder.Native("startup.ini")), "\r\n\r\n");

    EXPECT_EQ(WriteTextFile(path, nullptr), 0);
    EXPECT_EQ(Contents(folder.Native("startup.ini")), "\r\n\r\n");
    EXPECT_EQ(ReadTextFile(folder.Internal("missing.ini")), "");
}

TEST(TextFiles, Cp932TextKeepsItsDoubleByteCharacters)
{
    CodePageScope cp932(CodePage::Cp932);
    TestFolder folder;
    std::string text = Sjis("表ソ\r\nか\r\n");
    Store(folder.Native("text.txt"), text);
    EXPECT_EQ(ReadTextFile(folder.Internal("text.txt")), Sjis("表ソ\nか\n"));
}

TEST(WriteFile, CreatedFilesAreUsableByEveryUser)
{
    UmaskScope umask(077);
    TestFolder folder;
    EXPECT_EQ(WriteWholeFile(folder.Internal("whole.dat"), "abc", 3), 1);
    EXPECT_EQ(AppendToFile(folder.Internal("append.dat"), "abc", 3), 1);
    EXPECT_EQ(WriteTextFile(folder.Internal("text.txt"), "abc"), 1);
    EXPECT_EQ(WriteTwoParts(folder.Internal("two.dat"), "ab", 2, "c", 1), 1);
    for (const char* name : { "whole.dat", "append.dat", "text.txt", "two.dat" }) {
        EXPECT_EQ(ModeOf(folder.Native(name)), 0666u) << name;
        EXPECT_EQ(Contents(folder.Native(name)), "abc") << name;
    }
    EXPECT_EQ(EntriesIn(folder.Native()), 4u);
}

TEST(WriteFile, WholeFileWritesReplaceAndAppendsExtend)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    EXPECT_EQ(WriteWholeFile(path, "first version", 13), 1);
    EXPECT_EQ(WriteWholeFile(path, "second", 6), 1);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), "second");
    EXPECT_EQ(WriteWholeFile(path, nullptr, 0), 1);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), "");

    EXPECT_EQ(AppendToFile(path, "ab", 2), 1);
    EXPECT_EQ(AppendToFile(path, "cd", 2), 1);
    EXPECT_EQ(AppendToFile(path, nullptr, 0), 1);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), "abcd");

    std::string header(40, 'h');
    std::string pixels(3000, 'p');
    EXPECT_EQ(WriteTwoParts(path, header.data(), header.size(), pixels.data(), pixels.size()), 1);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), header + pixels);
}

TEST(WriteFile, FailedWritesLeaveTheOldFileWhole)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    Store(folder.Native("Score.dat"), "old score");

    EXPECT_EQ(WriteWholeFile(path, nullptr, 5), 0);
    EXPECT_EQ(AppendToFile(path, nullptr, 5), 0);
    EXPECT_EQ(WriteTwoParts(path, "ab", 2, nullptr, 5), 0);
    EXPECT_EQ(WriteWholeFile(folder.Internal("missing\\Score.dat"), "x", 1), 0);
    EXPECT_EQ(AppendToFile(folder.Internal("missing\\Score.dat"), "x", 1), 0);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), "old score");

    // A disk that fills up in the middle of the write: a child process with a
    // file size limit below the new content.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4096, 4096 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string big(100000, 'n');
        int whole = WriteWholeFile(path, big.data(), big.size());
        int two = WriteTwoParts(path, big.data(), 10, big.data(), big.size());
        int text = WriteTextFile(path, big.c_str());
        ::_exit(whole == 0 && two == 0 && text == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), "old score");
    EXPECT_EQ(EntriesIn(folder.Native()), 1u);
}

TEST(WriteFile, AWriterKilledAtAnyMomentLeavesOneWholeVersion)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    // Versions differ in length and in every byte, so any mix shows.
    const std::string versions[] = { std::string(48000, 'a'), std::string(70000, 'b'), std::string(3000, 'c') };
    ASSERT_EQ(WriteWholeFile(path, versions[0].data(), versions[0].size()), 1);

    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (size_t i = 0;; ++i) {
                const std::string& version = versions[i % std::size(versions)];
                WriteWholeFile(path, version.data(), version.size());
            }
        }
        ::usleep(200 + random() % 5000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string contents = Contents(folder.Native("Score.dat"));
        EXPECT_TRUE(contents == versions[0] || contents == versions[1] || contents == versions[2])
            << "round " << round << ": " << contents.size() << " bytes";
    }
}

TEST(WriteFile, Cp932NamesAreUtf8OnDisk)
{
    CodePageScope cp932(CodePage::Cp932);
    TestFolder folder;
    std::string name = Sjis("表ソ.txt");
    EXPECT_EQ(WriteWholeFile(folder.Internal(name), "x", 1), 1);
    EXPECT_EQ(Contents(folder.Native("表ソ.txt")), "x");
    EXPECT_EQ(FileExists(folder.Internal(name)), 1);
    EXPECT_EQ(DeleteFile(folder.Internal(name)), 1);
    EXPECT_EQ(FileExists(folder.Internal(name)), 0);
}

TEST(FileExistsAndDelete, ReportWhatTheFileSystemHas)
{
    TestFolder folder;
    Store(folder.Native("startup.ini"), "NoWelcome");
    EXPECT_EQ(FileExists(folder.Internal("startup.ini")), 1);
    EXPECT_EQ(FileExists(folder.Internal()), 1);
    EXPECT_EQ(FileExists(folder.Internal("missing.ini")), 0);
    EXPECT_EQ(DeleteFile(folder.Internal("startup.ini")), 1);
    EXPECT_EQ(DeleteFile(folder.Internal("startup.ini")), 0);
    EXPECT_EQ(FileExists(folder.Internal("startup.ini")), 0);
}
