#include "game/ScoreRecord.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/NativePath.h"
#include "platform/StoreLock.h"
#include "support/FilePaths.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace lumarra {

namespace {

constexpr int kFirstScoreCode = 20;
constexpr int kScoreCodeStep = 10;
constexpr std::string_view kFileName = "Score.dat";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDamagedSuffix = ".damaged";

}

int ScoreRecord::TableIndex(int scoreCode)
{
    int offset = scoreCode - kFirstScoreCode;
    if (offset < 0 || offset % kScoreCodeStep != 0 || offset / kScoreCodeStep >= kTables)
        return -1;
    return offset / kScoreCodeStep;
}

bool ScoreRecord::Parse(std::string_view bytes)
{
    if (bytes.size() != kFileSize)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (ScoreTable& table : m_tables) {
        table.Read(data);
        data += ScoreTable::kBytes;
    }
    return true;
}

std::string ScoreRecord::GetSerialize() const
{
    std::string bytes(kFileSize, '\0');
    auto* data = reinterpret_cast<uint8_t*>(bytes.data());
    for (const ScoreTable& table : m_tables) {
        table.Write(data);
        data += ScoreTable::kBytes;
    }
    return bytes;
}

ScoreRecord::FileState ScoreRecord::Load(const std::string& nativePath)
{
    m_tables = {};
    FileDescriptor fd = FileDescriptor::OpenRegular(nativePath, O_RDONLY);
    if (!fd.IsOpen())
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
    // One byte past the size is enough to tell a longer file.
    std::string bytes(kFileSize + 1, '\0');
    ssize_t got = fd.ReadAt(bytes.data(), bytes.size(), 0);
    if (got < 0)
        return FileState::Unreadable;
    bytes.resize(static_cast<size_t>(got));
    return Parse(bytes) ? FileState::Loaded : FileState::Damaged;
}

std::string ScoreRecord::DefaultPath()
{
    return ToNativePath(JoinPath(GetModuleFolder(), kFileName));
}

std::string ScoreRecord::DamagedPath(const std::string& nativePath)
{
    return nativePath + std::string(kDamagedSuffix);
}

ScoreRecord::Filing ScoreRecord::FileGame(const std::string& nativePath, int scoreCode, int child, int computer,
    int32_t date)
{
    Filing filing;
    int index = TableIndex(scoreCode);
    if (index < 0)
        return filing;
    StoreLock lock(nativePath + std::string(kLockSuffix));
    ScoreRecord record;
    filing.found = record.Load(nativePath);
    filing.position = record.Table(index).File(child, computer, date);
    filing.table = record.Table(index);
    // Without the lock another copy could be replacing the file right now;
    // an unreadable file may hold every deck's games and is never replaced.
    if (filing.position < 0 || !lock.Held() || filing.found == FileState::Unreadable)
        return filing;
    // A damaged file is kept for whoever wants to look into it; when it
    // cannot be moved aside it is not overwritten either.
    if (filing.found == FileState::Damaged && std::rename(nativePath.c_str(), DamagedPath(nativePath).c_str()) != 0)
        return filing;
    filing.saved = WriteFileAtomically(nativePath, { record.GetSerialize() });
    return filing;
}

}
