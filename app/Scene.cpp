#include "app/Scene.h"

#include "app/GameStage.h"
#include "app/StageTransitions.h"
#include "platform/Clock.h"
#include "platform/gdi/TextLayout.h"

namespace lumarra {

namespace {

constexpr unsigned kCenteredFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;
constexpr unsigned kWrappedFormat = DT_WORDBREAK | DT_NOCLIP;

}

template <typename Call>
auto Scene::OnStage(Call&& call) -> decltype(call(std::declval<GameStage&>()))
{
    using Result = decltype(call(*m_stage));
    if (!m_stage)
        return Result();
    return call(*m_stage);
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
    return OnStage([&](GameStage& stage) { return stage.WaitEvent(mask, timeoutMs); });
}

int Scene::AddHotSpot(int x, int y, int w, int h, int value, int key)
{
    return OnStage([&](GameStage& stage) { return stage.AddHotSpot(x, y, w, h, value, key); });
}

void Scene::RemoveHotSpotsByValue(int value)
{
    OnStage([&](GameStage& stage) { stage.RemoveHotSpotsByValue(value); });
}

void Scene::RemoveHotSpotsByKey(int key)
{
    OnStage([&](GameStage& stage) { stage.RemoveHotSpotsByKey(key); });
}

void Scene::RemoveHotSpotsDefault(int value)
{
    OnStage([&](GameStage& stage) { stage.RemoveHotSpotsDefault(value); });
}

void Scene::EnableHotSpots(int key, int enabled)
{
    OnStage([&](GameStage& stage) { stage.EnableHotSpots(key, enabled); });
}

void Scene::ClearHotSpots()
{
    OnStage([](GameStage& stage) { stage.ClearHotSpots(); });
}

void Scene::SetHoverTarget(int value)
{
    OnStage([&](GameStage& stage) { stage.SetHoverTarget(value); });
}

void Scene::ClearHoverTarget()
{
    SetHoverTarget(0);
}

void Scene::PushOverlay(int x, int y, int w, int h)
{
    OnStage([&](GameStage& stage) { stage.PushOverlay(x, y, w, h); });
}

void Scene::PopOverlay()
{
    OnStage([](GameStage& stage) { stage.PopOverlay(); });
}

void Scene::DropOverlays()
{
    OnStage([](GameStage& stage) { stage.DropOverlays(); });
}

void Scene::ShowIcon(int x, int y, int kind)
{
    OnStage([&](GameStage& stage) { stage.ShowIcon(x, y, kind); });
}

void Scene::HideIcon(int kind)
{
    OnStage([&](GameStage& stage) { stage.HideIcon(kind); });
}

void Scene::ClearObjects()
{
    OnStage([](GameStage& stage) { stage.ClearObjects(); });
}

void Scene::DrawIconImage(int x, int y, int index)
{
    OnStage([&](GameStage& stage) { stage.DrawIconImage(x, y, index); });
}

void Scene::DrawShape(int x, int y, int w, int h, int colorIndex, int kind)
{
    OnStage([&](GameStage& stage) { stage.DrawShape(x, y, w, h, colorIndex, kind); });
}

void Scene::FillRect(int x, int y, int w, int h, COLORREF color)
{
    OnStage([&](GameStage& stage) { stage.FillRect(x, y, w, h, color); });
}

int Scene::LoadPicture(uint32_t resourceId)
{
    return OnStage([&](GameStage& stage) { return stage.LoadPicture(resourceId); });
}

void Scene::TilePicture(int x, int y, int w, int h)
{
    OnStage([&](GameStage& stage) { stage.TilePicture(x, y, w, h); });
}

void Scene::DrawBitmapResource(uint32_t resourceId, int x, int y, int w, int h, int srcX, int srcY)
{
    OnStage([&](GameStage& stage) { stage.DrawBitmapResource(resourceId, x, y, w, h, srcX, srcY); });
}

void Scene::DrawSurface(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    OnStage([&](GameStage& stage) { stage.DrawSurface(surface, x, y, w, h, srcX, srcY); });
}

void Scene::DrawSurfaceDirect(DibSurface& surface, int x, int y, int w, int h, int srcX, int srcY)
{
    OnStage([&](GameStage& stage) { stage.DrawSurfaceDirect(surface, x, y, w, h, srcX, srcY); });
}

void Scene::GrabBackBuffer(DibSurface& surface, int x, int y, int w, int h)
{
    OnStage([&](GameStage& stage) { stage.GrabBackBuffer(surface, x, y, w, h); });
}

void Scene::DrawTextBig(int x, int y, std::string_view text, int colorIndex)
{
    OnStage([&](GameStage& stage) { stage.DrawTextAt(x, y, text, colorIndex, stage.GetBigFont()); });
}

void Scene::DrawTextSmall(int x, int y, std::string_view text, int colorIndex)
{
    OnStage([&](GameStage& stage) { stage.DrawTextAt(x, y, text, colorIndex, stage.GetSmallFont()); });
}

void Scene::DrawTextCentered(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font)
{
    OnStage([&](GameStage& stage) { stage.DrawTextInRect(rect, text, color, font, kCenteredFormat); });
}

void Scene::DrawTextWrapped(const Rect& rect, std::string_view text, COLORREF color, std::shared_ptr<const Font> font)
{
    OnStage([&](GameStage& stage) { stage.DrawTextInRect(rect, text, color, font, kWrappedFormat); });
}

void Scene::DrawOutlinedText(const Rect& rect, std::string_view text, std::string_view face, int height, int weight,
    COLORREF textColor, COLORREF shadeColor)
{
    OnStage([&](GameStage& stage) { stage.DrawOutlinedText(rect, text, face, height, weight, textColor, shadeColor); });
}

void Scene::ShowCardBack(DibSurface& back)
{
    OnStage([&](GameStage& stage) { stage.ShowCardBack(back); });
}

void Scene::Refresh(int left, int top, int right, int bottom)
{
    OnStage([&](GameStage& stage) { stage.RepaintRect(left, top, right, bottom); });
}

void Scene::PlaySound(int slot, int mode)
{
    OnStage([&](GameStage& stage) { stage.PlaySound(slot, mode); });
}

void Scene::StopSound(int slot)
{
    OnStage([&](GameStage& stage) { stage.StopSound(slot); });
}

void Scene::SlidePanelIn(DibSurface* image, int x, int y)
{
    OnStage([&](GameStage& stage) { StageTransitions(stage).SlidePanelIn(image, x, y); });
}

void Scene::WipePanel()
{
    OnStage([](GameStage& stage) { StageTransitions(stage).WipePanel(); });
}

void Scene::CurtainTransition()
{
    OnStage([](GameStage& stage) { StageTransitions(stage).Curtain(); });
}

}
