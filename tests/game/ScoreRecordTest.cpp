#include "game/ScoreRecord.h"
#include "platform/ProgramFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestScopes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kEdo = 20;
constexpr int kKamigata = 30;
constexpr int kAiueo = 50;
constexpr int32_t kDate = 1'700'000'000;

// A valid game's key: winner's count down, loser's count up.
std::pair<int, int> Key(const ScoreEntry& e)
{
    return { -std::max(e.child, e.computer), std::min(e.child, e.computer) };
}

// The used records are in ranking order, newest first among equal keys
// (when filed in the order of their dates), and the places count the
// changes of result.
void ExpectRanked(const ScoreTable& table, bool datesInFilingOrder = true)
{
    int used = table.GetUsedCount();
    for (int i = 0; i < used; ++i)
        ASSERT_TRUE(table.At(i).IsUsed()) << "empty record " << i << " among used ones";
    for (int i = 1; i < used; ++i) {
        const ScoreEntry& before = table.At(i - 1);
        const ScoreEntry& entry = table.At(i);
        ASSERT_LE(Key(before), Key(entry)) << "record " << i;
        if (datesInFilingOrder && Key(before) == Key(entry)) {
            ASSERT_GT(before.date, entry.date) << "record " << i;
        }
        int step = table.PlaceOf(i) - table.PlaceOf(i - 1);
        ASSERT_EQ(step, entry.SameCounts(before) ? 0 : 1) << "record " << i;
    }
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

ScoreTable FullTable(int child, int computer)
{
    ScoreTable table;
    for (int i = 0; i < ScoreTable::kRecords; ++i)
        table.File(child, computer, kDate + i);
    return table;
}

}

TEST(ScoreRanking, RandomGamesStayRankedByWinnerThenLoserNewestFirst)
{
    std::mt19937 random(5);
    ScoreTable table;
    for (int game = 0; game < 600; ++game) {
        int child = static_cast<int>(random() % 19);
        ASSERT_GE(table.File(child, 18 - child, kDate + game), 0);
    }
    EXPECT_EQ(table.GetUsedCount(), 600);
    ExpectRanked(table);
}

TEST(ScoreRanking, EqualResultsShareAPlaceWithTheNewerFirst)
{
    ScoreTable table;
    table.File(15, 3, kDate);
    table.File(10, 8, kDate + 1);
    EXPECT_EQ(table.File(15, 3, kDate + 2), 0);
    EXPECT_EQ(table.At(0).date, kDate + 2);
    EXPECT_EQ(table.At(1).date, kDate);
    EXPECT_EQ(table.PlaceOf(0), 1);
    EXPECT_EQ(table.PlaceOf(1), 1);
    EXPECT_EQ(table.PlaceOf(2), 2);
    // A 9 : 9 draw goes before an older draw as well.
    table.File(9, 9, kDate + 3);
    EXPECT_EQ(table.File(9, 9, kDate + 4), 3);
}

TEST(ScoreRanking, AComputerWinRanksWithTheSameChildWin)
{
    ScoreTable table;
    table.File(13, 5, kDate);
    table.File(12, 6, kDate + 1);
    table.File(11, 7, kDate + 2);
    // 6 : 12 has the key of 12 : 6 and, being newer, goes before it.
    EXPECT_EQ(table.File(6, 12, kDate + 3), 1);
    EXPECT_EQ(table.At(2).child, 12);
    EXPECT_EQ(table.File(5, 13, kDate + 4), 0);
    EXPECT_EQ(table.File(7, 11, kDate + 5), 4);
    ExpectRanked(table);
}

TEST(ScoreRanking, AFullTableLosesItsLastRecordToABetterGame)
{
    ScoreTable table = FullTable(10, 8);
    const ScoreEntry second = table.At(ScoreTable::kRecords - 2);
    EXPECT_EQ(table.File(18, 0, kDate + 5000), 0);
    EXPECT_EQ(table.GetUsedCount(), ScoreTable::kRecords);
    EXPECT_EQ(table.At(0).child, 18);
    // The former last record is gone; the one before it is last now.
    EXPECT_EQ(table.At(ScoreTable::kRecords - 1).date, second.date);
}

TEST(ScoreRanking, ATableFullOfBetterGamesTakesNoWorseOne)
{
    ScoreTable table = FullTable(18, 0);
    EXPECT_EQ(table.File(9, 9, kDate + 5000), -1);
    EXPECT_EQ(table.At(0).date, kDate + ScoreTable::kRecords - 1);
    EXPECT_EQ(table.GetPlaceAfterLast(), 2);
    // An equal result still gets in, first among its equals.
    EXPECT_EQ(table.File(0, 18, kDate + 5001), 0);
}

class ScoreFileTest : public ::testing::Test {
protected:
    std::string GetPath() const { return m_folder.Native("Score.dat"); }

    ScoreRecord Stored()
    {
        ScoreRecord record;
        EXPECT_EQ(record.Load(GetPath()), ScoreRecord::FileState::Loaded);
        return record;
    }

    TestFolder m_folder;
};

TEST_F(ScoreFileTest, TheFirstGameOfADeckIsPlaceOneInItsOwnTableOnly)
{
    ScoreRecord::Filing filing = ScoreRecord::FileGame(GetPath(), kKamigata, 11, 7, 0x01020304);
    EXPECT_TRUE(filing.saved);
    EXPECT_EQ(filing.found, ScoreRecord::FileState::Missing);
    EXPECT_EQ(filing.position, 0);
    EXPECT_EQ(filing.table.PlaceOf(0), 1);

    std::string bytes = ReadBytes(GetPath());
    ASSERT_EQ(bytes.size(), 48000u);
    // The Kamigata table is the second; little-endian date, child, computer.
    const std::string stored("\x04\x03\x02\x01\x0B\0\0\0\x07\0\0\0", 12);
    EXPECT_EQ(bytes.substr(12000, 12), stored);
    bytes.replace(12000, 12, std::string(12, '\0'));
    EXPECT_EQ(bytes, std::string(48000, '\0'));
    EXPECT_EQ((std::filesystem::status(GetPath()).permissions() & std::filesystem::perms::all),
        static_cast<std::filesystem::perms>(0666));

    ScoreRecord::FileGame(GetPath(), kAiueo, 3, 15, kDate);
    ScoreRecord record = Stored();
    EXPECT_EQ(record.Table(1).GetUsedCount(), 1);
    EXPECT_EQ(record.Table(3).GetUsedCount(), 1);
    EXPECT_EQ(record.Table(3).At(0).computer, 15);
}

TEST_F(ScoreFileTest, AGameNoTableTakesLeavesTheFileAsItWas)
{
    ScoreRecord full;
    full.Table(0) = FullTable(17, 1);
    WriteBytes(GetPath(), full.GetSerialize());
    const std::string before = ReadBytes(GetPath());

    ScoreRecord::Filing filing = ScoreRecord::FileGame(GetPath(), kEdo, 2, 16, kDate + 9000);
    EXPECT_FALSE(filing.saved);
    EXPECT_EQ(filing.position, -1);
    EXPECT_EQ(ReadBytes(GetPath()), before);

    // Nor does an unknown score code touch anything.
    EXPECT_FALSE(ScoreRecord::FileGame(m_folder.Native("Other.dat"), 60, 9, 9, kDate).saved);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Native("Other.dat")));
}

TEST_F(ScoreFileTest, AFileOfTheWrongSizeIsKeptAsideAndANewRecordStarts)
{
    for (const std::string& damaged : { std::string(100, 'x'), std::string(48001, '\x01'), std::string() }) {
        WriteBytes(GetPath(), damaged);
        ScoreRecord::Filing filing = ScoreRecord::FileGame(GetPath(), kEdo, 10, 8, kDate);
        EXPECT_EQ(filing.found, ScoreRecord::FileState::Damaged);
        EXPECT_TRUE(filing.saved);
        // One generation: the newest damaged file replaces the one before.
        EXPECT_EQ(ReadBytes(ScoreRecord::DamagedPath(GetPath())), damaged);
        ScoreRecord record = Stored();
        EXPECT_EQ(record.Table(0).GetUsedCount(), 1);
    }
}

TEST_F(ScoreFileTest, AFileThatCannotBeReadIsLeftAloneAndNothingIsFiled)
{
    auto expectLeftAlone = [&](const char* what) {
        ScoreRecord::Filing filing = ScoreRecord::FileGame(GetPath(), kEdo, 12, 6, kDate);
        EXPECT_EQ(filing.found, ScoreRecord::FileState::Unreadable) << what;
        EXPECT_FALSE(filing.saved) << what;
        // The screen still has a place: against an empty table.
        EXPECT_EQ(filing.position, 0) << what;
        EXPECT_EQ(filing.table.GetUsedCount(), 1) << what;
        EXPECT_FALSE(std::filesystem::exists(ScoreRecord::DamagedPath(GetPath()))) << what;
    };

    std::filesystem::create_directory(GetPath());
    expectLeftAlone("a folder");
    EXPECT_TRUE(std::filesystem::is_directory(GetPath()));
    std::filesystem::remove(GetPath());

    ASSERT_EQ(::mkfifo(GetPath().c_str(), 0600), 0);
    expectLeftAlone("a pipe");
    EXPECT_TRUE(std::filesystem::is_fifo(GetPath()));
    std::filesystem::remove(GetPath());

    // Permissions stop only other users than root.
    if (::geteuid() != 0) {
        WriteBytes(GetPath(), std::string(48000, '\x05'));
        std::filesystem::permissions(GetPath(), std::filesystem::perms::none);
        expectLeftAlone("a file without read permission");
        std::filesystem::permissions(GetPath(), std::filesystem::perms::owner_read);
        EXPECT_EQ(ReadBytes(GetPath()), std::string(48000, '\x05'));
    }
}

namespace {

// Starts the filer helper beside this test program.
pid_t StartFiler(const std::string& record, int games, int seed)
{
    std::string helper = std::filesystem::path(GetExecutablePath()).parent_path() / "score_filer";
    std::string gamesText = std::to_string(games);
    std::string seedText = std::to_string(seed);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(helper.c_str(), helper.c_str(), record.c_str(), gamesText.c_str(), seedText.c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

// Every replacement of the file gives it a new inode; 0 while it is missing.
ino_t FileIdentity(const std::string& path)
{
    struct stat status { };
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

}

TEST_F(ScoreFileTest, TwoProgramsFilingTwoHundredGamesEachLoseNone)
{
    constexpr int kGames = 200;
    pid_t first = StartFiler(GetPath(), kGames, 1);
    pid_t second = StartFiler(GetPath(), kGames, 2);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitFor(first), 0);
    EXPECT_EQ(WaitFor(second), 0);

    ScoreRecord record = Stored();
    EXPECT_EQ(record.Table(0).GetUsedCount(), 2 * kGames);
    ExpectRanked(record.Table(0), false);
}

TEST_F(ScoreFileTest, AFilerKilledAtAnyMomentLeavesTheOldOrTheNewFile)
{
    std::mt19937 random(11);
    int lastUsed = 0;
    for (int round = 0; round < 20; ++round) {
        ino_t before = FileIdentity(GetPath());
        pid_t pid = StartFiler(GetPath(), 0, round);
        ASSERT_GT(pid, 0);
        // Once the filer has replaced the file it is busy filing: the kill
        // then falls anywhere in its loop, however long it took to start.
        for (int waited = 0; waited < 10000 && FileIdentity(GetPath()) == before; ++waited)
            ::usleep(1000);
        ::usleep(random() % 20000);
        ::kill(pid, SIGKILL);
        WaitFor(pid);
        if (!std::filesystem::exists(GetPath()))
            continue;
        ScoreRecord record;
        ASSERT_EQ(record.Load(GetPath()), ScoreRecord::FileState::Loaded) << "round " << round;
        int used = record.Table(0).GetUsedCount();
        EXPECT_GE(used, lastUsed) << "round " << round;
        lastUsed = used;
        ExpectRanked(record.Table(0), false);
    }
    EXPECT_GT(lastUsed, 0);
    EXPECT_FALSE(std::filesystem::exists(ScoreRecord::DamagedPath(GetPath())));

    // The next filing clears the temporaries the killed filers left.
    ASSERT_TRUE(ScoreRecord::FileGame(GetPath(), kEdo, 9, 9, kDate).saved);
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.GetNative()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}
