#include "game/KanaButtons.h"

#include "game/Decks.h"
#include "game/StringIds.h"
#include "platform/Resources.h"

namespace lumarra {

namespace {

constexpr int kRightColumnX = 713;
constexpr int kColumnStep = 49;
constexpr int kTopRowY = 335;
constexpr int kRowStep = 48;

}

KanaButtons::KanaButtons()
{
    for (int k = 0; k < kColumns; ++k) {
        for (int j = 0; j < kRows; ++j) {
            int value = kRows * k + j + 1;
            StudyButton& button = ButtonOf(value);
            button.value = value;
            button.rect = Rect::FromSize(kRightColumnX - kColumnStep * k, kTopRowY + kRowStep * j, kSize, kSize);
            ReadIndex r = value <= kLastCardCode ? ReadIndexOf(kDeckAiueo, value) : -1;
            if (r >= 0)
                button.label = LoadString(AiueoStringId(static_cast<uint32_t>(r), kAiueoKana));
        }
    }
}

}
