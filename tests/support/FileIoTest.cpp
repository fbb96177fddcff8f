#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "support/FileIo.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestScopes.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/file.h>
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
    struct stat status { };
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
    explicit UmaskScope(mode_t mask)
        : m_saved(::umask(mask))
    {
    }
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

TEST(ReadFile, NoRegularFileInPlaceFailsWithinASecond)
{
    TestFolder folder;
    ASSERT_EQ(::mkfifo(folder.Native("pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.Native("folder"));
    // A device whose reads never end.
    std::filesystem::create_symlink("/dev/zero", folder.Native("device"));
    for (const char* name : { "pipe", "folder", "device" }) {
        std::string path = folder.Internal(name);
        int status = ExitStatusWithin(1000, [&] {
            size_t length = 99;
            char buffer[4];
            int major = 0, minor = 0, build = 0, revision = 0;
            return !ReadWholeFile(path, length) && length == 0 && ReadTextFile(path).empty()
                && ReadFileAt(path, buffer, 0, sizeof buffer) == 0 && AppendToFile(path, "x", 1) == 0
                && GetFileVersion(path, major, minor, build, revision) == 0;
        });
        EXPECT_EQ(status, 0) << name;
    }
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
    EXPECT_EQ(EntriesIn(folder.GetNative()), 4u);
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
    EXPECT_EQ(EntriesIn(folder.GetNative()), 1u);
}

namespace {

// Temporaries of atomic writes found in the folder.
size_t TemporariesIn(const std::string& nativeFolder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(nativeFolder))
        count += entry.path().filename().string().find(".tmp") != std::string::npos;
    return count;
}

// Writers of `versions` in turn, killed at random moments: the file is always
// one whole version, and the next write leaves no temporary behind.
template <typename WriteVersion>
void ExpectKilledWritersLeaveWholeVersions(const TestFolder& folder, const std::string versions[3],
    const std::string onDisk[3], WriteVersion write)
{
    ASSERT_EQ(write(versions[0]), 1);
    KillWritersRepeatedly(
        30, 5000,
        [&] {
            for (size_t i = 0;; ++i)
                write(versions[i % 3]);
        },
        [&](int round) {
            std::string contents = Contents(folder.Native("Score.dat"));
            EXPECT_TRUE(contents == onDisk[0] || contents == onDisk[1] || contents == onDisk[2])
                << "round " << round << ": " << contents.size() << " bytes";
        });
    ASSERT_EQ(write(versions[1]), 1);
    EXPECT_EQ(Contents(folder.Native("Score.dat")), onDisk[1]);
    EXPECT_EQ(TemporariesIn(folder.GetNative()), 0u);
}

}

TEST(KilledWriters, WholeFileWritesLeaveOneWholeVersion)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    // Versions differ in length and in every byte, so any mix shows.
    const std::string versions[] = { std::string(48000, 'a'), std::string(70000, 'b'), std::string(3000, 'c') };
    ExpectKilledWritersLeaveWholeVersions(folder, versions, versions,
        [&](const std::string& version) { return WriteWholeFile(path, version.data(), version.size()); });
}

TEST(KilledWriters, TextFileWritesLeaveOneWholeVersion)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    std::string lineFeeds(20000, '\n');
    std::string lineEnds;
    for (size_t i = 0; i < lineFeeds.size(); ++i)
        lineEnds += "\r\n";
    const std::string versions[] = { std::string(30000, 'a') + "\n", lineFeeds, "NoWelcome" };
    const std::string onDisk[] = { std::string(30000, 'a') + "\r\n", lineEnds, "NoWelcome" };
    ExpectKilledWritersLeaveWholeVersions(folder, versions, onDisk,
        [&](const std::string& version) { return WriteTextFile(path, version.c_str()); });
}

TEST(KilledWriters, OnlyStaleTemporariesOfOurOwnAreRemoved)
{
    TestFolder folder;
    std::string path = folder.Internal("Score.dat");
    std::vector<std::string> stale = { "Score.dat.tmpAbC123", "Score.dat.tmp000000" };
    std::vector<std::string> kept = { "Score.dat.tmp1", "Score.dat.tmpABCDEFG", "Score.dat.tmpAB-DEF",
        "Other.dat.tmpABCDEF", "Score.dat.tmpHELD01", "Score.dat.tmpLINK01" };
    for (const std::string& name : stale)
        Store(folder.Native(name), "half");
    for (const std::string& name : kept)
        Store(folder.Native(name), "not stale");
    // One a running writer holds, one that is only a link to a file elsewhere.
    FileDescriptor held(::open(folder.Native("Score.dat.tmpHELD01").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(held.Get(), LOCK_EX), 0);
    std::filesystem::remove(folder.Native("Score.dat.tmpLINK01"));
    std::filesystem::create_symlink(folder.Native("Other.dat.tmpABCDEF"), folder.Native("Score.dat.tmpLINK01"));

    ASSERT_EQ(WriteWholeFile(path, "new", 3), 1);
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(folder.Native(name))) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(folder.Native(name))) << name;

    // A sweep of the whole folder takes the other target's too.
    EXPECT_EQ(RemoveStaleTemporaries(folder.GetNative()), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.Native("Other.dat.tmpABCDEF")));
    EXPECT_TRUE(std::filesystem::exists(folder.Native("Score.dat.tmpHELD01")));
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
