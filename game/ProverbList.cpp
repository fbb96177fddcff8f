#include "game/ProverbList.h"

#include "game/StringIds.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"

namespace lumarra {

namespace {

const std::string& ContinuationMark()
{
    static const std::string mark = Sjis("…");
    return mark;
}

}

void ProverbList::Fill(uint32_t textBase)
{
    m_entries.clear();
    for (uint32_t r = 0; r < kMaxEntries; ++r) {
        std::string proverb = LoadString(ProverbStringId(textBase, r, kProverbText));
        if (proverb.empty())
            break;
        m_entries.push_back(CutEntry(proverb));
    }
}

const std::string& ProverbList::EntryAt(int index) const
{
    static const std::string none;
    if (index < 0 || index >= GetCount())
        return none;
    return m_entries[static_cast<size_t>(index)];
}

std::string ProverbList::CutEntry(std::string_view text)
{
    if (text.size() <= kMaxEntryBytes)
        return std::string(text);
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + CharLength(text, end, CodePage::Cp932);
        if (next > kCutEntryBytes)
            break;
        end = next;
    }
    return std::string(text.substr(0, end)) + ContinuationMark();
}

}
