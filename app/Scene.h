#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

namespace lumarra {

class DibSurface;
class Font;
class GameStage;

// One screen of the game, written as a script in Run, which the stage's
// worker thread executes; the event operations come on the interface
// thread. The defaults do nothing and return 0. The helpers forward to the
// stage and do nothing (returning 0) without one.
class Scene {
public:
    explicit Scene(GameStage* stage = nullptr)
        : m_stage(stage)
    {
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    virtual ~Scene() = default;

    virtual void Run() { }
    virtual void Release() { }
    virtual void Reserved1() { }
    virtual void OnLButtonDown(unsigned, int, int) { }
    virtual void OnLButtonUp(unsigned, int, int) { }
    virtual void OnMouseMove(unsigned, int, int) { }
    virtual void OnRButtonDown(unsigned, int, int) { }
    virtual void OnRButtonUp(unsigned, int, int) { }
    virtual void OnKeyDown(unsigned, unsigned, unsigned) { }
    virtual void OnTimer(uintptr_t) { }
    virtual int Reserved2(int, int, int) { return 0; }
    virtual int IsHot(int, int) { return 0; }
    virtual void Reserved3(int, int, int) { }
    virtual void Stop() { }
    virtual int CheckWait(int, int) { return 0; }
    virtual void OnMusicChanged(int) { }

    GameStage* GetStage() const { return m_stage; }

    // Waiting and hot spots.
    int Wait(int ms);
    int WaitEvent(int mask, int timeoutMs);
    int AddHotSpot(int x, int y, int w, int h, int value, int key);
    void RemoveHotSpotsByValue(int value);
    void RemoveHotSpotsByKey(int key);
    void RemoveHotSpotsDefault(int value);
    void EnableHotSpots(int key, int enabled);
    void ClearHotSpots();
    void SetHoverTarget(int value);
    void ClearHoverTarget();

    // Saved backgrounds and marker icons. The yes and no buttons are markers
    // 0 and 1: a click on one ends a wait with mask kAnswerMask with its
    // value.
    static constexpr int kYesButton = 0x8000;
    static constexpr int kNoButton = 0x4000;
    static constexpr int kAnswerMask = 0xF000;
    void PushOverlay(int x, int y, int w, int h);
    void PopOverlay();
    void DropOverlays();
    void ShowIcon(int x, int y, int kind);
    void HideIcon(int kind);
    void ShowYesButton(int x, int y) { ShowIcon(x, y, kYesButton); }
    void ShowNoButton(int x, int y) { ShowIcon(x, y, kNoButton); }
    // Drops the saved backgrounds, clears the hover target and hides the
    // marker icons; hot spots other than the markers' stay.
    void ClearObjects();

    // Drawing: into the back buffer, then the touched part onto the view.
    void DrawIconImage(int x, int y, int index);
    void DrawShape(int x, int y, int w, int h, int colorIndex, int kind);
    void FillRect(int x, int y, int w, int h, COLORREF color);
    int LoadPicture(uint32_t resourceId);
    void TilePicture(int x, int y, int w, int h);
    void DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY);
    void DrawSurface(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY);
    void DrawSurfaceDirect(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY);
    void GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h);
    void DrawTextBig(int x, int y, std::string_view text, int colorIndex);
    void DrawTextSmall(int x, int y, std::string_view text, int colorIndex);
    void DrawTextCentered(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font);
    void DrawTextWrapped(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font);
    void DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height, int weight,
        COLORREF textColor, COLORREF shadeColor);
    // The reading-card back in the reading area of the side panel.
    void ShowCardBack(DibSurface& back);
    // Copies a part of the back buffer to the view.
    void Refresh(int left, int top, int right, int bottom);

    // Sounds of the stage's table. A mode above 1 plays the clip in a loop;
    // slot 0 stops every clip.
    static constexpr int kLoop = 2;
    static constexpr int kAllSounds = 0;
    void PlaySound(int slot, int mode);
    void StopSound(int slot);

    // Transitions.
    void SlidePanelIn(DibSurface* image, int x, int y);
    void WipePanel();
    void CurtainTransition();

private:
    // Runs `call` on the stage; without one it does nothing and gives the
    // zero of its result type.
    template <typename Call>
    auto OnStage(Call&& call) -> decltype(call(std::declval<GameStage&>()));

    GameStage* m_stage;
};

}
