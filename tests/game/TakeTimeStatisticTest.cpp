#include "game/TakeTimeStatistic.h"
#include "support/RegistryStore.h"
#include "tests/support/TestScopes.h"

#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr const char* kNetwork = "HKEY_CURRENT_USER\\Software\\Orvella\\Network";

TEST(TakeTimeStatistic, BytesAreInvertedSpreadAndSummed)
{
    TakeTimeStatistic statistic { 0x01020304, 0x0A0B0C0D };
    TakeTimeStatistic::Value value = statistic.Encode();
    const TakeTimeStatistic::Value expected = { 0xF3, 0xFD, 0xF5, 0xFC, 0x00, 0xFE, 0xFB, 0xF4, 0xF2 };
    for (size_t i = 0; i < value.size(); ++i) {
        if (i != 4) {
            EXPECT_EQ(value[i], expected[i]) << "byte " << i;
        }
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < value.size(); ++i)
        sum = static_cast<uint8_t>(sum + (i == 4 ? 0 : value[i]));
    EXPECT_EQ(value[4], sum);

    std::optional<TakeTimeStatistic> back = TakeTimeStatistic::Decode(value.data(), 9);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->count, 0x01020304u);
    EXPECT_EQ(back->averageMs, 0x0A0B0C0Du);
    value[4] ^= 1;
    EXPECT_FALSE(TakeTimeStatistic::Decode(value.data(), 9));
    EXPECT_FALSE(TakeTimeStatistic::Decode(value.data(), 8));
}

class StoredStatistic : public ::testing::Test {
protected:
    StoredStatistic()
        : m_scope("LUMARRA_REGISTRY_DIR", m_folder.GetNative().c_str())
    {
    }

    std::vector<uint8_t> Stored(const char* name, uint32_t room = 64)
    {
        std::vector<uint8_t> bytes(room);
        uint32_t size = room;
        if (!m_store.ReadBinary(static_cast<const char*>(nullptr), name, bytes.data(), size))
            return {};
        bytes.resize(size);
        return bytes;
    }

    TestFolder m_folder;
    EnvironmentScope m_scope;
    RegistryStore m_store { kNetwork };
};

TEST_F(StoredStatistic, TakesFoldIntoARunningAverage)
{
    EXPECT_FALSE(TakeTimeStatistic::Load("EdoKorimba"));
    ASSERT_EQ(TakeTimeStatistic::Record("EdoKorimba", 1000), 1);
    ASSERT_EQ(TakeTimeStatistic::Record("EdoKorimba", 2000), 1);
    ASSERT_EQ(TakeTimeStatistic::Record("EdoKorimba", 3001), 1);
    std::optional<TakeTimeStatistic> statistic = TakeTimeStatistic::Load("EdoKorimba");
    ASSERT_TRUE(statistic);
    EXPECT_EQ(statistic->count, 3u);
    // 1000, then (2000 + 3000) / 4 = 1250, then (3001 + 3750) / 4 = 1687.
    EXPECT_EQ(statistic->averageMs, 1687u);
    EXPECT_EQ(Stored("EdoKorimba").size(), 9u);
    EXPECT_FALSE(TakeTimeStatistic::Load("OwariKorimba")) << "each deck has its own";
}

TEST_F(StoredStatistic, ADamagedValueStaysByteForByte)
{
    const std::vector<std::vector<uint8_t>> damaged = {
        { 1, 2, 3, 4, 5, 6, 7, 8, 9 },
        { 1, 2, 3 },
        std::vector<uint8_t>(12, 0xFF),
    };
    for (const std::vector<uint8_t>& bytes : damaged) {
        ASSERT_TRUE(m_store.WriteBinary(static_cast<const char*>(nullptr), "AiueoKorimba", bytes.data(),
            static_cast<uint32_t>(bytes.size())));
        EXPECT_EQ(TakeTimeStatistic::Record("AiueoKorimba", 500), 0);
        EXPECT_EQ(Stored("AiueoKorimba"), bytes);
    }
}

}
