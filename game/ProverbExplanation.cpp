#include "game/ProverbExplanation.h"

#include "game/StringIds.h"
#include "platform/CodePage.h"

namespace lumarra {

namespace {

const std::string& FullWidthSpace()
{
    static const std::string space = Sjis("　");
    return space;
}

std::string WithoutSpaces(std::string text)
{
    std::erase(text, ' ');
    return text;
}

}

std::string ProverbExplanation::BlanksFor(std::string_view text)
{
    std::string blanks;
    for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos, CodePage::Cp932))
        blanks += FullWidthSpace();
    return blanks;
}

ProverbExplanation ProverbExplanation::Compose(std::string_view deckName,
    const std::array<std::string, kTextCount>& block)
{
    const std::string& meaning = block[kProverbMeaning];
    const std::string& lesson = block[kProverbLesson];
    const std::string& meaningKana = block[kProverbMeaningKana];
    const std::string& lessonKana = block[kProverbLessonKana];

    ProverbExplanation layers;
    layers.headings = std::string(deckName) + Sjis("の「") + block[kProverbHeadKana] + Sjis("」\n\n\n\n\n説明\n")
        + BlanksFor(meaning) + "\n" + BlanksFor(lesson) + Sjis("\n\nせつめい\n") + BlanksFor(meaningKana) + "\n"
        + BlanksFor(lessonKana);
    layers.texts = Sjis("\n\n　　「 ") + block[kProverbText] + Sjis(" 」\n　　（")
        + WithoutSpaces(block[kProverbReading]) + Sjis("）\n\n\n") + meaning + "\n" + lesson + "\n\n\n" + meaningKana
        + "\n" + lessonKana;
    return layers;
}

}
