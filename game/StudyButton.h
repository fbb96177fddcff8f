#pragma once

#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <string>

namespace lumarra {

class Font;
class Scene;

// A button of the study screen: a labelled box that is drawn raised or
// pressed. One without a label is an empty cell: never drawn, never hot.
struct StudyButton {
    enum class State { Normal, Pressed };

    std::string label;  // Shift-JIS
    Rect rect;
    int value = 0;
    State state = State::Normal;

    bool IsEmpty() const { return label.empty(); }
    // Draws the button in `state` and keeps it.
    void Draw(Scene& scene, State shown, const std::shared_ptr<const Font>& font);
};

}
