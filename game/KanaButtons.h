#pragma once

#include "game/StudyButton.h"

#include <array>

namespace lumarra {

// The kana buttons of the study screen, laid out like a kana table written
// vertically from right to left: the あ column rightmost, five rows down.
// A button's value is its CardCode cell; cells without a card of the Aiueo
// deck (37, 39, 47, 48, 49 and 52–55) are empty.
class KanaButtons {
public:
    static constexpr int kColumns = 11;
    static constexpr int kRows = 5;
    static constexpr int kCount = kColumns * kRows;
    static constexpr int kSize = 48;

    // Labels from the Aiueo deck's texts.
    KanaButtons();

    StudyButton& ButtonOf(int value) { return m_buttons[static_cast<size_t>(value - 1)]; }
    std::array<StudyButton, kCount>& GetAll() { return m_buttons; }

private:
    std::array<StudyButton, kCount> m_buttons;
};

}
