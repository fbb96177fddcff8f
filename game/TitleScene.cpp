#include "game/TitleScene.h"

#include "app/GameStage.h"
#include "game/DeckPictures.h"
#include "game/PlayScene.h"
#include "game/StringIds.h"
#include "game/StudyScene.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"

#include <array>
#include <ctime>

namespace lumarra {

namespace {

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;
// Whole screens that are shown again keep every color.
constexpr int kScreenDepth = 24;
constexpr COLORREF kColorKey = 0xFF00FF;

constexpr uint32_t kBackgroundBitmap = 171;
// Shown where the background picture is missing: its base color.
constexpr COLORREF kPlainBackground = 0xF4D38F;
constexpr uint32_t kLogoBitmap = 133;
constexpr uint32_t kTitleBitmap = 170;
constexpr uint32_t kGreetingBitmap = 267;
constexpr Point kLogoAt = { 220, 60 };
constexpr Point kTitleAt = { 230, 200 };

constexpr int kMenuMusic = 1;
constexpr int kQuestionVoice = 10;
constexpr int kOnce = 1;
// Without an answer the question is asked again.
constexpr int kAskAgainMs = 20000;
constexpr int kGreetingMs = 5000;

// The marker over a choice; marker 0 is also the yes button.
constexpr int kMarker = 0;
constexpr int kMarkerIcon = 2;
constexpr int kMarkerY = 272;
constexpr int kFirstMarkerX = 250;

// What the menu redraws: from the marker row down to the answer buttons,
// and for a question the band of the texts.
constexpr Rect kMenuBand = { 0, kMarkerY, kStageWidth, 452 };
constexpr Rect kQuestionBand = { 200, 274, 900, 424 };

// Texts: centred in a full-width box, bold, with a grey shadow below right.
constexpr int kTextWeight = 600;
constexpr COLORREF kShadow = 0x808080;
constexpr COLORREF kMenuTextColor = 0x9B4C2B;
constexpr COLORREF kQuestionColor = 0x8080FF;
constexpr int kLineHeight = 30;
constexpr int kHintHeight = 24;
constexpr int kTextBoxHeight = 40;
constexpr int kQuestionY = 328;
constexpr int kHintY = 360;
constexpr int kAnswerLabelsY = 412;

constexpr Point kYesButtonAt = { 430, 420 };
constexpr Point kNoButtonAt = { 616, 420 };
constexpr Rect kYesSpot = Rect::FromSize(353, 410, 70, 50);
constexpr Rect kNoSpot = Rect::FromSize(508, 410, 110, 50);
constexpr int kYesKey = 0x8800;
constexpr int kNoKey = 0x4800;

constexpr Rect kCopyrightBox = Rect::FromSize(0, 470, kStageWidth, 40);
constexpr int kCopyrightHeight = 30;
constexpr COLORREF kCopyrightColor = 0x10C8F0;
constexpr std::array<Point, kTitleCreditCount> kCreditAt
    = { { { 195, 530 }, { 505, 530 }, { 195, 550 }, { 510, 550 } } };
constexpr Size kCreditBox = { 295, 20 };
constexpr int kCreditHeight = 16;
constexpr COLORREF kCreditColor = 0x10C8A0;

struct Choice {
    Rect spot;
    int markerX;
    const char* question;
    int voice;
};

constexpr std::array<Choice, TitleScene::kChoiceCount> kChoices = { {
    { Rect::FromSize(230, 200, 70, 100), 250, "江戸Korimba であそびますか？", 12 },
    { Rect::FromSize(340, 200, 70, 100), 365, "上方Korimba であそびますか？", 13 },
    { Rect::FromSize(440, 200, 70, 100), 470, "尾張Korimba であそびますか？", 14 },
    { Rect::FromSize(530, 200, 90, 100), 580, "あいうえおKorimba であそびますか？", 15 },
    { Rect::FromSize(660, 200, 100, 100), 700, "ひらがなの勉強 をしますか？", 16 },
} };

const Choice& ChoiceOf(int value)
{
    return kChoices[static_cast<size_t>(value - 1)];
}

TitleScene::Date LocalDate()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return { local.tm_mon + 1, local.tm_mday };
}

// The decks' games and the study screen.
std::unique_ptr<Scene> CreateGameScene(GameStage* stage, int choice)
{
    if (choice == TitleScene::kStudyChoice)
        return std::make_unique<StudyScene>(stage);
    if (choice >= kDeckEdo && choice <= kDeckAiueo)
        return std::make_unique<PlayScene>(stage, choice);
    return std::make_unique<Scene>(stage);
}

const std::string& TextFace()
{
    static const std::string face = Sjis("ＭＳ ゴシック");
    return face;
}

}

// Makes a sub-scene the one the event operations reach for as long as it
// runs; whatever way its script ends, it is let go before it is destroyed.
class TitleScene::ActiveSubScene {
public:
    ActiveSubScene(TitleScene& title, Scene& scene)
        : m_title(title)
    {
        std::lock_guard guard(m_title.m_subSceneLock);
        m_title.m_subScene = &scene;
    }
    ~ActiveSubScene()
    {
        std::lock_guard guard(m_title.m_subSceneLock);
        m_title.m_subScene = nullptr;
    }
    ActiveSubScene(const ActiveSubScene&) = delete;
    ActiveSubScene& operator=(const ActiveSubScene&) = delete;

private:
    TitleScene& m_title;
};

TitleScene::TitleScene(GameStage* stage, SceneFactory createScene, Calendar today)
    : Scene(stage)
    , m_createScene(createScene ? std::move(createScene) : CreateGameScene)
    , m_today(today ? std::move(today) : LocalDate)
    , m_titlePicture(kTitleBitmap, kColorKey)
    , m_savedScreen(kScreenDepth, kStageWidth, kStageHeight, kNoColor)
{
    LoadSharedPictures();
}

TitleScene::~TitleScene() = default;

bool TitleScene::IsGreetingDay(Date date)
{
    return date.month == 1 && date.day >= 1 && date.day <= 7;
}

template <typename Call>
auto TitleScene::Forward(Call&& call)
{
    using Result = decltype(call(std::declval<Scene&>()));
    std::lock_guard guard(m_subSceneLock);
    if (!m_subScene)
        return Result();
    return call(*m_subScene);
}

void TitleScene::Run()
{
    if (GameStage* stage = GetStage())
        stage->stopRequest = 0;
    m_greeting = IsGreetingDay(m_today()) ? 1 : 0;
    PlayMenuMusic(true);
    DrawTitle();
    for (;;) {
        ShowMenu();
        if (m_greeting)
            ShowGreeting();
        int choice = AskForChoice();
        if (Confirm(choice))
            RunChoice(choice);
    }
}

void TitleScene::TileBackground()
{
    if (LoadPicture(kBackgroundBitmap))
        TilePicture(0, 0, kStageWidth, kStageHeight);
    else if (GameStage* stage = GetStage())
        stage->GetBackBuffer().FillSolidRect(0, 0, kStageWidth, kStageHeight, kPlainBackground);
}

void TitleScene::DrawTitle()
{
    TileBackground();
    Refresh(0, 0, kStageWidth, kStageHeight);
    DibSurface logo(kLogoBitmap, kColorKey);
    if (logo.IsValid())
        DrawSurface(logo, kLogoAt.x, kLogoAt.y, logo.GetWidth(), logo.GetHeight(), 0, 0);
    if (m_titlePicture.IsValid())
        DrawSurface(m_titlePicture, kTitleAt.x, kTitleAt.y, m_titlePicture.GetWidth(), m_titlePicture.GetHeight(), 0,
            0);
    DrawOutlinedText(kCopyrightBox, LoadString(kStringTitleCopyright), TextFace(), kCopyrightHeight, kTextWeight,
        kCopyrightColor, kShadow);
    for (uint32_t i = 0; i < kTitleCreditCount; ++i) {
        const Point& at = kCreditAt[i];
        DrawOutlinedText(Rect::FromSize(at.x, at.y, kCreditBox.width, kCreditBox.height),
            LoadString(kStringTitleCreditFirst + i), TextFace(), kCreditHeight, kTextWeight, kCreditColor, kShadow);
    }
    GrabBackBuffer(m_savedScreen, 0, 0, kStageWidth, kStageHeight);
    ShowIcon(kFirstMarkerX, kMarkerY, kMarker);
}

// The five choices with the question under them. The band restored reaches
// up to the marker row, so a marker left over a choice goes too.
void TitleScene::ShowMenu()
{
    HideIcon(kMarker);
    RestoreBand(kMenuBand);
    ShowIcon(kFirstMarkerX, kMarkerY, kMarker);
    DrawMenuText(kQuestionY, "なにをしてあそびますか？", kMenuTextColor, kLineHeight);
    DrawMenuText(kHintY, "５つのなかからえらんでね。", kMenuTextColor, kHintHeight);
    for (int value = 1; value <= kChoiceCount; ++value) {
        const Rect& spot = ChoiceOf(value).spot;
        AddHotSpot(spot.left, spot.top, spot.GetWidth(), spot.GetHeight(), value, kChoiceKey);
    }
    m_phase = Phase::Menu;
    titleNotReady = 0;
}

void TitleScene::ShowGreeting()
{
    DibSurface greeting(kGreetingBitmap, kColorKey);
    if (greeting.IsValid()) {
        int x = (kStageWidth - greeting.GetWidth()) / 2;
        int y = (kStageHeight - greeting.GetHeight()) / 2;
        PushOverlay(x, y, greeting.GetWidth(), greeting.GetHeight());
        DrawSurface(greeting, x, y, greeting.GetWidth(), greeting.GetHeight(), 0, 0);
        Wait(kGreetingMs);
        PopOverlay();
    }
    m_greeting = 0;
}

int TitleScene::AskForChoice()
{
    for (;;) {
        PlaySound(kQuestionVoice, kOnce);
        int choice = WaitEvent(kChoiceKey, kAskAgainMs);
        StopSound(kQuestionVoice);
        if (choice >= 1 && choice <= kChoiceCount)
            return choice;
    }
}

// Asks "shall we play this?" with the choice marked and its voice; 1 for yes.
int TitleScene::Confirm(int choice)
{
    const Choice& asked = ChoiceOf(choice);
    m_phase = Phase::Confirming;
    HideIcon(kMarker);
    ClearHotSpots();
    RestoreBand(kQuestionBand);
    DrawMenuText(kQuestionY, asked.question, kQuestionColor, kLineHeight);
    // The yes button is marker 0 too: over the choice the marker stays as a
    // still picture while the buttons blink.
    DrawIconImage(asked.markerX, kMarkerY, kMarkerIcon);
    PlaySound(asked.voice, kOnce);

    DrawMenuText(kHintY, "「はい」か「いいえ」をえらんでね。", kMenuTextColor, kHintHeight);
    DrawMenuText(kAnswerLabelsY, "はい　　　いいえ", kMenuTextColor, kLineHeight);
    ShowYesButton(kYesButtonAt.x, kYesButtonAt.y);
    ShowNoButton(kNoButtonAt.x, kNoButtonAt.y);
    AddHotSpot(kYesSpot.left, kYesSpot.top, kYesSpot.GetWidth(), kYesSpot.GetHeight(), kYesButton, kYesKey);
    AddHotSpot(kNoSpot.left, kNoSpot.top, kNoSpot.GetWidth(), kNoSpot.GetHeight(), kNoButton, kNoKey);

    int answer = WaitEvent(kAnswerMask, 0);
    StopSound(asked.voice);
    HideIcon(kAnswerMask);
    RemoveHotSpotsByKey(kAnswerMask);
    RemoveHotSpotsByValue(kYesButton);
    RemoveHotSpotsByValue(kNoButton);
    return answer == kYesButton ? 1 : 0;
}

void TitleScene::RunChoice(int choice)
{
    PlayMenuMusic(false);
    m_phase = Phase::SubScene;
    std::unique_ptr<Scene> scene = m_createScene(GetStage(), choice);
    if (scene) {
        ActiveSubScene active(*this, *scene);
        scene->Run();
    }
    StopSound(0);
    PlayMenuMusic(true);
    scene.reset();

    // Whatever the screen left behind goes; the title comes back whole.
    ClearObjects();
    ClearHotSpots();
    TileBackground();
    DrawSurface(m_savedScreen, 0, 0, kStageWidth, kStageHeight, 0, 0);
}

// The menu music follows the music switch while the menu is shown; the
// switch and the script agree on that under the sub-scene guard.
void TitleScene::PlayMenuMusic(bool menuShown)
{
    std::lock_guard guard(m_subSceneLock);
    m_menuMusicWanted = menuShown;
    GameStage* stage = GetStage();
    if (menuShown && stage && stage->musicOn)
        PlaySound(kMenuMusic, kLoop);
    else if (!menuShown)
        StopSound(kMenuMusic);
}

void TitleScene::RestoreBand(const Rect& band)
{
    DrawSurface(m_savedScreen, band.left, band.top, band.GetWidth(), band.GetHeight(), band.left, band.top);
}

void TitleScene::DrawMenuText(int y, const char* utf8, COLORREF color, int height)
{
    DrawOutlinedText(Rect::FromSize(0, y, kStageWidth, kTextBoxHeight), Sjis(utf8), TextFace(), height, kTextWeight,
        color, kShadow);
}

// ---------------------------------------------------------------------------
// Event operations: the active sub-scene's, or nothing.

void TitleScene::Release()
{
    Forward([](Scene& scene) { scene.Release(); });
}

void TitleScene::Reserved1()
{
    Forward([](Scene& scene) { scene.Reserved1(); });
}

void TitleScene::OnLButtonDown(unsigned flags, int x, int y)
{
    Forward([&](Scene& scene) { scene.OnLButtonDown(flags, x, y); });
}

void TitleScene::OnLButtonUp(unsigned flags, int x, int y)
{
    Forward([&](Scene& scene) { scene.OnLButtonUp(flags, x, y); });
}

void TitleScene::OnMouseMove(unsigned flags, int x, int y)
{
    Forward([&](Scene& scene) { scene.OnMouseMove(flags, x, y); });
}

void TitleScene::OnRButtonDown(unsigned flags, int x, int y)
{
    Forward([&](Scene& scene) { scene.OnRButtonDown(flags, x, y); });
}

void TitleScene::OnRButtonUp(unsigned flags, int x, int y)
{
    Forward([&](Scene& scene) { scene.OnRButtonUp(flags, x, y); });
}

void TitleScene::OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned keyData)
{
    Forward([&](Scene& scene) { scene.OnKeyDown(virtualKey, repeatCount, keyData); });
}

void TitleScene::OnTimer(uintptr_t id)
{
    Forward([&](Scene& scene) { scene.OnTimer(id); });
}

int TitleScene::Reserved2(int a, int b, int c)
{
    return Forward([&](Scene& scene) { return scene.Reserved2(a, b, c); });
}

int TitleScene::IsHot(int x, int y)
{
    return Forward([&](Scene& scene) { return scene.IsHot(x, y); });
}

void TitleScene::Reserved3(int a, int b, int c)
{
    Forward([&](Scene& scene) { scene.Reserved3(a, b, c); });
}

void TitleScene::Stop()
{
    Forward([](Scene& scene) { scene.Stop(); });
}

int TitleScene::CheckWait(int mask, int elapsedMs)
{
    return Forward([&](Scene& scene) { return scene.CheckWait(mask, elapsedMs); });
}

// With no sub-scene the switch starts or stops the menu music, so the
// caption's music button works on the menu too.
void TitleScene::OnMusicChanged(int on)
{
    std::lock_guard guard(m_subSceneLock);
    if (m_subScene) {
        m_subScene->OnMusicChanged(on);
        return;
    }
    if (!m_menuMusicWanted)
        return;
    if (on)
        PlaySound(kMenuMusic, kLoop);
    else
        StopSound(kMenuMusic);
}

}
