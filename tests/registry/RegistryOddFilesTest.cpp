#include "platform/RegistryKey.h"
#include "tests/registry/RegistryTestStore.h"
#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

const RegistryKey kUser(RegistryRoot::HKEY_CURRENT_USER);

RegistryStatus SetDword(const RegistryKey& key, std::string_view name, uint32_t value)
{
    return key.SetValue(name, REG_DWORD, &value, sizeof value);
}

RegistryStatus Query(std::string_view name)
{
    uint32_t type = 0;
    return kUser.QueryValue(name, &type, nullptr, nullptr);
}

std::string DamagedCopy(const TestRegistry& registry, int copy)
{
    std::string path = registry.GetStorePath() + ".damaged";
    return copy > 1 ? path + "." + std::to_string(copy) : path;
}

int DamagedCopies(const TestRegistry& registry)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(registry.GetFolder()))
        count += entry.path().filename().string().find(".damaged") != std::string::npos;
    return count;
}

// Puts something that is no regular file where `path` belongs.
enum class OddFile {
    Pipe,
    Folder,
    Device,
};

void MakeOddFile(OddFile kind, const std::string& path)
{
    switch (kind) {
    case OddFile::Pipe:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case OddFile::Folder:
        ASSERT_TRUE(std::filesystem::create_directory(path));
        break;
    case OddFile::Device:
        // Reads from it never end.
        std::filesystem::create_symlink("/dev/zero", path);
        break;
    }
}

constexpr OddFile kOddFiles[] = { OddFile::Pipe, OddFile::Folder, OddFile::Device };
constexpr unsigned kCleanFailureMs = 1000;

}

TEST(RegistryOddFiles, ADamagedStoreIsReplacedEvenBesideAHundredDamagedCopies)
{
    TestRegistry registry;
    for (int copy = 1; copy <= 100; ++copy)
        TestRegistry::WriteFile(DamagedCopy(registry, copy), "old damage " + std::to_string(copy));
    TestRegistry::WriteFile(registry.GetStorePath(), "new damage");

    ASSERT_EQ(SetDword(kUser, "bClick", 1), RegistryStatus::Success);
    EXPECT_EQ(Query("bClick"), RegistryStatus::Success);
    EXPECT_EQ(DamagedCopies(registry), 5);
    EXPECT_EQ(TestRegistry::ReadFile(DamagedCopy(registry, 5)), "new damage");
}

TEST(RegistryOddFiles, OnlyTheNewestDamagedCopiesAreKept)
{
    TestRegistry registry;
    for (int damage = 1; damage <= 8; ++damage) {
        TestRegistry::WriteFile(registry.GetStorePath(), "damage " + std::to_string(damage));
        ASSERT_EQ(SetDword(kUser, "v", static_cast<uint32_t>(damage)), RegistryStatus::Success) << damage;
    }
    EXPECT_EQ(DamagedCopies(registry), 5);
    for (int copy = 1; copy <= 5; ++copy)
        EXPECT_EQ(TestRegistry::ReadFile(DamagedCopy(registry, copy)), "damage " + std::to_string(copy + 3));
}

TEST(RegistryOddFiles, AStoreCutShortIsKeptAsideAndReadsAsDefaults)
{
    TestRegistry registry;
    ASSERT_EQ(SetDword(kUser, "bMusic", 0), RegistryStatus::Success);
    ASSERT_EQ(SetDword(kUser, "bMaskRun", 1), RegistryStatus::Success);
    std::string whole = registry.ReadStore();
    // Cut inside the digits of the first value, as in "bMusic"=dword:0000
    size_t cut = whole.find("=dword:") + 11;
    ASSERT_LT(cut, whole.size());
    TestRegistry::WriteFile(registry.GetStorePath(), whole.substr(0, cut));

    EXPECT_EQ(Query("bMaskRun"), RegistryStatus::NotFound);
    EXPECT_EQ(Query("bMusic"), RegistryStatus::NotFound);
    EXPECT_EQ(TestRegistry::ReadFile(DamagedCopy(registry, 1)), whole.substr(0, cut));
    ASSERT_EQ(SetDword(kUser, "bClick", 1), RegistryStatus::Success);
    EXPECT_EQ(Query("bClick"), RegistryStatus::Success);
}

TEST(RegistryOddFiles, NoRegularFileInPlaceOfTheStoreFailsCleanly)
{
    for (OddFile kind : kOddFiles) {
        TestRegistry registry;
        MakeOddFile(kind, registry.GetStorePath());
        int status = ExitStatusWithin(kCleanFailureMs, [] {
            return Query("bClick") == RegistryStatus::ReadFailed
                && SetDword(kUser, "bClick", 1) == RegistryStatus::WriteFailed;
        });
        EXPECT_EQ(status, 0) << "kind " << static_cast<int>(kind);
        // Not ours to move or replace.
        EXPECT_FALSE(std::filesystem::is_regular_file(registry.GetStorePath()));
        EXPECT_EQ(DamagedCopies(registry), 0);
    }
}

TEST(RegistryOddFiles, NoRegularFileInPlaceOfTheLockFailsWritesCleanly)
{
    for (OddFile kind : kOddFiles) {
        TestRegistry registry;
        ASSERT_EQ(SetDword(kUser, "bClick", 1), RegistryStatus::Success);
        std::filesystem::remove(registry.GetStorePath() + ".lock");
        MakeOddFile(kind, registry.GetStorePath() + ".lock");
        int status = ExitStatusWithin(kCleanFailureMs, [] {
            return Query("bClick") == RegistryStatus::Success
                && SetDword(kUser, "bClick", 0) == RegistryStatus::WriteFailed;
        });
        EXPECT_EQ(status, 0) << "kind " << static_cast<int>(kind);
    }
}

TEST(RegistryOddFiles, TheLockFileIsAsOpenToOtherUsersAsTheStore)
{
    TestRegistry registry;
    mode_t saved = ::umask(077);
    RegistryStatus written = SetDword(kUser, "bClick", 1);
    ::umask(saved);
    ASSERT_EQ(written, RegistryStatus::Success);
    for (const std::string& path : { registry.GetStorePath(), registry.GetStorePath() + ".lock" }) {
        struct stat info { };
        ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 0777, 0666u) << path;
    }
}
