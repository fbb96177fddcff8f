#include "game/ScoreTable.h"

#include <algorithm>

namespace lumarra {

namespace {

int32_t ReadInt32(const uint8_t* bytes)
{
    uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8
        | static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

void WriteInt32(uint8_t* bytes, int32_t signedValue)
{
    auto value = static_cast<uint32_t>(signedValue);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}

void ScoreTable::Read(const uint8_t* bytes)
{
    for (ScoreEntry& entry : m_records) {
        entry.date = ReadInt32(bytes);
        entry.child = ReadInt32(bytes + 4);
        entry.computer = ReadInt32(bytes + 8);
        bytes += kRecordBytes;
    }
}

void ScoreTable::Write(uint8_t* bytes) const
{
    for (const ScoreEntry& entry : m_records) {
        WriteInt32(bytes, entry.date);
        WriteInt32(bytes + 4, entry.child);
        WriteInt32(bytes + 8, entry.computer);
        bytes += kRecordBytes;
    }
}

int ScoreTable::FindPosition(int child, int computer) const
{
    const int winner = std::max(child, computer);
    const int loser = std::min(child, computer);
    for (int i = 0; i < kRecords; ++i) {
        const ScoreEntry& r = m_records[static_cast<size_t>(i)];
        if (!r.IsUsed())
            return i;
        // A record with a smaller winner's count, or with the same winner's
        // count and at least as many cards for its loser: the new game goes
        // first, so it also goes before an equal result.
        if (r.child < winner && r.computer < winner)
            return i;
        if (r.child == winner && r.computer >= loser)
            return i;
        if (r.computer == winner && r.child >= loser)
            return i;
    }
    return -1;
}

int ScoreTable::File(int child, int computer, int32_t date)
{
    int position = FindPosition(child, computer);
    if (position < 0)
        return -1;
    auto at = m_records.begin() + position;
    std::move_backward(at, m_records.end() - 1, m_records.end());
    *at = { date, child, computer };
    return position;
}

int ScoreTable::PlaceOf(int position) const
{
    if (position < 0 || position >= kRecords)
        return 0;
    int place = 1;
    for (int i = 1; i <= position; ++i) {
        if (!m_records[static_cast<size_t>(i)].SameCounts(m_records[static_cast<size_t>(i - 1)]))
            ++place;
    }
    return place;
}

int ScoreTable::GetUsedCount() const
{
    return static_cast<int>(
        std::count_if(m_records.begin(), m_records.end(), [](const ScoreEntry& entry) { return entry.IsUsed(); }));
}

}
