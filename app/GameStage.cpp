#include "app/GameStage.h"

#include "app/Scene.h"
#include "app/Settings.h"
#include "graphics/SurfaceDrawing.h"
#include "graphics/SurfaceLock.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Application.h"
#include "platform/window/ClientDC.h"
#include "platform/window/Cursor.h"
#include "platform/window/Window.h"
#include "support/GameRandom.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace lumarra {

std::atomic<int> titleNotReady { 1 };

namespace {

constexpr int kWaitSliceMs = 100;
constexpr int kEventPollMs = 50;
// Shutdown lets the scene settle, then polls the worker: about three
// seconds in all before it is given up on.
constexpr int kShutdownSettleMs = 1000;
constexpr int kShutdownPolls = 20;
constexpr int kShutdownPollMs = 100;
// The status of a process ended because its worker would not stop.
constexpr int kStuckWorkerExitCode = 1;

constexpr std::array<uint32_t, 3> kHandCursorIds = { 139, 250, 249 };
constexpr uint32_t kIconSheet = 158;
constexpr int kIconSize = 32;
constexpr std::array<int, GameStage::kIconCount> kIconSheetX = { 128, 160, 0, 32, 64, 96 };
// The icon sheet's background around each round icon.
constexpr COLORREF kIconBackground = 0x000000;
constexpr int kBigFontTenths = 120;
constexpr int kSmallFontTenths = 90;
constexpr COLORREF kColorKey = 0xFF00FF;
// Surfaces holding a whole screen that is shown again keep every color.
constexpr int kScreenDepth = 24;

constexpr std::array<COLORREF, GameStage::kPaletteSize> kStagePalette = {
    0x000000,
    0xFF0080,
    0x0000F0,
    0x00C0F0,
    0xFFFFFF,
    0x007080,
    0x00E0F0,
    0xF09040,
    0x000000,
    0x008000,
    0x0000A0,
    0xC0A0F0,
    0x00A000,
    0x505030,
    0x0080A0,
    0x004080,
};

// Unwinds a script once Shutdown asks the worker to quit. Only the worker's
// body names it, so no script can catch it on purpose.
struct StageQuit { };

// Keeping the stage alive for a worker that never stops would keep the
// process alive with no window; by now the keyboard is free again and every
// file the game writes is complete, so the process ends here.
[[noreturn]] void EndStuckProcess()
{
    std::fputs("lumarra: a game script did not stop; ending the program\n", stderr);
    std::fflush(nullptr);
    std::_Exit(kStuckWorkerExitCode);
}

}

GameStage::GameStage()
    : m_sounds(&inWait)
{
    clickMode = ReadClickMode();
    musicOn = ReadMusicSwitch();
}

GameStage::~GameStage()
{
    if (m_workerRunning && !AskWorkerToQuit())
        EndStuckProcess();
    ReleaseWorker();
    if (m_scene) {
        m_scene->Release();
        m_scene.reset();
    }
}

void GameStage::Init(Window* view, int width, int height, std::unique_ptr<Scene> firstScene)
{
    GameRandom::SeedFromTime();
    m_view = view;
    quitThread = 0;
    LoadCursors();
    ClearHotSpots();
    m_sounds.Load();
    m_bigFont = Font::CreatePoint(kBigFontTenths, Sjis("ＭＳ ゴシック"));
    m_smallFont = Font::CreatePoint(kSmallFontTenths, Sjis("ＭＳ ゴシック"));
    LoadIcons();
    m_backBuffer.CreateBlank(kScreenDepth, width, height, kNoColor);
    m_spare.CreateBlank(kScreenDepth, width, height, kNoColor);
    DropOverlays();
    SetPalette(kStagePalette);
    m_markers.Reset();
    m_scene = firstScene ? std::move(firstScene) : std::make_unique<Scene>(this);
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
        if (!sheet.IsValid())
            continue;
        m_icons[i].DrawSurface(sheet, 0, 0, kIconSize, kIconSize, kIconSheetX[i], 0, SRCCOPY);
        // Round icons on a square cell: the corners let the screen show.
        m_icons[i].SetTransparentColor(kIconBackground);
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
    if (m_worker.joinable() || !m_scene)
        return;
    m_workerRunning = true;
    m_worker = std::thread([this] { WorkerBody(); });
    m_workerId = m_worker.get_id();
}

void GameStage::WorkerBody()
{
    // The id is set by StartThread too; whichever comes first, Wait must
    // know this thread before the script's first step.
    m_workerId = std::this_thread::get_id();
    try {
        m_scene->Run();
    } catch (const StageQuit&) {
    } catch (...) {
        // A script that fails leaves the screen as it is, but silent. The
        // sounds are unloaded by Shutdown once this thread has ended.
        m_sounds.StopSound(0);
    }
    m_workerRunning = false;
}

// Asks the worker to quit and polls for it; true when it has ended (or
// parked for good).
bool GameStage::AskWorkerToQuit()
{
    if (!m_worker.joinable())
        return true;
    quitThread = 1;
    for (int poll = 0; poll < kShutdownPolls && m_workerRunning; ++poll)
        Sleep(kShutdownPollMs);
    return !m_workerRunning;
}

void GameStage::ReleaseWorker()
{
    if (!m_worker.joinable())
        return;
    if (m_workerParked)
        m_worker.detach();
    else
        m_worker.join();
}

// A script that swallowed its quit and waited again: it must never run
// another step, so the thread sleeps until the process ends. Nothing of the
// stage is touched after the flags, so the stage may go away meanwhile.
void GameStage::ParkWorker()
{
    m_workerParked = true;
    m_workerRunning = false;
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

// A worker that does not end after the polls is not waited for here any
// more, and nothing it may touch is freed: the scene and the sounds stay
// (stopped), and the stage's destructor ends the process if the worker is
// still running then.
void GameStage::Shutdown()
{
    if (m_scene)
        m_scene->Stop();
    active = 0;
    DropOverlays();
    if (m_view)
        m_view->KillTimer(kBlinkTimer);
    m_sounds.StopSound(0);
    Sleep(kShutdownSettleMs);
    if (!AskWorkerToQuit())
        return;
    ReleaseWorker();
    m_sounds.UnloadAll();
    if (m_scene) {
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
        if (IsWorkerThread()) {
            if (m_quitThrown)
                ParkWorker();
            if (quitThread) {
                quitThread = 0;
                inWait = 0;
                m_quitThrown = true;
                throw StageQuit {};
            }
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
        explicit InputWait(GameStage& s)
            : stage(s)
        {
            stage.waitingInput = 1;
            stage.NudgeCursor();
        }
        ~InputWait()
        {
            stage.waitingInput = 0;
            stage.NudgeCursor();
        }
    };
    // Cleared before the wait is shown as open: a click that arrives as soon
    // as it is must not be wiped.
    m_lastHitKey = 0;
    m_lastHitValue = 0;
    InputWait inputWait(*this);

    int elapsed = 0;
    for (;;) {
        // The random sequence follows how long the player takes.
        (void)GameRandom::Next();
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
    // The script reads the value only after it sees the key.
    m_lastHitValue = spot.value;
    m_lastHitKey = spot.key;
    m_sounds.PlaySound(kHitSound, 1);
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
    if (std::optional<HotSpot> hit = m_hotSpots.FindHit(x, y))
        RecordHit(*hit);
    if (m_scene)
        m_scene->OnLButtonUp(flags, x, y);
}

void GameStage::OnMouseMove(unsigned flags, int x, int y)
{
    if (!active)
        return;
    int target = m_hoverTarget;
    if (clickMode == 0 && target != 0) {
        if (std::optional<HotSpot> hit = m_hotSpots.FindHoverHit(x, y, target, kHoverInset))
            RecordHit(*hit);
    }
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
    if (std::optional<HotSpot> hit = m_hotSpots.FindHit(x, y))
        RecordHit(*hit);
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
        m_markers.BlinkStep();
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
        if (m_hotSpots.FindHit(at.x, at.y) || (m_scene && m_scene->IsHot(at.x, at.y)))
            cursor = m_handCursor;
    }
    app->SetCursor(cursor);
    return 1;
}

void GameStage::ClearObjects()
{
    DropOverlays();
    m_hoverTarget = 0;
    m_markers.Hide(MarkerIcons::kAllMarkers);
}

// ---------------------------------------------------------------------------
// Saved backgrounds

void GameStage::PushOverlay(int x, int y, int w, int h)
{
    auto picture = std::make_unique<DibSurface>(kScreenDepth, w, h, kNoColor);
    if (!picture->IsValid())
        return;
    GrabBackBuffer(*picture, x, y, w, h);
    m_overlays.Push(std::move(picture), Rect::FromSize(x, y, w, h));
}

void GameStage::PopOverlay()
{
    std::optional<OverlayStack::Saved> saved = m_overlays.Pop();
    if (!saved)
        return;
    const Rect& rect = saved->rect;
    DrawSurface(*saved->picture, rect.left, rect.top, rect.GetWidth(), rect.GetHeight(), 0, 0);
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
    dc.MarkDirty(Rect::FromSize(x, y, w, h));
}

void GameStage::DrawIconImage(int x, int y, int index)
{
    if (index < 0 || index >= kIconCount)
        return;
    DrawSurface(m_icons[static_cast<size_t>(index)], x, y, kIconSize, kIconSize, 0, 0);
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
    {
        SurfaceDrawing drawing(m_backBuffer);
        drawing->SelectPen(&*m_pens[i]);
        if (kind == 0) {
            drawing->MoveTo(x, y);
            drawing->LineTo(x + w, y + h);
        } else if (kind == 1) {
            std::array<Point, 5> corners
                = { Point { x, y }, Point { x + w, y }, Point { x + w, y + h }, Point { x, y + h }, Point { x, y } };
            drawing->Polyline(corners);
        }
    }
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
    m_backBuffer.DrawSurfaceTiled(m_picture, x, y, w, h, x % m_picture.GetWidth(), y % m_picture.GetHeight(), SRCCOPY);
}

void GameStage::DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY)
{
    DibSurface bitmap(resourceId, kColorKey);
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
    dc.MarkDirty(Rect::FromSize(x, y, w, h));
}

// Copies out of the back buffer with its lock taken first: copies into it
// (restoring an overlay, drawing a grabbed surface back) lock it first as
// the destination, and both orders must agree.
void GameStage::GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h)
{
    SurfaceLock lock(m_backBuffer);
    surface.DrawSurface(m_backBuffer, 0, 0, w, h, x, y, SRCCOPY);
}

void GameStage::DrawTextAt(int x, int y, std::string_view text, int colorIndex, const std::shared_ptr<const Font>& font)
{
    Rect extent { x, y, x, y };
    {
        SurfaceDrawing drawing(m_backBuffer);
        drawing->SelectFont(font);
        drawing->SetTextColor(GetColor(colorIndex));
        drawing->SetBkMode(TRANSPARENT);
        drawing->TextOut(x, y, text);
        drawing->DrawText(text, extent, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    }
    CopyToView(x, y, extent.GetWidth(), extent.GetHeight());
}

void GameStage::DrawTextInRect(const Rect& rect, std::string_view text, COLORREF color,
    const std::shared_ptr<const Font>& font, unsigned format)
{
    Rect box = rect;
    Rect extent = rect;
    {
        SurfaceDrawing drawing(m_backBuffer);
        drawing->SelectFont(font);
        drawing->SetTextColor(color);
        drawing->SetBkMode(TRANSPARENT);
        drawing->DrawText(text, box, format);
        drawing->DrawText(text, extent, format | DT_CALCRECT);
    }
    // Unclipped text may spill over the box: the view gets both.
    int spillX = std::max(0, extent.GetWidth() - rect.GetWidth());
    int spillY = std::max(0, extent.GetHeight() - rect.GetHeight());
    Rect touched { rect.left - spillX, rect.top - spillY, rect.right + spillX, rect.bottom + spillY };
    CopyToView(touched.left, touched.top, touched.GetWidth(), touched.GetHeight());
}

void GameStage::DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height, int weight,
    COLORREF textColor, COLORREF shadeColor)
{
    m_backBuffer.DrawOutlinedText(text, rect.left, rect.top, rect.GetWidth(), rect.GetHeight(), face, height, weight,
        textColor, shadeColor);
    CopyToView(rect.left, rect.top, rect.GetWidth(), rect.GetHeight());
}

void GameStage::ShowCardBack(DibSurface& back)
{
    DrawSurface(back, kReadingArea.left, kReadingArea.top, kReadingArea.GetWidth(), kReadingArea.GetHeight(), 0, 0);
}

}
