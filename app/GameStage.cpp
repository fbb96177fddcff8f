#include "app/GameStage.h"

#include "app/Scene.h"
#include "app/Settings.h"
#include "app/StartScene.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Application.h"
#include "platform/window/ClientDC.h"
#include "platform/window/Cursor.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace lumarra {

std::atomic<int> titleNotReady { 1 };

namespace {

constexpr int kWaitSliceMs = 100;
constexpr int kEventPollMs = 50;
constexpr int kShutdownSettleMs = 1000;
constexpr int kShutdownPolls = 20;
constexpr int kShutdownPollMs = 100;

constexpr std::array<uint32_t, 3> kHandCursorIds = { 139, 250, 249 };
constexpr uint32_t kIconSheet = 158;
constexpr int kIconSize = 32;
constexpr std::array<int, GameStage::kIconCount> kIconSheetX = { 128, 160, 0, 32, 64, 96 };
constexpr int kFirstMarkerIcon = 2;
constexpr int kBigFontTenths = 120;
constexpr int kSmallFontTenths = 90;
constexpr COLORREF kColourKey = 0xFF00FF;

// Marker icon k: its class bit (also the value of its hot spot) and key.
constexpr std::array<int, GameStage::kMarkerCount> kMarkerValue = { 0x8000, 0x4000, 0x2000, 0x1000 };
constexpr std::array<int, GameStage::kMarkerCount> kMarkerKey = { 0x8800, 0x4800, 0x2800, 0x1800 };

constexpr std::array<COLORREF, GameStage::kPaletteSize> kStagePalette = {
    0x000000, 0xFF0080, 0x0000F0, 0x00C0F0, 0xFFFFFF, 0x007080, 0x00E0F0, 0xF09040,
    0x000000, 0x008000, 0x0000A0, 0xC0A0F0, 0x00A000, 0x505030, 0x0080A0, 0x004080,
};

// The side panel the transitions bring in.
constexpr uint32_t kPanelBitmap = 135;
constexpr uint32_t kCurtainBitmap = 171;
constexpr int kPanelWidth = 325;
constexpr int kPanelHeight = 225;
constexpr int kPanelSourceX = 165;
constexpr int kPanelShownWidth = 158;
constexpr int kPanelImageWidth = 164;
constexpr int kPanelViewX = 810;
constexpr int kPanelViewY = 201;
constexpr int kTransitionStep = 8;
constexpr int kTransitionPauseMs = 10;
constexpr int kCurtainPauseMs = 5;
// How far the rising rows run past the top, so that both halves cover the
// whole height.
constexpr int kCurtainTravel = 980;

Rect SpanRect(int x, int y, int w, int h)
{
    return { x, y, x + w, y + h };
}

}

GameStage::GameStage()
    : m_sounds(&inWait)
{
    for (auto& spot : m_iconSpot)
        spot = -1;
    clickMode = ReadClickMode();
    musicOn = ReadMusicSwitch();
}

GameStage::~GameStage()
{
    JoinWorker();
    if (m_scene) {
        m_scene->Release();
        m_scene.reset();
    }
}

void GameStage::Init(Window* view, int width, int height, std::unique_ptr<Scene> firstScene)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_view = view;
    quitThread = 0;
    m_uiThreadId = std::this_thread::get_id();
    LoadCursors();
    ClearHotSpots();
    m_sounds.Load();
    m_bigFont = Font::CreatePoint(kBigFontTenths, Sjis("ＭＳ ゴシック"));
    m_smallFont = Font::CreatePoint(kSmallFontTenths, Sjis("ＭＳ ゴシック"));
    LoadIcons();
    m_backBuffer.CreateBlank(24, width, height, kNoColor);
    m_spare.CreateBlank(kImageDepth, width, height, kNoColor);
    DropOverlays();
    SetPalette(kStagePalette);
    for (auto& spot : m_iconSpot)
        spot = -1;
    m_scene = firstScene ? std::move(firstScene) : std::make_unique<StartScene>(this);
    active = 1;
    if (m_view)
        m_view->SetTimer(kBlinkTimer, kBlinkPeriodMs);
}

void GameStage::LoadCursors()
{
    for (uint32_t id : kHandCursorIds) {
        m_ownHandCursor = Cursor::LoadFromResource(id);
        if (m_ownHandCursor)
            break;
    }
    m_handCursor = m_ownHandCursor ? m_ownHandCursor.get() : Cursor::UpArrow();
    m_arrowCursor = Cursor::Arrow();
}

void GameStage::LoadIcons()
{
    DibSurface sheet(kIconSheet, kNoColor);
    for (size_t i = 0; i < m_icons.size(); ++i) {
        m_icons[i].CreateBlank(kImageDepth, kIconSize, kIconSize, kNoColor);
        if (sheet.IsValid())
            m_icons[i].DrawSurface(sheet, 0, 0, kIconSize, kIconSize, kIconSheetX[i], 0, SRCCOPY);
    }
}

void GameStage::SetPalette(const std::array<COLORREF, kPaletteSize>& palette)
{
    for (size_t i = 0; i < palette.size(); ++i) {
        m_colors[i] = m_backBuffer.IsValid() ? m_backBuffer.NearestColor(palette[i]) : palette[i];
        m_pens[i].emplace(PS_SOLID, m_colors[i]);
    }
}

COLORREF GameStage::GetColor(int index) const
{
    if (index < 0 || index >= kPaletteSize)
        return m_colors[0];
    return m_colors[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------
// The worker thread

void GameStage::StartThread()
{
    if (m_workerRunning || !m_scene)
        return;
    JoinWorker();
    m_workerRunning = true;
    m_worker = std::thread([this] { WorkerBody(); });
}

void GameStage::WorkerBody()
{
    try {
        m_scene->Run();
    } catch (const StageThreadQuit&) {
    } catch (...) {
        // A script that fails leaves the screen as it is, but silent.
        m_sounds.StopSound(0);
        m_sounds.UnloadAll();
    }
    m_workerRunning = false;
}

void GameStage::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

// A worker that has not reached a Wait after the polls is not waited for
// here any more, but nothing it may touch is freed: the scene stays, and the
// stage (with its surfaces and sound table) joins the thread when it is
// destroyed. Scripts call Wait regularly, so that join comes soon.
void GameStage::Shutdown()
{
    if (m_scene)
        m_scene->Stop();
    active = 0;
    DropOverlays();
    if (m_view)
        m_view->KillTimer(kBlinkTimer);
    m_sounds.StopSound(0);
    m_sounds.UnloadAll();
    Sleep(kShutdownSettleMs);
    if (m_worker.joinable()) {
        quitThread = 1;
        for (int poll = 0; poll < kShutdownPolls && m_workerRunning; ++poll)
            Sleep(kShutdownPollMs);
        if (!m_workerRunning)
            JoinWorker();
    }
    if (m_scene && !m_workerRunning) {
        m_scene->Release();
        m_scene.reset();
    }
}

int GameStage::QueryWait(int mask, int elapsedMs)
{
    return m_scene ? m_scene->CheckWait(mask, elapsedMs) : 0;
}

void GameStage::SetMusic(int on)
{
    musicOn = on;
    if (m_scene)
        m_scene->OnMusicChanged(on);
}

int GameStage::Wait(int ms)
{
    inWait = 1;
    int last = 1;
    while (ms > 0) {
        if (quitThread && IsScriptThread()) {
            quitThread = 0;
            inWait = 0;
            throw StageThreadQuit {};
        }
        int slice = std::min(ms, kWaitSliceMs);
        Sleep(static_cast<uint32_t>(slice));
        ms -= slice;
        last = inWait;
        if (last == 0 || stopRequest)
            break;
    }
    inWait = 0;
    return last;
}

void GameStage::NudgeCursor()
{
    // Moving the pointer onto itself makes the window ask for its shape again.
    if (Application* app = Application::Get()) {
        Point at = app->GetCursorPos();
        app->SetCursorPos(at.x, at.y);
    }
}

int GameStage::WaitEvent(int mask, int timeoutMs)
{
    struct InputWait {
        GameStage& stage;
        explicit InputWait(GameStage& s) : stage(s)
        {
            stage.waitingInput = 1;
            stage.NudgeCursor();
        }
        ~InputWait()
        {
            stage.waitingInput = 0;
            stage.NudgeCursor();
        }
    } inputWait(*this);

    m_lastHitKey = 0;
    m_lastHitValue = 0;
    int elapsed = 0;
    for (;;) {
        // The random sequence follows how long the player takes.
        (void)std::rand();
        Wait(kEventPollMs);
        elapsed += kEventPollMs;
        if (int result = QueryWait(mask, elapsed))
            return result;
        if (m_lastHitKey & mask)
            return m_lastHitValue;
        if (timeoutMs != 0) {
            if (timeoutMs <= kEventPollMs)
                return 0;
            timeoutMs -= kEventPollMs;
        }
    }
}

// ---------------------------------------------------------------------------
// Input

void GameStage::RecordHit(const HotSpot& spot)
{
    {
        std::lock_guard guard(m_spotLock);
        m_lastHitRect = spot.rect;
    }
    // The script reads the value only after it sees the key.
    m_lastHitValue = spot.value;
    m_lastHitKey = spot.key;
    m_sounds.PlaySound(kHitSound, 1);
}

void GameStage::ClickHitTest(int x, int y)
{
    std::optional<HotSpot> hit;
    {
        std::lock_guard guard(m_spotLock);
        for (const HotSpot& spot : m_hotSpots) {
            if (spot.IsUsed() && spot.enabled && spot.Contains(x, y)) {
                hit = spot;
                break;
            }
        }
    }
    if (hit)
        RecordHit(*hit);
}

void GameStage::HoverHitTest(int x, int y)
{
    int target = m_hoverTarget;
    if (clickMode != 0 || target == 0)
        return;
    std::optional<HotSpot> hit;
    {
        std::lock_guard guard(m_spotLock);
        for (const HotSpot& spot : m_hotSpots) {
            Rect inner { spot.rect.left + kHoverInset, spot.rect.top + kHoverInset, spot.rect.right - kHoverInset,
                spot.rect.bottom - kHoverInset };
            if (spot.IsUsed() && spot.enabled && spot.value == target && inner.Contains(x, y)) {
                hit = spot;
                break;
            }
        }
    }
    if (hit)
        RecordHit(*hit);
}

void GameStage::OnLButtonDown(unsigned flags, int x, int y)
{
    if (active && m_scene)
        m_scene->OnLButtonDown(flags, x, y);
}

void GameStage::OnLButtonUp(unsigned flags, int x, int y)
{
    if (!active)
        return;
    ClickHitTest(x, y);
    if (m_scene)
        m_scene->OnLButtonUp(flags, x, y);
}

void GameStage::OnMouseMove(unsigned flags, int x, int y)
{
    if (!active)
        return;
    HoverHitTest(x, y);
    if (m_scene)
        m_scene->OnMouseMove(flags, x, y);
}

void GameStage::OnRButtonDown(unsigned flags, int x, int y)
{
    if (active && m_scene)
        m_scene->OnRButtonDown(flags, x, y);
}

void GameStage::OnRButtonUp(unsigned flags, int x, int y)
{
    if (!active)
        return;
    ClickHitTest(x, y);
    if (m_scene)
        m_scene->OnRButtonUp(flags, x, y);
}

void GameStage::OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned keyData)
{
    if (active && m_scene)
        m_scene->OnKeyDown(virtualKey, repeatCount, keyData);
}

void GameStage::OnTimer(uintptr_t id)
{
    if (!active)
        return;
    if (id == kBlinkTimer)
        BlinkStep();
    if (m_scene)
        m_scene->OnTimer(id);
}

int GameStage::OnSetCursor(int hitCode)
{
    if (!active)
        return 0;
    Application* app = Application::Get();
    if (!app)
        return 0;
    const Cursor* cursor = m_arrowCursor;
    if (waitingInput && hitCode == HTCLIENT && m_view) {
        Point at = m_view->ScreenToClient(app->GetCursorPos());
        bool hot = false;
        {
            std::lock_guard guard(m_spotLock);
            hot = std::any_of(m_hotSpots.begin(), m_hotSpots.end(),
                [&](const HotSpot& spot) { return spot.IsUsed() && spot.enabled && spot.Contains(at.x, at.y); });
        }
        if (hot || (m_scene && m_scene->IsHot(at.x, at.y)))
            cursor = m_handCursor;
    }
    app->SetCursor(cursor);
    return 1;
}

// ---------------------------------------------------------------------------
// Hot spots

int GameStage::AddHotSpot(int x, int y, int w, int h, int value, int key)
{
    std::lock_guard guard(m_spotLock);
    for (size_t i = 0; i < m_hotSpots.size(); ++i) {
        if (!m_hotSpots[i].IsUsed()) {
            m_hotSpots[i] = { { x, y, x + w - 1, y + h - 1 }, value, key, 1 };
            return static_cast<int>(i);
        }
    }
    return -1;
}

void GameStage::RemoveHotSpotsByValue(int value)
{
    std::lock_guard guard(m_spotLock);
    for (HotSpot& spot : m_hotSpots) {
        if (spot.IsUsed() && spot.value == value)
            spot = {};
    }
}

void GameStage::RemoveHotSpotsByKey(int key)
{
    std::lock_guard guard(m_spotLock);
    for (HotSpot& spot : m_hotSpots) {
        if (spot.IsUsed() && (key == kAllKeys || spot.key == key))
            spot = {};
    }
}

void GameStage::RemoveHotSpotsDefault(int value)
{
    if (value != 0)
        RemoveHotSpotsByValue(value);
    else
        RemoveHotSpotsByKey(kTableKey);
}

void GameStage::EnableHotSpots(int key, int enabled)
{
    std::lock_guard guard(m_spotLock);
    for (HotSpot& spot : m_hotSpots) {
        if (spot.IsUsed() && (key == kAllKeys || spot.key == key))
            spot.enabled = enabled;
    }
}

void GameStage::ClearHotSpots()
{
    std::lock_guard guard(m_spotLock);
    m_hotSpots.fill({});
}

HotSpot GameStage::GetHotSpot(int index) const
{
    std::lock_guard guard(m_spotLock);
    if (index < 0 || index >= kHotSpotCount)
        return {};
    return m_hotSpots[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------
// Saved backgrounds

void GameStage::PushOverlay(int x, int y, int w, int h)
{
    auto saved = std::make_unique<DibSurface>(24, w, h, kNoColor);
    if (!saved->IsValid())
        return;
    CopyFromBackBuffer(*saved, x, y, w, h);
    std::lock_guard guard(m_overlayLock);
    // A sixth background has nowhere to go; it is not kept.
    if (m_overlayCount >= kOverlayCount)
        return;
    m_overlaySave[static_cast<size_t>(m_overlayCount)] = std::move(saved);
    m_overlayRect[static_cast<size_t>(m_overlayCount)] = SpanRect(x, y, w, h);
    ++m_overlayCount;
}

void GameStage::PopOverlay()
{
    std::unique_ptr<DibSurface> saved;
    Rect rect;
    {
        std::lock_guard guard(m_overlayLock);
        if (m_overlayCount == 0)
            return;
        --m_overlayCount;
        saved = std::move(m_overlaySave[static_cast<size_t>(m_overlayCount)]);
        rect = m_overlayRect[static_cast<size_t>(m_overlayCount)];
    }
    m_backBuffer.DrawSurface(*saved, rect.left, rect.top, rect.Width(), rect.Height(), 0, 0, SRCCOPY);
    CopyToView(rect.left, rect.top, rect.Width(), rect.Height());
}

void GameStage::DropOverlays()
{
    std::lock_guard guard(m_overlayLock);
    for (auto& saved : m_overlaySave)
        saved.reset();
    m_overlayCount = 0;
}

int GameStage::GetOverlayCount() const
{
    std::lock_guard guard(m_overlayLock);
    return m_overlayCount;
}

// ---------------------------------------------------------------------------
// Marker icons

void GameStage::ShowIcon(int x, int y, int kind)
{
    int marker = -1;
    for (int k = 0; k < kMarkerCount; ++k) {
        if (kind == k || kind == kMarkerValue[static_cast<size_t>(k)])
            marker = k;
    }
    if (marker < 0)
        return;
    size_t k = static_cast<size_t>(marker);
    DrawSurfaceDirect(m_icons[kFirstMarkerIcon + k], x, y, kIconSize, kIconSize, 0, 0);
    int index = AddHotSpot(x, y, kIconSize, kIconSize, kMarkerValue[k], kMarkerKey[k]);
    {
        std::lock_guard guard(m_spotLock);
        m_iconPos[k] = { x, y };
    }
    m_iconSpot[k] = index;
    blinkOn = 1;
    if (m_view)
        m_view->SetTimer(kBlinkTimer, kBlinkPeriodMs);
}

void GameStage::HideIcon(int kind)
{
    for (size_t k = 0; k < kMarkerCount; ++k) {
        bool named = kind == static_cast<int>(k) || (kind & kMarkerValue[k]) != 0;
        if (!named || m_iconSpot[k] == -1)
            continue;
        if (m_view)
            m_view->KillTimer(kBlinkTimer);
        Point at;
        {
            std::lock_guard guard(m_spotLock);
            at = m_iconPos[k];
        }
        RestoreFromBackBuffer(SpanRect(at.x, at.y, kIconSize, kIconSize));
        m_iconSpot[k] = -1;
        RemoveHotSpotsByValue(kMarkerValue[k]);
    }
}

void GameStage::BlinkStep()
{
    bool any = false;
    for (size_t k = 0; k < kMarkerCount; ++k) {
        if (m_iconSpot[k] == -1)
            continue;
        any = true;
        Point at;
        {
            std::lock_guard guard(m_spotLock);
            at = m_iconPos[k];
        }
        if (blinkOn)
            DrawSurfaceDirect(m_icons[kFirstMarkerIcon + k], at.x, at.y, kIconSize, kIconSize, 0, 0);
        else
            RestoreFromBackBuffer(SpanRect(at.x, at.y, kIconSize, kIconSize));
    }
    if (any)
        blinkOn = blinkOn ? 0 : 1;
}

void GameStage::RestoreFromBackBuffer(const Rect& rect)
{
    CopyToView(rect.left, rect.top, rect.Width(), rect.Height());
}

// ---------------------------------------------------------------------------
// Drawing

void GameStage::Repaint()
{
    if (m_backBuffer.IsValid())
        RepaintRect(0, 0, m_backBuffer.GetWidth(), m_backBuffer.GetHeight());
}

void GameStage::RepaintRect(int left, int top, int right, int bottom)
{
    if (active && m_view && m_view->IsWindowVisible())
        CopyToView(left, top, right - left, bottom - top);
}

void GameStage::CopyToView(int x, int y, int w, int h)
{
    if (!m_view || w <= 0 || h <= 0)
        return;
    // The view's buffer is locked before the back buffer, as everywhere.
    ClientDC dc(*m_view);
    if (!dc.IsValid())
        return;
    m_backBuffer.Draw(*dc, x, y, w, h, x, y, SRCCOPY);
    dc.MarkDirty(SpanRect(x, y, w, h));
}

void GameStage::DrawIconImage(int x, int y, int index)
{
    if (index < 0 || index >= kIconCount)
        return;
    m_backBuffer.DrawSurface(m_icons[static_cast<size_t>(index)], x, y, kIconSize, kIconSize, 0, 0, SRCCOPY);
    CopyToView(x, y, kIconSize, kIconSize);
}

void GameStage::DrawShape(int x, int y, int w, int h, int colorIndex, int kind)
{
    if (colorIndex < 0 || colorIndex >= kPaletteSize)
        return;
    size_t i = static_cast<size_t>(colorIndex);
    if (kind == 2) {
        FillRect(x, y, w, h, m_colors[i]);
        return;
    }
    m_backBuffer.Lock();
    m_backBuffer.BeginDraw();
    m_backBuffer.SelectPen(&*m_pens[i]);
    if (kind == 0) {
        m_backBuffer.MoveTo(x, y);
        m_backBuffer.LineTo(x + w, y + h);
    } else if (kind == 1) {
        std::array<Point, 5> corners = { Point { x, y }, Point { x + w, y }, Point { x + w, y + h },
            Point { x, y + h }, Point { x, y } };
        m_backBuffer.Polyline(corners);
    }
    m_backBuffer.EndDraw();
    m_backBuffer.Unlock();
    int left = std::min(x, x + w);
    int top = std::min(y, y + h);
    CopyToView(left, top, std::abs(w) + 1, std::abs(h) + 1);
}

void GameStage::FillRect(int x, int y, int w, int h, COLORREF color)
{
    m_backBuffer.FillSolidRect(x, y, w, h, color);
    CopyToView(x, y, w, h);
}

int GameStage::LoadPicture(uint32_t resourceId)
{
    m_picture.Release();
    return m_picture.LoadFromResource(resourceId, kNoColor);
}

void GameStage::TilePicture(int x, int y, int w, int h)
{
    if (!m_picture.IsValid() || m_picture.GetWidth() <= 0 || m_picture.GetHeight() <= 0)
        return;
    m_backBuffer.DrawSurfaceTiled(m_picture, x, y, w, h, x % m_picture.GetWidth(), y % m_picture.GetHeight(),
        SRCCOPY);
}

void GameStage::DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY)
{
    DibSurface bitmap(resourceId, kColourKey);
    if (!bitmap.IsValid())
        return;
    DrawSurface(bitmap, x, y, w, h, srcX, srcY);
}

void GameStage::DrawSurface(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    m_backBuffer.DrawSurface(surface, x, y, w, h, srcX, srcY, SRCCOPY);
    CopyToView(x, y, w, h);
}

void GameStage::DrawSurfaceDirect(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    if (!m_view)
        return;
    ClientDC dc(*m_view);
    if (!dc.IsValid())
        return;
    surface.Draw(*dc, x, y, w, h, srcX, srcY, SRCCOPY);
    dc.MarkDirty(SpanRect(x, y, w, h));
}

void GameStage::GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h)
{
    CopyFromBackBuffer(surface, x, y, w, h);
}

// Copies out of the back buffer with its lock taken first: copies into it
// (restoring an overlay, drawing a grabbed surface back) lock it first as
// the destination, and both orders must agree.
void GameStage::CopyFromBackBuffer(DibSurface& surface, int x, int y, int w, int h)
{
    m_backBuffer.Lock();
    surface.DrawSurface(m_backBuffer, 0, 0, w, h, x, y, SRCCOPY);
    m_backBuffer.Unlock();
}

void GameStage::DrawTextAt(int x, int y, std::string_view text, int colorIndex,
    const std::shared_ptr<const Font>& font)
{
    Rect extent { x, y, x, y };
    m_backBuffer.Lock();
    m_backBuffer.BeginDraw();
    m_backBuffer.SelectFont(font);
    m_backBuffer.SetTextColor(GetColor(colorIndex));
    m_backBuffer.SetBkMode(TRANSPARENT);
    m_backBuffer.TextOut(x, y, text);
    m_backBuffer.DrawText(text, extent, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    m_backBuffer.EndDraw();
    m_backBuffer.Unlock();
    CopyToView(x, y, extent.Width(), extent.Height());
}

void GameStage::DrawTextInRect(const Rect& rect, std::string_view text, COLORREF color,
    const std::shared_ptr<const Font>& font, unsigned format)
{
    Rect box = rect;
    Rect extent = rect;
    m_backBuffer.Lock();
    m_backBuffer.BeginDraw();
    m_backBuffer.SelectFont(font);
    m_backBuffer.SetTextColor(color);
    m_backBuffer.SetBkMode(TRANSPARENT);
    m_backBuffer.DrawText(text, box, format);
    m_backBuffer.DrawText(text, extent, format | DT_CALCRECT);
    m_backBuffer.EndDraw();
    m_backBuffer.Unlock();
    // Unclipped text may spill over the box: the view gets both.
    int spillX = std::max(0, extent.Width() - rect.Width());
    int spillY = std::max(0, extent.Height() - rect.Height());
    Rect touched { rect.left - spillX, rect.top - spillY, rect.right + spillX, rect.bottom + spillY };
    CopyToView(touched.left, touched.top, touched.Width(), touched.Height());
}

void GameStage::DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height,
    int weight, COLORREF textColor, COLORREF shadeColor)
{
    m_backBuffer.DrawOutlinedText(text, rect.left, rect.top, rect.Width(), rect.Height(), face, height, weight,
        textColor, shadeColor);
    CopyToView(rect.left, rect.top, rect.Width(), rect.Height());
}

// ---------------------------------------------------------------------------
// Sounds

void GameStage::PlaySound(int slot, int mode)
{
    m_sounds.PlaySound(slot, mode);
}

void GameStage::StopSound(int slot)
{
    m_sounds.StopSound(slot);
}

// ---------------------------------------------------------------------------
// Transitions

void GameStage::CurtainTransition()
{
    LoadPicture(kCurtainBitmap);
    if (m_view && m_spare.IsValid()) {
        int width = m_spare.GetWidth();
        int bottom = m_spare.GetHeight() - 1;
        // Even rows come down from the top while odd rows rise from the
        // bottom; the pair crosses once the top has passed the middle.
        for (int top = 0, row = bottom; row >= bottom - kCurtainTravel; top += 2, row -= 2) {
            {
                ClientDC dc(*m_view);
                if (dc.IsValid()) {
                    m_spare.Draw(*dc, 0, top, width, 1, 0, top, SRCCOPY);
                    m_spare.Draw(*dc, 0, row, width, 1, 0, row, SRCCOPY);
                    dc.MarkDirty(SpanRect(0, top, width, 1));
                    dc.MarkDirty(SpanRect(0, row, width, 1));
                }
            }
            Wait(kCurtainPauseMs);
        }
    }
    StopSound(0);
}

void GameStage::WipePanel()
{
    DibSurface panel(kPanelBitmap, kNoColor);
    if (!panel.IsValid())
        return;
    int width = kTransitionStep;
    for (int x = 960; x >= 816; x -= kTransitionStep, width += kTransitionStep) {
        Wait(kTransitionPauseMs);
        DrawSurfaceDirect(panel, x, kPanelViewY, width, kPanelHeight, kPanelSourceX, 0);
    }
    DrawSurface(panel, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, kPanelSourceX, 0);
}

void GameStage::SlidePanelIn(DibSurface* image, int x, int y)
{
    DibSurface work(24, kPanelWidth, kPanelHeight, kNoColor);
    if (!work.IsValid())
        return;
    DibSurface panel(kPanelBitmap, kNoColor);
    if (panel.IsValid())
        work.DrawSurface(panel, 0, 0, kPanelWidth, kPanelHeight, 0, 0, SRCCOPY);
    // The image is kept inside the left area whatever its size.
    auto buildLeftArea = [&] {
        work.FillSolidRect(0, 0, kPanelImageWidth, kPanelHeight, RGB(0, 0, 0));
        if (image && image->IsValid()) {
            int w = std::min(image->GetWidth(), kPanelImageWidth - x);
            int h = std::min(image->GetHeight(), kPanelHeight - y);
            if (w > 0 && h > 0)
                work.DrawSurface(*image, x, y, w, h, 0, 0, SRCCOPY);
        }
    };
    buildLeftArea();
    for (int n = kPanelSourceX; n >= 5; n -= kTransitionStep) {
        Wait(kTransitionPauseMs);
        buildLeftArea();
        DrawSurfaceDirect(work, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, n, 0);
    }
    DrawSurface(work, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, 0, 0);
}

}
