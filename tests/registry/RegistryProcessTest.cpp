#include "support/RegistryStore.h"
#include "tests/registry/RegistryTestStore.h"
#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr const char* kGameKey = "HKEY_CURRENT_USER\\Software\\Orvella\\Korimba";

}

TEST(RegistryProcesses, TwoProgramsWritingTheSameKeyLoseNothing)
{
    TestRegistry registry(TestRegistry::Medium::Memory);
    constexpr int kWrites = 1000;
    auto writer = [](char prefix) {
        return [prefix] {
            RegistryStore store(kGameKey);
            for (int i = 0; i < kWrites; ++i)
                if (!store.WriteDword("", NumberedName(std::string(1, prefix), i).c_str(), static_cast<uint32_t>(i)))
                    return false;
            return true;
        };
    };
    pid_t first = Spawn(writer('A'));
    pid_t second = Spawn(writer('B'));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitFor(first), 0);
    EXPECT_EQ(WaitFor(second), 0);

    // One look at the finished store instead of two thousand reads.
    RegistryNode tree;
    ASSERT_TRUE(ParseRegistryText(registry.ReadStore(), "HKEY_CURRENT_USER", tree));
    const RegistryNode* key = tree.FindPath({ "Software", "Orvella", "Korimba" });
    ASSERT_NE(key, nullptr);
    int missing = 0;
    for (char prefix : { 'A', 'B' })
        for (int i = 0; i < kWrites; ++i) {
            const RegistryValue* value = key->FindValue(NumberedName(std::string(1, prefix), i));
            uint32_t expected = static_cast<uint32_t>(i);
            if (!value || value->type != REG_DWORD
                || value->data
                    != std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&expected),
                        reinterpret_cast<uint8_t*>(&expected) + 4))
                ++missing;
        }
    EXPECT_EQ(missing, 0);
}

TEST(RegistryProcesses, AWriterKilledAtAnyMomentLeavesAWholeStore)
{
    TestRegistry registry(TestRegistry::Medium::Memory);
    uint32_t lastCounter = 0;
    auto write = [] {
        RegistryStore store(kGameKey);
        uint32_t counter = 0;
        store.ReadDword("", "Counter", counter);
        std::string padding(2000, 'p');
        for (;;) {
            ++counter;
            store.WriteDword("", "Counter", counter);
            store.WriteString("Texts", NumberedName("T", counter % 40).c_str(), padding.c_str());
        }
    };
    KillWritersRepeatedly(25, 60000, write, [&](int round) {
        // Whole, so it parses: a cut store lacks its end line.
        std::string text = registry.ReadStore();
        RegistryNode tree;
        ASSERT_TRUE(ParseRegistryText(text, "HKEY_CURRENT_USER", tree)) << "round " << round;
        // Creating the missing key is a whole write of its own, so a writer
        // killed before its first counter leaves a store without one; once a
        // counter has been seen it never goes missing or back.
        uint32_t counter = 0;
        if (RegistryStore(kGameKey).ReadDword("", "Counter", counter) != 1) {
            EXPECT_EQ(lastCounter, 0u) << "round " << round;
        }
        EXPECT_GE(counter, lastCounter);
        lastCounter = counter;
    });
    EXPECT_GT(lastCounter, 0u);
    EXPECT_FALSE(std::filesystem::exists(registry.GetStorePath() + ".damaged"));

    // The next write clears temporaries the killed writers left.
    ASSERT_EQ(RegistryStore(kGameKey).WriteDword("", "After", 1u), 1);
    for (const auto& entry : std::filesystem::directory_iterator(registry.GetFolder()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}
