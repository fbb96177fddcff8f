#include "game/StringIds.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "tests/content/TextLayout.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

// Font heights and the room each line has on its screen.
constexpr size_t kTitleCopyrightHeight = 30;
constexpr size_t kTitleCopyrightWidth = 980;
constexpr size_t kTitleCreditHeight = 16;
constexpr size_t kTitleCreditWidth = 295;
constexpr size_t kSmallFontHeight = 12;  // 9 points at 96 dpi
constexpr size_t kSidePanelRight = 980;
constexpr size_t kPlayCreditX = 837;  // the proverb decks' x; the Aiueo deck's is further left
constexpr size_t kStudyCopyrightX = 817;

}

TEST(OtherTexts, VersionMenuItemIsPresent)
{
    EXPECT_EQ(Cp932ToUtf8(LoadString(kStringVersionMenuItem)), "Lumarra（Velmora）のﾊﾞｰｼﾞｮﾝ情報(&A)...");
}

TEST(OtherTexts, StudyInstructionsFitTheExplanationArea)
{
    std::string text = LoadString(kStringStudyInstructions);
    EXPECT_TRUE(text.starts_with(Sjis("[説明]\n左のことわざをクリックすると、ことわざの意味が表示されます。")));
    EXPECT_NE(text.find(Sjis("[せつめい]\n")), std::string::npos) << "no kana part";
    EXPECT_LE(WrappedLineCount(text, kExplanationBytesPerLine), kExplanationLines);
}

TEST(OtherTexts, CopyrightAndCreditLinesFitTheirPlaces)
{
    std::string copyright = LoadString(kStringTitleCopyright);
    EXPECT_FALSE(copyright.empty());
    EXPECT_LE(TextWidth(copyright, kTitleCopyrightHeight), kTitleCopyrightWidth);
    for (uint32_t i = 0; i < kTitleCreditCount; ++i) {
        std::string credit = LoadString(kStringTitleCreditFirst + i);
        EXPECT_FALSE(credit.empty()) << "credit " << i;
        EXPECT_LE(TextWidth(credit, kTitleCreditHeight), kTitleCreditWidth) << "credit " << i;
    }

    std::string playCredit = LoadString(kStringPlayCredit);
    EXPECT_FALSE(playCredit.empty());
    EXPECT_LE(TextWidth(playCredit, kSmallFontHeight), kSidePanelRight - kPlayCreditX);
    std::string studyCopyright = LoadString(kStringStudyCopyright);
    EXPECT_FALSE(studyCopyright.empty());
    EXPECT_LE(TextWidth(studyCopyright, kSmallFontHeight), kSidePanelRight - kStudyCopyrightX);

    EXPECT_FALSE(LoadString(kStringAboutCredits).empty());
    EXPECT_FALSE(LoadString(kStringAboutCopyright).empty());
}
