#pragma once

#include <cstdint>

namespace lumarra {

// Proverb decks: card r of a deck with text base B owns the seven strings
// B + 10·r + 0 … + 6; r is the card's ReadIndex (verse order, ん last).
inline constexpr uint32_t kEdoTextBase = 2000;
inline constexpr uint32_t kKamigataTextBase = 3000;
inline constexpr uint32_t kOwariTextBase = 4000;
inline constexpr uint32_t kProverbBlockSize = 10;

// Offsets inside a proverb card's block.
inline constexpr uint32_t kProverbHeadKana = 0;
inline constexpr uint32_t kProverbText = 1;
inline constexpr uint32_t kProverbReading = 2;  // kana, phrases split by one ASCII space
inline constexpr uint32_t kProverbMeaning = 3;
inline constexpr uint32_t kProverbLesson = 4;
inline constexpr uint32_t kProverbMeaningKana = 5;
inline constexpr uint32_t kProverbLessonKana = 6;
inline constexpr uint32_t kProverbTextCount = 7;

constexpr uint32_t ProverbStringId(uint32_t textBase, uint32_t readIndex, uint32_t offset)
{
    return textBase + kProverbBlockSize * readIndex + offset;
}

// Aiueo deck: card r owns its kana at 1000 + 2·r and its picture word after it.
inline constexpr uint32_t kAiueoTextBase = 1000;
inline constexpr uint32_t kAiueoBlockSize = 2;
inline constexpr uint32_t kAiueoKana = 0;
inline constexpr uint32_t kAiueoWord = 1;

constexpr uint32_t AiueoStringId(uint32_t readIndex, uint32_t offset)
{
    return kAiueoTextBase + kAiueoBlockSize * readIndex + offset;
}

// The system menu item that opens the version box; without it the menu
// gets neither that item nor the welcome item.
inline constexpr uint32_t kStringVersionMenuItem = 101;

// The study screen's instructions (kanji with kana, then kana only).
inline constexpr uint32_t kStringStudyInstructions = 110;

// The title screen's copyright line and its four credit lines, in the order
// of their boxes: top left, top right, bottom left, bottom right.
inline constexpr uint32_t kStringTitleCopyright = 120;
inline constexpr uint32_t kStringTitleCreditFirst = 121;
inline constexpr uint32_t kTitleCreditCount = 4;

// The play screen's attribution of the card pictures.
inline constexpr uint32_t kStringPlayCredit = 130;

// The study screen's copyright line.
inline constexpr uint32_t kStringStudyCopyright = 140;

// The version box: credits (one line each) and copyright line.
inline constexpr uint32_t kStringAboutCredits = 150;
inline constexpr uint32_t kStringAboutCopyright = 151;

}
