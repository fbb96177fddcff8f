#pragma once

#include "app/HotSpot.h"
#include "app/Scene.h"
#include "audio/SoundTable.h"
#include "graphics/DibSurface.h"
#include "platform/gdi/Pen.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

namespace lumarra {

class Cursor;
class Font;
class Window;

// Thrown inside Wait to end a script thread that was asked to quit. Every
// thread that paces itself with GameStage::Wait runs its body through
// GameStage::RunThreadBody, which catches it.
struct StageThreadQuit {
};

// Cleared by the title scene once its menu is on screen; the main window's
// start-up timers wait for it.
extern std::atomic<int> titleNotReady;

// The engine every screen runs on: the 980 × 600 back buffer and the view it
// is shown on, the hot spots, the saved backgrounds, the marker icons, the
// sound table and the worker thread that runs the current scene's script.
//
// Window messages arrive on the interface thread; the script runs on the
// worker thread. They share word-sized flags (atomics) and the hot-spot
// table (under its own lock); drawing is serialised by the surfaces' locks,
// always taking the view's buffer before the back buffer.
class GameStage {
public:
    static constexpr int kHotSpotCount = 110;
    static constexpr int kOverlayCount = 5;
    static constexpr int kIconCount = 6;
    static constexpr int kMarkerCount = 4;
    static constexpr int kPaletteSize = 16;
    static constexpr int kImageDepth = 8;
    static constexpr uintptr_t kBlinkTimer = 1;
    static constexpr uint32_t kBlinkPeriodMs = 500;
    static constexpr int kHitSound = 6;
    static constexpr int kHoverInset = 20;
    static constexpr int kAllKeys = 256;
    static constexpr int kTableKey = 512;

    GameStage();
    GameStage(const GameStage&) = delete;
    GameStage& operator=(const GameStage&) = delete;
    virtual ~GameStage();

    // Sets everything up on the interface thread and makes the first scene
    // (`firstScene`, or the built-in start screen when null).
    void Init(Window* view, int width, int height, std::unique_ptr<Scene> firstScene = nullptr);
    void StartThread();
    // Stops the scene, the sounds, the timer and the worker thread. Objects
    // the worker may still use are kept until it has ended (see the .cpp).
    void Shutdown();

    virtual int QueryWait(int mask, int elapsedMs);
    virtual void SetMusic(int on);

    // Pauses in slices of at most 100 ms; on a script thread it ends the
    // thread (StageThreadQuit) once Shutdown asks it to.
    int Wait(int ms);
    // The value of the first hit spot whose key shares a bit with `mask`, or
    // what the scene's CheckWait returns; 0 after `timeoutMs` (0: no limit).
    int WaitEvent(int mask, int timeoutMs);

    // Runs `body` catching the quit request; for every thread calling Wait.
    template <typename Body>
    static void RunThreadBody(Body&& body);

    // Copies the back buffer (or a part of it) to the view.
    void Repaint();
    void RepaintRect(int left, int top, int right, int bottom);

    // Input from the view, on the interface thread.
    void OnLButtonDown(unsigned flags, int x, int y);
    void OnLButtonUp(unsigned flags, int x, int y);
    void OnMouseMove(unsigned flags, int x, int y);
    void OnRButtonDown(unsigned flags, int x, int y);
    void OnRButtonUp(unsigned flags, int x, int y);
    void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned keyData);
    void OnTimer(uintptr_t id);
    int OnSetCursor(int hitCode);

    // Hot spots.
    int AddHotSpot(int x, int y, int w, int h, int value, int key);
    void RemoveHotSpotsByValue(int value);
    void RemoveHotSpotsByKey(int key);
    void RemoveHotSpotsDefault(int value);
    void EnableHotSpots(int key, int enabled);
    void ClearHotSpots();
    HotSpot GetHotSpot(int index) const;
    void SetHoverTarget(int value) { m_hoverTarget = value; }

    // Saved backgrounds.
    void PushOverlay(int x, int y, int w, int h);
    void PopOverlay();
    void DropOverlays();
    int GetOverlayCount() const;

    // Marker icons.
    void ShowIcon(int x, int y, int kind);
    void HideIcon(int kind);
    int GetIconSpot(int marker) const { return m_iconSpot[static_cast<size_t>(marker)].load(); }

    // Drawing on the back buffer and the view.
    void CopyToView(int x, int y, int w, int h);
    void DrawIconImage(int x, int y, int index);
    void DrawShape(int x, int y, int w, int h, int colorIndex, int kind);
    void FillRect(int x, int y, int w, int h, COLORREF color);
    int LoadPicture(uint32_t resourceId);
    void TilePicture(int x, int y, int w, int h);
    void DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY);
    void DrawSurface(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY);
    void DrawSurfaceDirect(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY);
    void GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h);
    void DrawTextAt(int x, int y, std::string_view text, int colorIndex, const std::shared_ptr<const Font>& font);
    void DrawTextInRect(const Rect& rect, std::string_view text, COLORREF color,
        const std::shared_ptr<const Font>& font, unsigned format);
    void DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height, int weight,
        COLORREF textColor, COLORREF shadeColor);

    // Sounds.
    void PlaySound(int slot, int mode);
    void StopSound(int slot);

    // Transitions, on the worker thread.
    void CurtainTransition();
    void WipePanel();
    void SlidePanelIn(DibSurface* image, int x, int y);

    // Members scenes and the main window read and flip.
    Scene* GetScene() const { return m_scene.get(); }
    Window* GetView() const { return m_view; }
    void SetOwner(Window* owner) { m_owner = owner; }
    Window* GetOwner() const { return m_owner; }
    DibSurface& BackBuffer() { return m_backBuffer; }
    DibSurface& Spare() { return m_spare; }
    DibSurface& Picture() { return m_picture; }
    SoundTable& Sounds() { return m_sounds; }
    const std::shared_ptr<const Font>& BigFont() const { return m_bigFont; }
    const std::shared_ptr<const Font>& SmallFont() const { return m_smallFont; }
    COLORREF GetColor(int index) const;

    std::atomic<int> active { 0 };
    std::atomic<int> clickMode { 1 };
    std::atomic<int> musicOn { 1 };
    std::atomic<int> waitingInput { 0 };
    std::atomic<int> stopRequest { 0 };
    std::atomic<int> quitThread { 0 };
    std::atomic<int> inWait { 0 };
    std::atomic<int> blinkOn { 0 };

    int GetHoverTarget() const { return m_hoverTarget.load(); }
    int GetLastHitValue() const { return m_lastHitValue.load(); }
    int GetLastHitKey() const { return m_lastHitKey.load(); }
    bool IsWorkerRunning() const { return m_workerRunning.load(); }

private:
    void LoadCursors();
    void LoadIcons();
    void SetPalette(const std::array<COLORREF, kPaletteSize>& palette);
    void ClickHitTest(int x, int y);
    void HoverHitTest(int x, int y);
    void RecordHit(const HotSpot& spot);
    void BlinkStep();
    void RestoreFromBackBuffer(const Rect& rect);
    void CopyFromBackBuffer(DibSurface& surface, int x, int y, int w, int h);
    bool IsScriptThread() const { return std::this_thread::get_id() != m_uiThreadId; }
    void WorkerBody();
    void JoinWorker();
    void NudgeCursor();

    Window* m_view = nullptr;
    Window* m_owner = nullptr;
    std::thread::id m_uiThreadId;
    std::unique_ptr<Cursor> m_ownHandCursor;
    const Cursor* m_handCursor = nullptr;
    const Cursor* m_arrowCursor = nullptr;

    std::array<DibSurface, kIconCount> m_icons;
    DibSurface m_picture;
    DibSurface m_backBuffer;
    DibSurface m_spare;
    mutable std::mutex m_overlayLock;
    std::array<std::unique_ptr<DibSurface>, kOverlayCount> m_overlaySave;
    std::array<Rect, kOverlayCount> m_overlayRect;
    int m_overlayCount = 0;
    std::shared_ptr<const Font> m_bigFont;
    std::shared_ptr<const Font> m_smallFont;

    std::unique_ptr<Scene> m_scene;
    std::thread m_worker;
    std::atomic<bool> m_workerRunning { false };

    std::array<std::optional<Pen>, kPaletteSize> m_pens;
    std::array<COLORREF, kPaletteSize> m_colors {};

    mutable std::mutex m_spotLock;
    std::array<HotSpot, kHotSpotCount> m_hotSpots;
    Rect m_lastHitRect;
    std::atomic<int> m_lastHitValue { 0 };
    std::atomic<int> m_lastHitKey { 0 };
    std::array<std::atomic<int>, kMarkerCount> m_iconSpot;
    std::array<Point, kMarkerCount> m_iconPos;
    std::atomic<int> m_hoverTarget { 0 };

    SoundTable m_sounds;
};

template <typename Body>
void GameStage::RunThreadBody(Body&& body)
{
    try {
        body();
    } catch (const StageThreadQuit&) {
    }
}

}
