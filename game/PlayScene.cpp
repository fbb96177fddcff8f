#include "game/PlayScene.h"

#include "app/GameStage.h"
#include "game/DeckPictures.h"
#include "game/ReadingCard.h"
#include "game/ScoreScreen.h"
#include "game/TableSlot.h"
#include "game/TakeTimeStatistic.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <cstdio>
#include <cstdlib>

namespace lumarra {

namespace {

constexpr int kTableWidth = 800;
constexpr int kStageHeight = 600;
constexpr uint32_t kTableBitmap = 173;
constexpr uint32_t kSidePanelBitmap = 221;
constexpr int kSidePanelX = 800;
constexpr Size kSidePanel = { 180, 600 };
constexpr int kFramePen = 13;
constexpr int kTextColor = 4;

constexpr Rect kQuitButton = { 840, 564, 940, 594 };
constexpr uint32_t kQuitBitmap = 274;
constexpr uint32_t kQuitPressedBitmap = 275;

// Take counts: full-width digits, right-aligned.
constexpr int kDigitWidth = 12;
constexpr int kCountY = 122;
constexpr int kComputerCountRight = 840;
constexpr int kChildCountRight = 932;
constexpr Rect kComputerCountBox = { 812, 122, 846, 137 };
constexpr Rect kChildCountBox = { 898, 122, 932, 137 };

constexpr int kGameMusic = 2;
constexpr int kOnce = 1;
constexpr int kTakeSound = 7;
constexpr int kCorrectSound = 5;
constexpr int kFaultSound = 8;

constexpr int kPauseBeforeRound = 100;
constexpr int kPauseBeforeRoundSlices = 20;
constexpr int kReaderPollMs = 100;
// The pause handshake: the reader sees the flag within its slices.
constexpr int kFaultHoldMs = 20;
constexpr int kFaultHoldSlices = 20;
constexpr int kEndCardsForHighlight = 4;
constexpr int kFaultPanelMs = 3000;
constexpr int kTakePanelMs = 5000;
constexpr int kEndPauseMs = 2000;
constexpr int kBeforeScoreMs = 5000;

// The result panel.
constexpr Point kPanelAt = { 225, 150 };
constexpr Size kPanelSave = { 350, 300 };
constexpr Size kPanel = { 349, 300 };
constexpr int kLineCentre = 390;
constexpr int kHalfCharWidth = 8;
constexpr int kLine1Y = 175;
constexpr int kLine2Y = 195;
constexpr Point kPanelCardAt = { 325, 215 };
constexpr int kButtonOffsetX = 400;
constexpr int kButtonY = 167;
constexpr int kPanelWaitKey = 0x800;
constexpr int kChildButton = Scene::kYesButton;
constexpr int kComputerButton = 0x2000;
constexpr uint32_t kPanelMs = 500;
constexpr int kVoicesPerEvent = 3;
// The reading-card back keeps every color of the deck's own backs.
constexpr int kCardBackDepth = 24;
// Where the reading area lies inside the slide-in's panel, which comes to
// rest at (810, 201): the next back slides in to the very place the reader
// turns it over.
constexpr Point kSlidePanelAt = { 810, 201 };
constexpr Point kBackInSlidePanel
    = { GameStage::kReadingArea.left - kSlidePanelAt.x, GameStage::kReadingArea.top - kSlidePanelAt.y };

// The strength choice.
struct Strength {
    const char* name;
    const char* voice;
    int level;
    bool practice;
};
constexpr std::array<Strength, 6> kStrengths = { {
    { "れんしゅう", "Wave\\Level0.mp3", 1, true },
    { "ゆっくり", "Wave\\Level1.mp3", 1, false },
    { "すこしゆっくり", "Wave\\Level2.mp3", 2, false },
    { "ふつう", "Wave\\Level3.mp3", 3, false },
    { "すこしはやい", "Wave\\Level4.mp3", 4, false },
    { "はやい", "Wave\\Level5.mp3", 5, false },
} };
constexpr Size kStrengthPicture = { 98, 139 };
constexpr int kStrengthStripCell = 98;
constexpr int kStrengthLeft = 98;
constexpr int kStrengthPitch = 105;
constexpr int kStrengthTop = 230;
constexpr int kChosenX = 348;
constexpr Rect kChoiceBand = { 0, 150, kTableWidth, 180 };
constexpr Rect kQuestionBand = { 0, 130, kTableWidth, 160 };
constexpr Rect kAnswerBand = { 0, 180, kTableWidth, 210 };
constexpr Point kYesAt = { 328, 183 };
constexpr Point kNoAt = { 488, 183 };
constexpr Rect kYesSpot = Rect::FromSize(261, 177, 60, 40);
constexpr Rect kNoSpot = Rect::FromSize(390, 177, 100, 40);
constexpr int kYesKey = 0x8800;
constexpr int kNoKey = 0x4800;
constexpr int kStartYesX = 528;
constexpr int kStartWaitMs = 3000;

uint32_t StrengthStrip(DeckId deck)
{
    switch (deck) {
    case kDeckEdo:
        return 293;
    case kDeckKamigata:
        return 294;
    case kDeckOwari:
        return 292;
    default:
        return 295;
    }
}

std::string FullWidthNumber(int value)
{
    std::string text = value < 0 ? "－" : "";
    for (char digit : std::to_string(std::abs(value)))
        text += std::string("０１２３４５６７８９").substr(static_cast<size_t>(digit - '0') * 3, 3);
    return text;
}

}

PlayScene::PlayScene(GameStage* stage, DeckId deck)
    : Scene(stage)
    , m_deck(deck)
    , m_info(FindDeck(deck))
    , m_table(*this)
    , m_reader(*this)
    , m_computer(m_table)
{
}

PlayScene::~PlayScene()
{
    m_reader.EndReader();
}

std::string PlayScene::TakeTimeLine(uint32_t ms)
{
    char line[96];
    std::snprintf(line, sizeof line, "とるまでにかかったじかん %u.%02u秒", ms / 1000, (ms % 1000) / 10);
    return line;
}

Rect PlayScene::CardRect(int slot)
{
    Point at = TableSlot::CardPosition(slot);
    return Rect::FromSize(at.x, at.y, kTableCard.width, kTableCard.height);
}

std::string PlayScene::GetResultLine(int line) const
{
    std::lock_guard guard(m_linesLock);
    return line == 1 || line == 2 ? m_resultLines[static_cast<size_t>(line - 1)] : std::string();
}

void PlayScene::RestoreTable(int x, int y, int w, int h)
{
    TilePicture(x, y, w, h);
    Refresh(x, y, x + w, y + h);
}

void PlayScene::DrawScreen()
{
    LoadPicture(kTableBitmap);
    TilePicture(0, 0, kTableWidth, kStageHeight);
    DrawBitmapResource(kSidePanelBitmap, kSidePanelX, 0, kSidePanel.width, kSidePanel.height, 0, 0);
    Refresh(0, 0, kTableWidth, kStageHeight);
    GameStage* stage = GetStage();
    COLORREF frame = stage ? stage->GetColor(kFramePen) : 0;
    FillRect(0, 0, kTableWidth, 1, frame);
    FillRect(0, kStageHeight - 1, kTableWidth, 1, frame);
    FillRect(0, 0, 1, kStageHeight, frame);
    FillRect(kTableWidth - 1, 0, 1, kStageHeight, frame);

    DrawTextBig(815, 102, Sjis("ｺﾝﾋﾟｭｰﾀ"), kTextColor);
    DrawTextBig(899, 102, Sjis("あなた"), kTextColor);
    DrawTextBig(850, 122, Sjis("まい"), kTextColor);
    DrawTextBig(937, 122, Sjis("まい"), kTextColor);
    bool aiueo = m_deck == kDeckAiueo;
    if (m_info)
        DrawTextBig(aiueo ? 827 : 853, 448, Sjis(m_info->name), kTextColor);
    // Where the card pictures come from, as the title's credits name it.
    DrawTextSmall(aiueo ? 817 : 837, 470, Sjis("絵：Noto Color Emoji"), kTextColor);
    DrawTextSmall(857, 488, Sjis("無断転写禁止"), kTextColor);
}

void PlayScene::DrawCount(int count, int rightX, const Rect& box)
{
    // The old count is wiped with the side panel's own picture, so the new
    // one sits on the score plate as its labels do.
    DrawBitmapResource(kSidePanelBitmap, box.left, box.top, box.GetWidth(), box.GetHeight(), box.left - kSidePanelX,
        box.top);
    std::string text = FullWidthNumber(count);
    int digits = static_cast<int>(text.size() / 3);
    DrawTextBig(rightX - digits * kDigitWidth, kCountY, Sjis(text), kTextColor);
}

void PlayScene::DrawTakeCounts()
{
    DrawCount(m_table.computerTakes, kComputerCountRight, kComputerCountBox);
    DrawCount(m_table.childTakes, kChildCountRight, kChildCountBox);
}

void PlayScene::Run()
{
    m_phase = Phase::SetUp;
    ClearHotSpots();
    ClearObjects();
    DrawScreen();
    LoadDeckPictures(m_deck == kDeckAiueo ? 0 : m_deck);
    DrawBitmapResource(kQuitBitmap, kQuitButton.left, kQuitButton.top, kQuitButton.GetWidth(), kQuitButton.GetHeight(),
        0, 0);
    if (!m_info) {
        Abandon();
        return;
    }

    m_table.SetDeck(m_info->cards, m_info->cardCount);
    m_round = 0;
    m_quit = 0;
    m_computer.Reset();
    m_currentCard = 0;
    m_inGame = 1;
    GameStage* stage = GetStage();
    if (stage && stage->musicOn)
        PlaySound(kGameMusic, kLoop);

    m_phase = Phase::Strength;
    if (!LevelSelect() || m_quit) {
        Abandon();
        return;
    }

    m_phase = Phase::Deal;
    DrawTakeCounts();
    m_reader.StartReader();
    RemoveHotSpotsByKey(kTakeKey);
    if (stage)
        stage->stopRequest = 0;
    m_table.Shuffle(m_table.GetCards(), 0, m_table.GetDeckSize());
    m_computer.PickKnownCards();
    if (!m_table.Deal(m_quit) || m_quit) {
        Abandon();
        return;
    }
    m_table.CopyCards(m_readOrder, 0, kRounds);
    m_table.Shuffle(m_readOrder, 0, kRounds);

    DibSurface back(kCardBackDepth, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
    DibSurface practiceBack(m_info->practiceBack, kNoColor);
    DibSurface& source = m_computer.IsPractice() ? practiceBack : ReadingCardBack();
    back.DrawSurface(source, 0, 0, ReadingCard::kWidth, ReadingCard::kHeight, 0, 0, SRCCOPY);
    m_reader.SetBack(back);

    if (!PlayRounds(back))
        return;
    EndGame();
}

bool PlayScene::SleepChecked(int ms, int slices)
{
    for (int i = 0; i < slices; ++i) {
        Wait(ms);
        if (m_quit)
            return false;
    }
    return true;
}

// False when the game did not reach its end (abandoned or stopped).
bool PlayScene::PlayRounds(DibSurface& back)
{
    GameStage* stage = GetStage();
    while (m_round < kRounds) {
        if (stage && stage->stopRequest)
            return false;
        m_phase = Phase::Round;
        if (!SleepChecked(kPauseBeforeRound, kPauseBeforeRoundSlices)) {
            Abandon();
            return false;
        }
        m_currentCard = 0;
        m_computer.ResetRound(m_round);
        ClearObjects();
        ShowCardBack(back);
        CardCode card = m_readOrder[static_cast<size_t>(m_round.load())];
        m_reader.RequestReading(m_deck, card, m_computer.IsPractice());
        // A reading without a voice may be done before the first poll.
        while (!m_reader.ReadingStarted() && !m_reader.ReadingDone()) {
            if (!SleepChecked(kReaderPollMs, 1)) {
                Abandon();
                return false;
            }
        }
        uint32_t t0 = GetTickCount();
        m_currentCard = card;
        SetHoverTarget(card);
        if (!TakeLoop(t0)) {
            Abandon();
            return false;
        }
        SlidePanelIn(&back, kBackInSlidePanel.x, kBackInSlidePanel.y);
        m_round = m_round + 1;
    }
    return true;
}

bool PlayScene::TakeLoop(uint32_t t0)
{
    for (;;) {
        int v = WaitEvent(kTakeKey, 0);
        if (m_quit)
            return false;
        uint32_t t1 = GetTickCount();
        PlaySound(kTakeSound, kOnce);
        bool byComputer = v < 0;
        CardCode card = std::abs(v);
        int left = kRounds - m_table.childTakes - m_table.computerTakes;
        int slot = m_table.SlotOf(card);
        if (left > kEndCardsForHighlight && slot >= 0) {
            Point at = TableSlot::CardPosition(slot);
            m_table.DrawTableCard(true, card, at.x, at.y);
        }
        if (slot < 0)
            continue;
        if (card != m_currentCard) {
            if (!OnFault(card, byComputer))
                return false;
            continue;
        }
        return OnTake(card, byComputer, t1 - t0 + 1);
    }
}

bool PlayScene::OnFault(CardCode card, bool byComputer)
{
    m_reader.PauseReading();
    if (!SleepChecked(kFaultHoldMs, kFaultHoldSlices))
        return false;
    ++(byComputer ? m_computerFaults : m_childFaults);
    if (byComputer)
        m_computerBusy = 1;
    m_phase = Phase::Result;
    ShowResult(card, byComputer ? "コンピュータのおてつきです" : "不正解！！ おてつきです", "",
        NextVoice(byComputer ? Voice::ComputerFault : Voice::ChildFault), byComputer, kFaultPanelMs, true);
    m_computerBusy = 0;
    if (m_quit)
        return false;
    m_phase = Phase::Round;
    m_reader.ResumeReading();
    DrawTakeCounts();
    int slot = m_table.SlotOf(card);
    Point at = TableSlot::CardPosition(slot);
    m_table.DrawTableCard(false, card, at.x, at.y);
    if (m_computer.GetPointedCard() > 0)
        m_computer.PointAt(m_computer.GetPointedCard(), false);
    if (byComputer)
        m_computer.DelayAfterFault();
    return true;
}

bool PlayScene::OnTake(CardCode card, bool byComputer, uint32_t ms)
{
    m_currentCard = 0;
    ++(byComputer ? m_table.computerTakes : m_table.childTakes);
    m_reader.StopReading(false);
    m_phase = Phase::Result;
    ShowResult(card, byComputer ? "コンピュータがカードをとりました" : "正解！！ カードをとりました", TakeTimeLine(ms),
        NextVoice(byComputer ? Voice::ComputerTake : Voice::ChildTake), byComputer, kTakePanelMs, false);
    if (m_quit)
        return false;
    if (!byComputer && m_info)
        TakeTimeStatistic::Record(m_info->statisticKey, ms);
    if (m_computer.GetPointedCard() > 0)
        m_computer.PointAt(m_computer.GetPointedCard(), false);
    RemoveCard(card);
    DrawTakeCounts();
    ClearHoverTarget();
    m_reader.StopReading(false);
    return true;
}

void PlayScene::RemoveCard(CardCode card)
{
    int slot = m_table.SlotOf(card);
    if (slot < 0)
        return;
    RemoveHotSpotsByValue(card);
    m_table.EmptySlot(slot);
    Rect at = CardRect(slot);
    RestoreTable(at.left, at.top, at.GetWidth(), at.GetHeight());
}

// Each taker's take and fault voices come round in turn.
std::string PlayScene::NextVoice(Voice voice)
{
    int& turn = m_voiceTurn[static_cast<size_t>(voice)];
    std::string name
        = "Wave\\GetCard" + std::to_string(static_cast<int>(voice) + 1) + std::to_string(turn + 1) + ".mp3";
    turn = (turn + 1) % kVoicesPerEvent;
    return name;
}

void PlayScene::ShowResult(CardCode card, const std::string& line1, const std::string& line2, const std::string& voice,
    bool byComputer, int timeoutMs, bool fault)
{
    EnableHotSpots(kTakeKey, 0);
    PushOverlay(kPanelAt.x, kPanelAt.y, kPanelSave.width, kPanelSave.height);
    DibSurface& panel = byComputer ? ComputerResultPanel() : ChildResultPanel();
    DrawSurface(panel, kPanelAt.x, kPanelAt.y, kPanel.width, kPanel.height, 0, 0);
    {
        std::lock_guard guard(m_linesLock);
        m_resultLines = { line1, line2 };
    }
    std::string text1 = Sjis(line1);
    std::string text2 = Sjis(line2);
    auto drawLine = [this](const std::string& text, int y) {
        int x = kLineCentre - static_cast<int>(text.size() / 2) * kHalfCharWidth;
        DrawTextBig(x, y, text, kTextColor);
        DrawTextBig(x + 1, y, text, kTextColor);
    };
    drawLine(text1, kLine1Y);
    drawLine(text2, kLine2Y);
    m_table.DrawLargeCard(card, kPanelCardAt.x, kPanelCardAt.y);
    if (fault) {
        DibSurface& mark = FaultMark();
        DrawSurface(mark, kPanelCardAt.x, kPanelCardAt.y, mark.GetWidth(), mark.GetHeight(), 0, 0);
    }
    PlaySound(fault ? kFaultSound : kCorrectSound, kOnce);
    Wait(kPanelMs);

    int button = byComputer ? kComputerButton : kChildButton;
    ShowIcon(static_cast<int>(text1.size() / 2) * kHalfCharWidth + kButtonOffsetX, kButtonY, button);
    AddHotSpot(0, 0, kTableWidth, kStageHeight, button, button | kPanelWaitKey);
    SoundClip clip;
    PlayFileOnce(clip, voice, 0);
    WaitEvent(kPanelWaitKey, timeoutMs);
    CutClip(clip);
    HideIcon(button);
    RemoveHotSpotsByKey(kAnswerMask);
    RemoveHotSpotsByValue(button);
    PopOverlay();
    EnableHotSpots(kTakeKey, 1);
    StopSound(fault ? kFaultSound : kCorrectSound);
    std::lock_guard guard(m_linesLock);
    m_resultLines = {};
}

void PlayScene::EndGame()
{
    m_phase = Phase::Ending;
    m_reader.EndReader();
    ClearObjects();
    Wait(kEndPauseMs);
    StopSound(kAllSounds);
    m_inGame = 0;
    RemoveHotSpotsByKey(kTakeKey);
    Wait(kBeforeScoreMs);
    const int child = m_table.childTakes;
    const int computer = m_table.computerTakes;
    ScoreScreen(*this).ShowScoreRecord(child >= computer, child, computer, m_info->scoreCode);
    WipePanel();
    m_phase = Phase::Finished;
}

void PlayScene::Abandon()
{
    ClearHotSpots();
    RemoveHotSpotsByKey(kAnswerMask);
    m_reader.EndReader();
    ClearObjects();
    StopSound(kAllSounds);
    m_inGame = 0;
    m_phase = Phase::Abandoned;
}

bool PlayScene::LevelSelect()
{
    DibSurface strip(StrengthStrip(m_deck), kNoColor);
    GameStage* stage = GetStage();
    if (!stage)
        return false;
    COLORREF color = stage->GetColor(kTextColor);
    const auto& font = stage->GetBigFont();
    for (;;) {
        DrawTextCentered(kChoiceBand, Sjis("コンピュータのつよさをえらんでください。"), color, font);
        for (int i = 0; i < static_cast<int>(kStrengths.size()); ++i) {
            int x = kStrengthLeft + kStrengthPitch * i;
            DrawSurface(strip, x, kStrengthTop, kStrengthPicture.width, kStrengthPicture.height, kStrengthStripCell * i,
                0);
            AddHotSpot(x, kStrengthTop, kStrengthPicture.width, kStrengthPicture.height, i + 1, kTakeKey);
        }
        SoundClip voice;
        PlayFileOnce(voice, "Wave\\ChoiceLevel.mp3", 0);
        int choice = WaitEvent(kTakeKey, 0);
        CutClip(voice);
        if (m_quit)
            return false;
        RemoveHotSpotsByKey(kTakeKey);
        RestoreTable(1, 1, kTableWidth - 2, kStageHeight - 2);
        if (choice < 1 || choice > static_cast<int>(kStrengths.size()))
            continue;
        const Strength& strength = kStrengths[static_cast<size_t>(choice - 1)];

        DrawSurface(strip, kChosenX, kStrengthTop, kStrengthPicture.width, kStrengthPicture.height,
            kStrengthStripCell * (choice - 1), 0);
        DrawTextCentered(kQuestionBand, Sjis(std::string(strength.name) + "でいいですか？"), color, font);
        PlayFileOnce(voice, strength.voice, 0);
        DrawTextCentered(kAnswerBand, Sjis("はい　   　いいえ    "), color, font);
        ShowYesButton(kYesAt.x, kYesAt.y);
        ShowNoButton(kNoAt.x, kNoAt.y);
        AddHotSpot(kYesSpot.left, kYesSpot.top, kYesSpot.GetWidth(), kYesSpot.GetHeight(), kYesButton, kYesKey);
        AddHotSpot(kNoSpot.left, kNoSpot.top, kNoSpot.GetWidth(), kNoSpot.GetHeight(), kNoButton, kNoKey);
        int answer = WaitEvent(kAnswerMask, 0);
        CutClip(voice);
        HideIcon(kAnswerMask);
        RemoveHotSpotsByKey(kAnswerMask);
        RemoveHotSpotsByValue(kYesButton);
        RemoveHotSpotsByValue(kNoButton);
        if (m_quit)
            return false;
        if (answer != kYesButton) {
            RestoreTable(1, 1, kTableWidth - 2, kStageHeight - 2);
            continue;
        }

        RestoreTable(0, kQuestionBand.top, kTableWidth, kAnswerBand.bottom - kQuestionBand.top);
        DrawTextCentered(kQuestionBand, Sjis("それでははじめます。"), color, font);
        ShowYesButton(kStartYesX, kQuestionBand.top);
        AddHotSpot(0, 0, kTableWidth, kStageHeight, kYesButton, kYesKey);
        PlayFileOnce(voice, "Wave\\Start.mp3", 0);
        WaitEvent(kAnswerMask, kStartWaitMs);
        CutClip(voice);
        HideIcon(kAnswerMask);
        RemoveHotSpotsByKey(kAnswerMask);
        RemoveHotSpotsByValue(kYesButton);
        RestoreTable(1, 1, kTableWidth - 2, kStageHeight - 2);
        m_computer.SetLevel(strength.level, strength.practice);
        return !m_quit;
    }
}

void PlayScene::OnLButtonDown(unsigned, int x, int y)
{
    if (!kQuitButton.Contains(x, y))
        return;
    m_quit = 1;
    DrawBitmapResource(kQuitPressedBitmap, kQuitButton.left, kQuitButton.top, kQuitButton.GetWidth(),
        kQuitButton.GetHeight(), 0, 0);
}

int PlayScene::IsHot(int x, int y)
{
    return kQuitButton.Contains(x, y) ? 1 : 0;
}

void PlayScene::Stop()
{
    m_reader.EndReader();
}

int PlayScene::CheckWait(int mask, int)
{
    return m_computer.Tick(mask, m_currentCard, m_computerBusy != 0, m_quit != 0, m_round);
}

void PlayScene::OnMusicChanged(int on)
{
    if (!m_inGame)
        return;
    if (on)
        PlaySound(kGameMusic, kLoop);
    else
        StopSound(kAllSounds);
}

}
