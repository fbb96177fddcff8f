#pragma once

#include "game/ScoreRecord.h"
#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace lumarra {

class DibSurface;
class Font;
class Scene;

// The end of a game: files it in the score record, then shows "お わ り"
// over the win or lose picture, the child's place (or the computer's) among
// the deck's recorded games and ten lines of the ranking around the new
// game, and waits for a click (at most 30 s). Everything is drawn through
// the scene's helpers, on the stage's worker thread.
class ScoreScreen {
public:
    // The hot spot over the whole stage that ends the wait.
    static constexpr int kClickValue = 100;
    static constexpr int kClickKey = 0x1000;
    static constexpr int kLines = 10;

    explicit ScoreScreen(Scene& scene, std::string recordPath = ScoreRecord::DefaultPath());

    // `childWon` is child takes ≥ computer takes; `scoreCode` (20, 30, 40,
    // 50) chooses the deck's table.
    void ShowScoreRecord(bool childWon, int childTakes, int computerTakes, int scoreCode);

    // What the screen shows, worked out before anything is drawn. Texts are
    // UTF-8.
    struct Content {
        uint32_t picture = 0;
        int sound = 0;
        uint32_t headlineBitmap = 0;  // 0: the headline is `headlineText`
        std::string headlineText;
        std::vector<std::string> lines;
        int highlightedLine = -1;  // the new game's line, -1 when not shown
    };
    static Content Compose(const ScoreRecord::Filing& filing, bool childWon, int childTakes, int computerTakes);

    // One ranking line: place, result word, both counts and the local date.
    static std::string RankingLine(int place, const ScoreEntry& entry);

    // How the last ShowScoreRecord went, for tests.
    const ScoreRecord::Filing& GetFiling() const { return m_filing; }
    const Content& GetContent() const { return m_content; }

private:
    static void ComposeHeadline(Content& content, const ScoreRecord::Filing& filing, bool childAhead);
    static void ComposeLines(Content& content, const ScoreRecord::Filing& filing);
    void Reveal(DibSurface& picture);
    void FadeInEnd(DibSurface& picture);
    void DrawHeadline();
    void DrawRanking();
    void WaitForClick();

    Scene& m_scene;
    std::string m_recordPath;
    std::shared_ptr<const Font> m_font;
    ScoreRecord::Filing m_filing;
    Content m_content;
};

}
