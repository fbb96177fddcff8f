#include "app/StartScene.h"

#include "app/GameStage.h"

namespace lumarra {

namespace {

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;
constexpr int kLogoX = 220;
constexpr int kLogoY = 60;
constexpr int kPictureX = 230;
constexpr int kPictureY = 200;
constexpr int kIdleMs = 1000;
// Shown where the background picture is missing: the title band's colour.
constexpr COLORREF kPlainBackground = 0x6C5F37;

}

void StartScene::Run()
{
    GameStage* stage = GetStage();
    stage->stopRequest = 0;
    if (stage->musicOn)
        PlaySound(kMenuMusic, kMusicLoop);
    DrawTitle();
    titleNotReady = 0;
    for (;;)
        Wait(kIdleMs);
}

void StartScene::DrawTitle()
{
    GameStage* stage = GetStage();
    if (LoadPicture(kBackgroundBitmap))
        TilePicture(0, 0, kStageWidth, kStageHeight);
    else
        stage->BackBuffer().FillSolidRect(0, 0, kStageWidth, kStageHeight, kPlainBackground);
    Refresh(0, 0, kStageWidth, kStageHeight);
    DibSurface logo(kLogoBitmap, 0xFF00FF);
    if (logo.IsValid())
        DrawSurface(logo, kLogoX, kLogoY, logo.GetWidth(), logo.GetHeight(), 0, 0);
    DibSurface picture(kTitlePicture, 0xFF00FF);
    if (picture.IsValid())
        DrawSurface(picture, kPictureX, kPictureY, picture.GetWidth(), picture.GetHeight(), 0, 0);
}

void StartScene::OnMusicChanged(int on)
{
    if (on)
        PlaySound(kMenuMusic, kMusicLoop);
    else
        StopSound(kMenuMusic);
}

}
