#include "game/StudyScene.h"
#include "game/TitleScene.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "tests/game/RealStage.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <set>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr Point kEdoButton = { 100, 400 };
constexpr Point kOwariButton = { 100, 500 };
constexpr Point kEndButton = { 100, 560 };
constexpr Point kAButton = { 737, 359 };
// The cell after ゆ (CardCode 39) is empty.
constexpr Point kCellAfterYu = { 713 - 49 * 7 + 24, 335 + 48 * 3 + 24 };
constexpr int kBarX = 338;  // the handlers look 2 pixels to the right

// The title menu with the study screen as its fifth choice, the real stage
// under it; the program folder holds long voices for the first two Edo
// proverbs and for あ.
class StudySceneTest : public RealStage {
protected:
    StudySceneTest()
    {
        WriteLongVoice("Wave/001/0000.mp3");
        WriteLongVoice("Wave/001/0010.mp3");
        WriteLongVoice("Wave/000/0000.mp3");
    }

    // Repeats a short MP3 (frames join up) to last about 11 s aloud.
    void WriteLongVoice(const std::string& name)
    {
        const char* source = std::getenv("LUMARRA_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        std::ifstream in(std::string(source) + "/fuzz/audio/corpus/fuzz_mp3_decoder/notag.mp3", std::ios::binary);
        std::string frames((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::path path = m_programFolder.Native(name);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 50; ++i)
            out << frames;
    }

    TitleScene& StartStudy()
    {
        auto title = std::make_unique<TitleScene>(
            &m_stage,
            [this](GameStage* stage, int choice) -> std::unique_ptr<Scene> {
                ++m_created;
                if (choice != TitleScene::kStudyChoice)
                    return nullptr;
                auto study = std::make_unique<StudyScene>(stage);
                m_study = study.get();
                return study;
            },
            [] {
                return TitleScene::Date { 5, 14 };
            });
        TitleScene& ref = *title;
        m_view.forwardTimers = true;
        m_stage.Init(&m_view, 980, 600, std::move(title));
        m_stage.StartThread();
        EXPECT_TRUE(PumpUntil([&] { return ref.GetPhase() == TitleScene::Phase::Menu && m_stage.waitingInput; }));
        Click(700, 250);
        EXPECT_TRUE(PumpUntil([&] { return m_stage.GetIconSpot(1) != -1 && m_stage.waitingInput; }));
        Click(380, 430);
        EXPECT_TRUE(PumpUntil([&] { return ReadyForInput(); }));
        return ref;
    }

    bool ReadyForInput()
    {
        StudyScene* study = m_study;
        return study && !study->IsBusy() && m_stage.waitingInput && study->GetListCount() > 0;
    }

    StudyScene& Study() { return *m_study.load(); }

    void Press(int x, int y) { m_stage.OnLButtonDown(0, x, y); }
    void Move(int x, int y) { m_stage.OnMouseMove(MK_LBUTTON, x, y); }
    void ClickAt(Point at) { Click(at.x, at.y); }

    // Clicks on list row `row` once the screen waits for input.
    void ClickRow(int row) { Click(100, 52 + 7 + 18 * row + 9); }

    bool BackAtMenu(TitleScene& title, uint32_t timeoutMs)
    {
        return PumpUntil([&] { return title.GetPhase() == TitleScene::Phase::Menu && m_stage.waitingInput; },
            timeoutMs);
    }

    std::vector<std::string> History() { return Study().GetVoice().GetHistory(); }

    std::atomic<StudyScene*> m_study { nullptr };
    std::atomic<int> m_created { 0 };
};

std::string VoiceName(int folder, int index)
{
    return StudyVoice::VoiceFile(folder, index);
}

}

TEST_F(StudySceneTest, TheScreenTheDeckButtonsAndTheEmptyCells)
{
    TitleScene& title = StartStudy();
    StudyScene& study = Study();
    EXPECT_EQ(study.GetStudyDeck(), 0);
    EXPECT_EQ(study.GetListCount(), 48);
    EXPECT_EQ(study.GetSelected(), -1);
    std::vector<HotSpot> buttons = SpotsWithKey(StudyScene::kButtonKey);
    std::set<int> values;
    for (const HotSpot& spot : buttons)
        values.insert(spot.value);
    EXPECT_EQ(buttons.size(), 46u + 4u) << "46 kana and the four buttons";
    for (int empty : { 37, 39, 47, 48, 49, 52, 53, 54, 55 })
        EXPECT_EQ(values.count(empty), 0u) << empty;
    EXPECT_EQ(values.count(83), 1u);
    EXPECT_EQ(study.IsHot(100, 68), 1) << "a list row";
    EXPECT_EQ(study.IsHot(600, 200), 0) << "the instructions";

    // The Owari deck lists 47 proverbs, without ん.
    ClickAt(kOwariButton);
    ASSERT_TRUE(PumpUntil([&] { return study.GetStudyDeck() == 2 && ReadyForInput(); }));
    EXPECT_EQ(study.GetListCount(), 47);
    EXPECT_EQ(study.GetListEntry(46), LoadString(4461));
    EXPECT_EQ(study.GetListEntry(47), "");
    EXPECT_EQ(study.GetFirstVisible(), 0);
    ClickAt(kEdoButton);
    ASSERT_TRUE(PumpUntil([&] { return study.GetStudyDeck() == 0 && ReadyForInput(); }));
    EXPECT_EQ(study.GetListCount(), 48);

    // A click on an empty kana cell does nothing.
    ClickAt(kCellAfterYu);
    Sleep(300);
    m_app.PumpUntil([] { return false; }, 100);
    EXPECT_FALSE(study.IsBusy());
    EXPECT_EQ(study.GetAnimatedKana(), 0);
    EXPECT_EQ(study.GetItemsStudied(), 0);

    // A proverb shows its explanation and counts as studied.
    ClickRow(2);
    ASSERT_TRUE(PumpUntil([&] { return study.GetItemsStudied() == 1 && ReadyForInput(); }));
    EXPECT_EQ(study.GetSelected(), 2);

    ClickAt(kEndButton);
    ASSERT_TRUE(BackAtMenu(title, 3000));
    EXPECT_TRUE(SpotsWithKey(StudyScene::kButtonKey).empty());
}

TEST_F(StudySceneTest, ANewProverbWhileAVoicePlaysCutsItWithTheClick)
{
    TitleScene& title = StartStudy();
    StudyScene& study = Study();
    ClickRow(0);
    ASSERT_TRUE(PumpUntil([&] { return study.GetVoice().IsPlaying(); }));
    EXPECT_EQ(History(), (std::vector<std::string> { VoiceName(1, 0) }));
    ClickRow(1);
    ASSERT_TRUE(PumpUntil([&] { return History().size() == 3; }));
    EXPECT_EQ(History(), (std::vector<std::string> { VoiceName(1, 0), "click", VoiceName(1, 1) }));
    EXPECT_TRUE(PumpUntil([&] { return study.GetVoice().IsPlaying(); }));
    EXPECT_EQ(study.GetSelected(), 1);

    // Leaving while it plays ends the worker and the voice within a second.
    ClickAt(kEndButton);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(BackAtMenu(title, 1000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(StudySceneTest, ScrollLimitsPagingHoldingAndDragging)
{
    TitleScene& title = StartStudy();
    StudyScene& study = Study();
    auto clickBar = [&](int y) {
        Press(kBarX, y);
        Click(kBarX, y);
    };
    clickBar(40);  // up arrow at the top
    EXPECT_EQ(study.GetFirstVisible(), 0);
    clickBar(250);  // the track below the thumb pages by 9
    EXPECT_EQ(study.GetFirstVisible(), 9);
    clickBar(280);  // down arrow
    EXPECT_EQ(study.GetFirstVisible(), 10);
    for (int i = 0; i < 5; ++i)
        clickBar(270);
    EXPECT_EQ(study.GetFirstVisible(), 36) << "48 entries, 12 rows";
    clickBar(280);
    EXPECT_EQ(study.GetFirstVisible(), 36);
    clickBar(60);  // the track above pages up
    EXPECT_EQ(study.GetFirstVisible(), 27);

    // Holding the button on the track pages after half a second and then
    // every 100 ms, until the thumb reaches the pointer.
    Press(kBarX, 50);
    ASSERT_TRUE(PumpUntil([&] { return study.GetFirstVisible() == 0; }, 3000));
    Click(kBarX, 50);
    int first = study.GetFirstVisible();
    m_app.PumpUntil([] { return false; }, 100);
    EXPECT_EQ(study.GetFirstVisible(), first) << "the release stopped the timer";

    // Dragging the thumb over the whole bar visits every first entry.
    Rect thumb = study.GetThumb();
    Press(kBarX, thumb.top + 5);
    ASSERT_TRUE(study.IsDragging());
    std::set<int> visited;
    for (int y = thumb.top + 5; y <= 300; ++y) {
        Move(kBarX, y);
        visited.insert(study.GetFirstVisible());
    }
    EXPECT_EQ(visited.size(), 37u);
    Click(kBarX, 300);
    EXPECT_FALSE(study.IsDragging());
    EXPECT_EQ(study.GetFirstVisible(), 36);
    EXPECT_EQ(study.GetSelected(), -1) << "the release ending a drag selects nothing";

    // The visible rows follow: row 0 is now entry 36.
    ClickRow(0);
    ASSERT_TRUE(PumpUntil([&] { return study.GetItemsStudied() == 1 && ReadyForInput(); }));
    EXPECT_EQ(study.GetSelected(), 36);
    ClickAt(kEndButton);
    ASSERT_TRUE(BackAtMenu(title, 3000));
}

TEST_F(StudySceneTest, TheWritingOfAEndsWithTheFinishedKana)
{
    TitleScene& title = StartStudy();
    StudyScene& study = Study();
    ClickAt(kAButton);
    ASSERT_TRUE(PumpUntil([&] { return study.GetAnimatedKana() == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return study.GetAnimatedKana() == 0 && ReadyForInput(); }, 20000));
    EXPECT_EQ(study.GetItemsStudied(), 1);
    // The writing box sits at the display area's right; the stand-in's
    // finished cell is a black square with white around it.
    DibSurface& back = m_stage.GetBackBuffer();
    const Point box = { 740 - 120, 50 + (230 - 100) / 2 };
    EXPECT_EQ(back.GetPixel(box.x + 50, box.y + 50), 0u);
    EXPECT_EQ(back.GetPixel(box.x + 5, box.y + 50), 0xFFFFFFu);
    ClickAt(kEndButton);
    ASSERT_TRUE(BackAtMenu(title, 3000));
}

TEST_F(StudySceneTest, LeavingDuringTheWritingReturnsWithinASecond)
{
    TitleScene& title = StartStudy();
    StudyScene& study = Study();
    ClickAt(kAButton);
    ASSERT_TRUE(PumpUntil([&] { return study.GetAnimatedKana() == 1; }));
    ASSERT_TRUE(study.IsBusy());
    ClickAt(kEndButton);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(BackAtMenu(title, 1000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(m_study.load() != nullptr, true);
    EXPECT_TRUE(SpotsWithKey(StudyScene::kButtonKey).empty());
}
