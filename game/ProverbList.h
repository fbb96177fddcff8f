#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// The study screen's list of one proverb deck: each card's proverb in verse
// order, shortened to fit a list row.
class ProverbList {
public:
    static constexpr int kMaxEntries = 48;
    // Longer entries keep their first 26 bytes (never half a character)
    // and get a continuation mark.
    static constexpr size_t kMaxEntryBytes = 30;
    static constexpr size_t kCutEntryBytes = 26;

    // The proverbs (ID base + 1, base + 11, …) up to the first missing or
    // empty string, at most 48.
    void Fill(uint32_t textBase);
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // Empty outside the list.
    const std::string& EntryAt(int index) const;

    // A Shift-JIS text as a list row shows it.
    static std::string CutEntry(std::string_view text);

private:
    std::vector<std::string> m_entries;
};

}
