#pragma once

#include "app/HotSpotTable.h"
#include "app/MarkerIcons.h"
#include "app/OverlayStack.h"
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

// Cleared by the title scene once its menu is on screen; the main window's
// start-up timers wait for it.
extern std::atomic<int> titleNotReady;

// The engine every screen runs on: the 980 × 600 back buffer and the view it
// is shown on, the hot spots, the saved backgrounds, the marker icons, the
// sound table and the worker thread that runs the current scene's script.
//
// Window messages arrive on the interface thread; the script runs on the
// worker thread. They share word-sized flags (atomics), the hot-spot table
// and the marker icons (each under its own lock); drawing is serialised by
// the surfaces' locks, always taking the view's buffer before the back
// buffer.
class GameStage {
public:
    static constexpr int kHotSpotCount = HotSpotTable::kCount;
    static constexpr int kAllKeys = HotSpotTable::kAllKeys;
    static constexpr int kTableKey = HotSpotTable::kTableKey;
    static constexpr int kOverlayCount = OverlayStack::kCapacity;
    static constexpr int kIconCount = 6;
    static constexpr int kPaletteSize = 16;
    static constexpr int kImageDepth = 8;
    static constexpr uintptr_t kBlinkTimer = 1;
    static constexpr uint32_t kBlinkPeriodMs = 500;
    static constexpr int kHitSound = 6;
    static constexpr int kHoverInset = 20;
    // The reading area of the play screen's side panel.
    static constexpr Rect kReadingArea = Rect::FromSize(814, 208, 150, 210);
    // The bar behind the newest game's line in the ranking: a soft yellow
    // that keeps the dark text on it readable.
    static constexpr COLORREF kHighlightColor = 0x8CECFF;

    GameStage();
    GameStage(const GameStage&) = delete;
    GameStage& operator=(const GameStage&) = delete;
    // A worker that never stops is not waited for without end: after a
    // bounded wait the process ends (see EndStuckProcess).
    virtual ~GameStage();

    // Sets everything up on the interface thread; `firstScene` is the scene
    // the worker will run (a plain, empty scene when null).
    void Init(Window* view, int width, int height, std::unique_ptr<Scene> firstScene);
    void StartThread();
    // Stops the scene, the timer and the worker thread, then the sounds.
    // Objects a worker that has not ended may still use are kept until it
    // has (see the .cpp).
    void Shutdown();

    virtual int QueryWait(int mask, int elapsedMs);
    virtual void SetMusic(int on);

    // Pauses in slices of at most 100 ms. On the stage's worker thread, once
    // Shutdown has asked it to quit, the wait never returns: the first time
    // it unwinds the script (StageQuit, caught by the worker's body); a
    // script that swallows that and waits again is parked for good, so no
    // catch in a script can keep it running. Other threads (the interface
    // thread, readers) only sleep; they pace themselves with their own stop
    // flags (SleepUnlessStopped) instead.
    int Wait(int ms);
    // The value of the first hit spot whose key shares a bit with `mask`, or
    // what the scene's CheckWait returns; 0 after `timeoutMs` (0: no limit).
    int WaitEvent(int mask, int timeoutMs);

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
    int AddHotSpot(int x, int y, int w, int h, int value, int key) { return m_hotSpots.Add(x, y, w, h, value, key); }
    void RemoveHotSpotsByValue(int value) { m_hotSpots.RemoveByValue(value); }
    void RemoveHotSpotsByKey(int key) { m_hotSpots.RemoveByKey(key); }
    void RemoveHotSpotsDefault(int value) { m_hotSpots.RemoveDefault(value); }
    void EnableHotSpots(int key, int enabled) { m_hotSpots.Enable(key, enabled); }
    void ClearHotSpots() { m_hotSpots.Clear(); }
    HotSpot GetHotSpot(int index) const { return m_hotSpots.Get(index); }
    void SetHoverTarget(int value) { m_hoverTarget = value; }

    // Saved backgrounds.
    void PushOverlay(int x, int y, int w, int h);
    void PopOverlay();
    void DropOverlays() { m_overlays.Drop(); }
    int GetOverlayCount() const { return m_overlays.GetCount(); }

    // Marker icons.
    void ShowIcon(int x, int y, int kind) { m_markers.Show(x, y, kind); }
    void HideIcon(int kind) { m_markers.Hide(kind); }
    int GetIconSpot(int marker) const { return m_markers.GetSpot(marker); }

    // What a scene leaves on the stage between rounds and screens: the saved
    // backgrounds (dropped, not restored), the hover target and the marker
    // icons (hidden, with their hot spots). Other hot spots stay.
    void ClearObjects();

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
    // The reading-card back (150 × 210) in the reading area.
    void ShowCardBack(DibSurface& back);

    // Sounds.
    void PlaySound(int slot, int mode) { m_sounds.PlaySound(slot, mode); }
    void StopSound(int slot) { m_sounds.StopSound(slot); }

    // Members scenes and the main window read and flip.
    Scene* GetScene() const { return m_scene.get(); }
    Window* GetView() const { return m_view; }
    void SetOwner(Window* owner) { m_owner = owner; }
    Window* GetOwner() const { return m_owner; }
    DibSurface& GetBackBuffer() { return m_backBuffer; }
    DibSurface& GetSpare() { return m_spare; }
    DibSurface& GetPicture() { return m_picture; }
    DibSurface& Icon(int index) { return m_icons[static_cast<size_t>(index)]; }
    SoundTable& GetSounds() { return m_sounds; }
    const std::shared_ptr<const Font>& GetBigFont() const { return m_bigFont; }
    const std::shared_ptr<const Font>& GetSmallFont() const { return m_smallFont; }
    COLORREF GetColor(int index) const;

    std::atomic<int> active { 0 };
    std::atomic<int> clickMode { 1 };
    std::atomic<int> musicOn { 1 };
    std::atomic<int> waitingInput { 0 };
    std::atomic<int> stopRequest { 0 };
    std::atomic<int> quitThread { 0 };
    std::atomic<int> inWait { 0 };

    int GetHoverTarget() const { return m_hoverTarget.load(); }
    int GetLastHitValue() const { return m_lastHitValue.load(); }
    int GetLastHitKey() const { return m_lastHitKey.load(); }
    // True while the worker can still run script code (a parked worker
    // cannot).
    bool IsWorkerRunning() const { return m_workerRunning.load(); }

private:
    void LoadCursors();
    void LoadIcons();
    void SetPalette(const std::array<COLORREF, kPaletteSize>& palette);
    void RecordHit(const HotSpot& spot);
    bool IsWorkerThread() const { return std::this_thread::get_id() == m_workerId.load(); }
    void WorkerBody();
    bool AskWorkerToQuit();
    void ReleaseWorker();
    [[noreturn]] void ParkWorker();
    void NudgeCursor();

    Window* m_view = nullptr;
    Window* m_owner = nullptr;
    std::unique_ptr<Cursor> m_ownHandCursor;
    const Cursor* m_handCursor = nullptr;
    const Cursor* m_arrowCursor = nullptr;

    std::array<DibSurface, kIconCount> m_icons;
    DibSurface m_picture;
    DibSurface m_backBuffer;
    DibSurface m_spare;
    OverlayStack m_overlays;
    std::shared_ptr<const Font> m_bigFont;
    std::shared_ptr<const Font> m_smallFont;

    std::unique_ptr<Scene> m_scene;
    std::thread m_worker;
    std::atomic<std::thread::id> m_workerId;
    std::atomic<bool> m_workerRunning { false };
    // Set once the quit has unwound the script; a later Wait parks it.
    std::atomic<bool> m_quitThrown { false };
    std::atomic<bool> m_workerParked { false };

    std::array<std::optional<Pen>, kPaletteSize> m_pens;
    std::array<COLORREF, kPaletteSize> m_colors {};

    HotSpotTable m_hotSpots;
    MarkerIcons m_markers { *this };
    std::atomic<int> m_lastHitValue { 0 };
    std::atomic<int> m_lastHitKey { 0 };
    std::atomic<int> m_hoverTarget { 0 };

    SoundTable m_sounds;
};

}
