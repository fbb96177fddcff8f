#include "game/StudyButton.h"

#include "app/Scene.h"

namespace lumarra {

namespace {

// A raised face with a light top-left edge and a dark bottom-right one;
// pressed, the face turns to the highlight and the edges swap.
constexpr COLORREF kFace = 0xE8F6FF;
constexpr COLORREF kPressedFace = 0x8CECFF;
constexpr COLORREF kLightEdge = 0xFFFFFF;
constexpr COLORREF kDarkEdge = 0x6A7A8A;
constexpr COLORREF kLabel = 0x202020;
constexpr int kEdge = 2;

}

void StudyButton::Draw(Scene& scene, State shown, const std::shared_ptr<const Font>& font)
{
    state = shown;
    if (IsEmpty())
        return;
    bool pressed = shown == State::Pressed;
    COLORREF topLeft = pressed ? kDarkEdge : kLightEdge;
    COLORREF bottomRight = pressed ? kLightEdge : kDarkEdge;
    int w = rect.GetWidth();
    int h = rect.GetHeight();
    scene.FillRect(rect.left, rect.top, w, h, pressed ? kPressedFace : kFace);
    scene.FillRect(rect.left, rect.top, w, kEdge, topLeft);
    scene.FillRect(rect.left, rect.top, kEdge, h, topLeft);
    scene.FillRect(rect.left, rect.bottom - kEdge, w, kEdge, bottomRight);
    scene.FillRect(rect.right - kEdge, rect.top, kEdge, h, bottomRight);
    // The label sinks with the face.
    int shift = pressed ? 1 : 0;
    Rect box = { rect.left + shift, rect.top + shift, rect.right + shift, rect.bottom + shift };
    scene.DrawTextCentered(box, label, kLabel, font);
}

}
