#pragma once

namespace lumarra {

class DibSurface;
class GameStage;

// The three screen transitions a script runs on the stage's worker thread,
// pacing each step with the stage's Wait.
class StageTransitions {
public:
    explicit StageTransitions(GameStage& stage)
        : m_stage(stage)
    {
    }

    // Reveals the screen prepared in the stage's spare surface from the top
    // (even rows) and the bottom (odd rows) at once.
    void Curtain();
    // The empty side panel grows in from the right edge.
    void WipePanel();
    // The side panel slides in with `image` (may be null) placed at (x, y)
    // in its picture area.
    void SlidePanelIn(DibSurface* image, int x, int y);

private:
    GameStage& m_stage;
};

}
