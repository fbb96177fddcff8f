#include "app/Scene.h"

#include "app/GameStage.h"
#include "platform/Clock.h"
#include "platform/gdi/TextLayout.h"

namespace lumarra {

namespace {

constexpr unsigned kCenteredFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
constexpr unsigned kWrappedFormat = DT_WORDBREAK | DT_NOCLIP;

}

int Scene::Wait(int ms)
{
    if (!m_stage) {
        if (ms > 0)
            Sleep(static_cast<uint32_t>(ms));
        return 0;
    }
    return m_stage->Wait(ms);
}

int Scene::WaitEvent(int mask, int timeoutMs)
{
    return m_stage ? m_stage->WaitEvent(mask, timeoutMs) : 0;
}

int Scene::AddHotSpot(int x, int y, int w, int h, int value, int key)
{
    return m_stage ? m_stage->AddHotSpot(x, y, w, h, value, key) : 0;
}

void Scene::RemoveHotSpotsByValue(int value)
{
    if (m_stage)
        m_stage->RemoveHotSpotsByValue(value);
}

void Scene::RemoveHotSpotsByKey(int key)
{
    if (m_stage)
        m_stage->RemoveHotSpotsByKey(key);
}

void Scene::RemoveHotSpotsDefault(int value)
{
    if (m_stage)
        m_stage->RemoveHotSpotsDefault(value);
}

void Scene::EnableHotSpots(int key, int enabled)
{
    if (m_stage)
        m_stage->EnableHotSpots(key, enabled);
}

void Scene::ClearHotSpots()
{
    if (m_stage)
        m_stage->ClearHotSpots();
}

void Scene::SetHoverTarget(int value)
{
    if (m_stage)
        m_stage->SetHoverTarget(value);
}

void Scene::ClearHoverTarget()
{
    SetHoverTarget(0);
}

void Scene::PushOverlay(int x, int y, int w, int h)
{
    if (m_stage)
        m_stage->PushOverlay(x, y, w, h);
}

void Scene::PopOverlay()
{
    if (m_stage)
        m_stage->PopOverlay();
}

void Scene::DropOverlays()
{
    if (m_stage)
        m_stage->DropOverlays();
}

void Scene::ShowIcon(int x, int y, int kind)
{
    if (m_stage)
        m_stage->ShowIcon(x, y, kind);
}

void Scene::HideIcon(int kind)
{
    if (m_stage)
        m_stage->HideIcon(kind);
}

void Scene::DrawIconImage(int x, int y, int index)
{
    if (m_stage)
        m_stage->DrawIconImage(x, y, index);
}

void Scene::DrawShape(int x, int y, int w, int h, int colorIndex, int kind)
{
    if (m_stage)
        m_stage->DrawShape(x, y, w, h, colorIndex, kind);
}

void Scene::FillRect(int x, int y, int w, int h, COLORREF color)
{
    if (m_stage)
        m_stage->FillRect(x, y, w, h, color);
}

int Scene::LoadPicture(uint32_t resourceId)
{
    return m_stage ? m_stage->LoadPicture(resourceId) : 0;
}

void Scene::TilePicture(int x, int y, int w, int h)
{
    if (m_stage)
        m_stage->TilePicture(x, y, w, h);
}

void Scene::DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY)
{
    if (m_stage)
        m_stage->DrawBitmapResource(resourceId, x, y, w, h, srcX, srcY);
}

void Scene::DrawSurface(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    if (m_stage)
        m_stage->DrawSurface(surface, x, y, w, h, srcX, srcY);
}

void Scene::DrawSurfaceDirect(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    if (m_stage)
        m_stage->DrawSurfaceDirect(surface, x, y, w, h, srcX, srcY);
}

void Scene::GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h)
{
    if (m_stage)
        m_stage->GrabBackBuffer(surface, x, y, w, h);
}

void Scene::DrawTextBig(int x, int y, std::string_view text, int colorIndex)
{
    if (m_stage)
        m_stage->DrawTextAt(x, y, text, colorIndex, m_stage->BigFont());
}

void Scene::DrawTextSmall(int x, int y, std::string_view text, int colorIndex)
{
    if (m_stage)
        m_stage->DrawTextAt(x, y, text, colorIndex, m_stage->SmallFont());
}

void Scene::DrawTextCentered(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font)
{
    if (m_stage)
        m_stage->DrawTextInRect(rect, text, color, font, kCenteredFormat);
}

void Scene::DrawTextWrapped(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font)
{
    if (m_stage)
        m_stage->DrawTextInRect(rect, text, color, font, kWrappedFormat);
}

void Scene::DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height, int weight,
    COLORREF textColor, COLORREF shadeColor)
{
    if (m_stage)
        m_stage->DrawOutlinedText(rect, text, face, height, weight, textColor, shadeColor);
}

void Scene::Refresh(int left, int top, int right, int bottom)
{
    if (m_stage)
        m_stage->RepaintRect(left, top, right, bottom);
}

void Scene::PlaySound(int slot, int mode)
{
    if (m_stage)
        m_stage->PlaySound(slot, mode);
}

void Scene::StopSound(int slot)
{
    if (m_stage)
        m_stage->StopSound(slot);
}

void Scene::SlidePanelIn(DibSurface* image, int x, int y)
{
    if (m_stage)
        m_stage->SlidePanelIn(image, x, y);
}

void Scene::WipePanel()
{
    if (m_stage)
        m_stage->WipePanel();
}

void Scene::CurtainTransition()
{
    if (m_stage)
        m_stage->CurtainTransition();
}

}
