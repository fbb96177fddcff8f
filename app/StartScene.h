#pragma once

#include "app/Scene.h"

namespace lumarra {

// The first screen while the game has no menu yet: the title background
// and logo. It tells the main window that the title is up, then idles so
// that the stage can end it at shutdown.
class StartScene : public Scene {
public:
    static constexpr uint32_t kBackgroundBitmap = 171;
    static constexpr uint32_t kLogoBitmap = 133;
    static constexpr uint32_t kTitlePicture = 170;
    static constexpr int kMenuMusic = 1;
    static constexpr int kMusicLoop = 2;

    explicit StartScene(GameStage* stage) : Scene(stage) { }

    void Run() override;
    void OnMusicChanged(int on) override;

private:
    void DrawTitle();
};

}
