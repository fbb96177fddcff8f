#include "game/StudyScene.h"

#include "app/GameStage.h"
#include "game/CardTable.h"
#include "game/DeckPictures.h"
#include "game/ProverbExplanation.h"
#include "game/StringIds.h"
#include "game/WritingAnimation.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "platform/gdi/Font.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;
constexpr COLORREF kColorKey = 0xFF00FF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kExplanationGrey = 0x404040;

constexpr uint32_t kBackgroundBitmap = 173;
// Shown where the background picture is missing.
constexpr COLORREF kPlainBackground = 0xD8EAF2;
constexpr uint32_t kSidePanelBitmap = 221;
constexpr uint32_t kSideBadgeBitmap = 297;
constexpr uint32_t kButtonBackBitmap = 240;
constexpr uint32_t kCornerBitmap = 296;
constexpr uint32_t kExplanationFrameBitmap = 239;
constexpr Point kFrameAt = { 370, 20 };
constexpr uint32_t kVoiceIconBitmap = 269;
constexpr uint32_t kAiueoLargeBitmap = 282;

constexpr int kFramePen = 13;
constexpr int kOutlineShape = 1;
constexpr int kPanelTextColor = 4;
constexpr Point kTitleAt = { 837, 448 };
constexpr Point kCopyrightAt = { 817, 470 };
constexpr Point kNoticeAt = { 857, 488 };

constexpr int kStudyMusic = 2;

constexpr Rect kDeckButtonRects[]
    = { { 62, 375, 161, 422 }, { 62, 425, 161, 472 }, { 62, 475, 161, 522 }, { 62, 535, 161, 582 } };
constexpr int kPressedMs = 200;

// The explanation: the voice icon below the title line, the small card at
// the right; a click on the small card shows the large one for a while.
constexpr Size kVoiceIcon = { 20, 20 };
constexpr int kVoiceIconDown = 28;
constexpr int kSmallCardRight = 280;
constexpr int kLargeViewMs = 3000;
constexpr int kTextPoints = 100;  // tenths of a point

// The kana: its card at a quarter of the free width, its word near the
// card's foot, the writing box at the right.
constexpr int kKanaCardDown = 5;
constexpr int kWordDown = 191;
constexpr Size kWordBox = { 150, 16 };
constexpr int kWordHeight = 16;
constexpr int kBoldWeight = 600;
constexpr int kKanaLabelHeight = 28;
constexpr int kWritingBoxRight = 120;
constexpr int kPauseSliceMs = 50;

constexpr int kAiueoVoiceFolder = 0;

std::shared_ptr<const Font> BoldFont(int height)
{
    LogFont logFont;
    logFont.height = height;
    logFont.weight = kBoldWeight;
    logFont.faceName = Sjis("ＭＳ ゴシック");
    return Font::Create(logFont);
}

Rect VoiceIconRect()
{
    return Rect::FromSize(StudyScene::kDisplayArea.left, StudyScene::kDisplayArea.top + kVoiceIconDown,
        kVoiceIcon.width, kVoiceIcon.height);
}

Rect SmallCardRect()
{
    return Rect::FromSize(StudyScene::kDisplayArea.left + kSmallCardRight, StudyScene::kDisplayArea.top,
        kSmallCard.width, kSmallCard.height);
}

}

StudyScene::StudyScene(GameStage* stage)
    : Scene(stage)
    , m_font(Font::CreatePoint(kTextPoints, Sjis("ＭＳ ゴシック")))
    , m_wordFont(BoldFont(kWordHeight))
    , m_kanaFont(BoldFont(kKanaLabelHeight))
    , m_aiueoLarge(kAiueoLargeBitmap, kNoColor)
    , m_strokeSheet(WritingAnimation::kSheetBitmap, kColorKey)
    , m_frame(kExplanationFrameBitmap, kColorKey)
    , m_voice(stage ? &stage->GetSounds() : nullptr)
    , m_bar(ListPanel::kThumb.width, ListPanel::kThumb.height)
{
    static const char* const kLabels[] = { "江戸Korimba", "上方Korimba", "尾張Korimba", " お わ り " };
    for (size_t i = 0; i < m_deckButtons.size(); ++i)
        m_deckButtons[i] = { Sjis(kLabels[i]), kDeckButtonRects[i], kFirstDeckButton + static_cast<int>(i),
            StudyButton::State::Normal };
}

StudyScene::~StudyScene()
{
    StopTimers();
    m_voice.End();
    CutClip(m_kanaVoice);
}

// ---------------------------------------------------------------------------
// The script

void StudyScene::Run()
{
    Start();
    RunLoop();
    Leave();
}

void StudyScene::Start()
{
    m_busy = 1;
    ClearHotSpots();
    ClearObjects();
    StopSound(kAllSounds);
    DrawLayout();
    if (GameStage* stage = GetStage(); stage && stage->musicOn)
        PlaySound(kStudyMusic, kLoop);
    LoadDeckPictures(kDeckEdo);

    RemoveHotSpotsByKey(CardTable::kCardKey);
    if (GameStage* stage = GetStage())
        stage->stopRequest = 0;
    CreateButtons();
    FillDeck(0);
    m_busy = 0;
}

void StudyScene::DrawPicture(uint32_t id, int x, int y, COLORREF key)
{
    DibSurface picture(id, key);
    if (picture.IsValid())
        DrawSurface(picture, x, y, picture.GetWidth(), picture.GetHeight(), 0, 0);
}

void StudyScene::DrawLayout()
{
    if (LoadPicture(kBackgroundBitmap))
        TilePicture(0, 0, kStageWidth, kStageHeight);
    else
        FillRect(0, 0, kStageWidth, kStageHeight, kPlainBackground);
    Refresh(0, 0, kStageWidth, kStageHeight);
    DrawPicture(kSidePanelBitmap, 800, 0, kNoColor);
    DrawPicture(kSideBadgeBitmap, 810, 97, kColorKey);
    DrawShape(0, 0, 799, 599, kFramePen, kOutlineShape);
    DrawTextBig(kTitleAt.x, kTitleAt.y, Sjis("ひらがなの勉強"), kPanelTextColor);
    DrawTextSmall(kCopyrightAt.x, kCopyrightAt.y, LoadString(kStringStudyCopyright), kPanelTextColor);
    DrawTextSmall(kNoticeAt.x, kNoticeAt.y, Sjis("無断転写禁止"), kPanelTextColor);
    DrawPicture(kButtonBackBitmap, 60, 320, kColorKey);
    DrawPicture(kCornerBitmap, 190, 410, kColorKey);
    DrawPicture(kExplanationFrameBitmap, kFrameAt.x, kFrameAt.y, kColorKey);
}

// A long explanation runs past the display area onto the frame; the frame
// drawn again takes what ran over away.
void StudyScene::ClearDisplayArea()
{
    if (m_frame.IsValid())
        DrawSurface(m_frame, kFrameAt.x, kFrameAt.y, m_frame.GetWidth(), m_frame.GetHeight(), 0, 0);
    const Rect& area = kDisplayArea;
    FillRect(area.left, area.top, area.GetWidth(), area.GetHeight(), kWhite);
}

// Empty kana cells get neither a face nor a hot spot.
void StudyScene::CreateButtons()
{
    for (StudyButton& button : m_kanaButtons.GetAll()) {
        if (button.IsEmpty())
            continue;
        button.Draw(*this, StudyButton::State::Normal, m_kanaFont);
        AddHotSpot(button.rect.left, button.rect.top, button.rect.GetWidth(), button.rect.GetHeight(), button.value,
            kButtonKey);
    }
    for (StudyButton& button : m_deckButtons) {
        button.Draw(*this, StudyButton::State::Normal, m_wordFont);
        AddHotSpot(button.rect.left, button.rect.top, button.rect.GetWidth(), button.rect.GetHeight(), button.value,
            kButtonKey);
    }
}

int StudyScene::GetTextBase() const
{
    constexpr uint32_t kBases[] = { kEdoTextBase, kKamigataTextBase, kOwariTextBase };
    return static_cast<int>(kBases[m_studyDeck.load()]);
}

// The chosen deck's button pressed, its proverbs listed from the top and
// the instructions shown.
void StudyScene::FillDeck(int index)
{
    for (int i = 0; i < kDeckCount; ++i)
        m_deckButtons[static_cast<size_t>(i)].Draw(*this,
            i == index ? StudyButton::State::Pressed : StudyButton::State::Normal, m_wordFont);
    m_studyDeck = index;
    m_voice.RequestStop();
    {
        std::lock_guard guard(m_listLock);
        m_list.Fill(static_cast<uint32_t>(GetTextBase()));
        m_selected = -1;
        m_bar.Reset(m_list.GetCount());
        m_panel.Draw(*this, m_bar);
        ScrollList(0);
    }
    ShowInstructions();
}

void StudyScene::ShowInstructions()
{
    m_explanationShown = 0;
    ClearDisplayArea();
    DrawTextWrapped(kDisplayArea, LoadString(kStringStudyInstructions), kBlack, m_font);
}

void StudyScene::RunLoop()
{
    while (!IsLeaving()) {
        int value = WaitEvent(kButtonKey, 0);
        if (value >= kFirstDeckButton && value < kFirstDeckButton + kDeckCount) {
            m_busy = 1;
            FillDeck(value - kFirstDeckButton);
            LoadDeckPictures(kDeckEdo + value - kFirstDeckButton);
            m_busy = 0;
        } else if (value == kEndButton) {
            m_leave = 1;
        } else if (value >= 1 && value <= KanaButtons::kCount && !m_kanaButtons.ButtonOf(value).IsEmpty()) {
            m_busy = 1;
            ShowKana(value);
            m_busy = 0;
        } else if (value >= kListRequest && value <= kPictureRequest) {
            m_busy = 1;
            HandleRequest(value);
            m_busy = 0;
        }
    }
}

void StudyScene::HandleRequest(int request)
{
    int entry = m_requestedEntry;
    if (request == kListRequest && entry >= 0) {
        ShowExplanation(entry);
        m_voice.RequestVoice(GetVoiceFolder(), entry);
        ++m_itemsStudied;
    } else if (request == kPictureRequest) {
        ShowLargePicture();
    }
}

void StudyScene::ShowKana(int value)
{
    StudyButton& button = m_kanaButtons.ButtonOf(value);
    button.Draw(*this, StudyButton::State::Pressed, m_kanaFont);
    // The kana's own voice takes over from a proverb's.
    m_voice.RequestStop();
    m_explanationShown = 0;
    m_animatedKana = value;

    const Rect& area = kDisplayArea;
    ClearDisplayArea();
    int x = area.left + (area.GetWidth() - kLargeCard.width) / 4;
    int y = area.top + kKanaCardDown;
    if (m_aiueoLarge.IsValid()) {
        Rect cell = CardCellOnSheet(value, kLargeCard);
        DrawSurface(m_aiueoLarge, x, y, cell.GetWidth(), cell.GetHeight(), cell.left, cell.top);
    }
    ReadIndex r = ReadIndexOf(kDeckAiueo, value);
    if (r >= 0) {
        std::string word = LoadString(AiueoStringId(static_cast<uint32_t>(r), kAiueoWord));
        DrawTextCentered(Rect::FromSize(x, area.top + kWordDown, kWordBox.width, kWordBox.height), word, kBlack,
            m_wordFont);
        PlayFileOnce(m_kanaVoice, StudyVoice::VoiceFile(kAiueoVoiceFolder, r), 0);
    }
    if (PlayWriting(value)) {
        while (m_kanaVoice.IsPlaying() && Pause(kPauseSliceMs)) { }
    }
    CutClip(m_kanaVoice);
    m_animatedKana = 0;

    ++m_itemsStudied;
    if (!IsLeaving())
        Wait(kPressedMs);
    button.Draw(*this, StudyButton::State::Normal, m_kanaFont);
}

int StudyScene::PlayWriting(int value)
{
    const Rect& area = kDisplayArea;
    Point at = { area.right - kWritingBoxRight, area.top + (area.GetHeight() - WritingAnimation::kCellSize) / 2 };
    WritingAnimation animation(
        m_strokeSheet,
        [this](const Rect& source, Point to) {
            DrawSurface(m_strokeSheet, to.x, to.y, source.GetWidth(), source.GetHeight(), source.left, source.top);
        },
        [this](int ms) { return Pause(ms); });
    return animation.Play(value, at);
}

void StudyScene::ShowExplanation(int entry)
{
    const Rect& area = kDisplayArea;
    ClearDisplayArea();
    Rect icon = VoiceIconRect();
    DrawPicture(kVoiceIconBitmap, icon.left, icon.top, kColorKey);

    std::array<std::string, ProverbExplanation::kTextCount> block;
    for (uint32_t i = 0; i < block.size(); ++i)
        block[i] = LoadString(ProverbStringId(static_cast<uint32_t>(GetTextBase()), static_cast<uint32_t>(entry), i));
    Rect card = SmallCardRect();
    CardTable(*this).DrawSmallCard(CardOfVerse(entry), card.left, card.top);

    const DeckInfo* deck = FindDeck(kDeckEdo + m_studyDeck);
    ProverbExplanation layers = ProverbExplanation::Compose(deck ? Sjis(deck->name) : std::string(), block);
    DrawTextWrapped(area, layers.headings, kBlack, m_font);
    DrawTextWrapped({ area.left + 1, area.top, area.right + 1, area.bottom }, layers.headings, kBlack, m_font);
    DrawTextWrapped(area, layers.texts, kExplanationGrey, m_font);
    m_shownEntry = entry;
    m_explanationShown = 1;
}

void StudyScene::ShowLargePicture()
{
    int entry = m_shownEntry;
    if (entry < 0)
        return;
    m_explanationShown = 0;
    const Rect& area = kDisplayArea;
    ClearDisplayArea();
    CardTable(*this).DrawLargeCard(CardOfVerse(entry), area.left + (area.GetWidth() - kLargeCard.width) / 2, area.top);
    if (!Pause(kLargeViewMs))
        return;
    ShowExplanation(entry);
    m_voice.RequestVoice(GetVoiceFolder(), entry);
}

void StudyScene::Leave()
{
    m_busy = 1;
    if (m_leave) {
        m_deckButtons.back().Draw(*this, StudyButton::State::Pressed, m_wordFont);
        Wait(kPressedMs);
    }
    ClearDisplayArea();
    RemoveHotSpotsByKey(kButtonKey);
    CutClip(m_kanaVoice);
    m_voice.End();
    StopTimers();
    ClearObjects();
    StopSound(kAllSounds);
}

bool StudyScene::IsLeaving() const
{
    GameStage* stage = GetStage();
    return m_leave || (stage && stage->stopRequest);
}

int StudyScene::Pause(int ms)
{
    while (ms > 0 && !IsLeaving()) {
        int slice = std::min(ms, kPauseSliceMs);
        Wait(slice);
        ms -= slice;
    }
    return IsLeaving() ? 0 : 1;
}

// Clicks that need more drawing than the list are the script's to handle;
// a leave asked for while it was busy ends its wait too.
int StudyScene::CheckWait(int mask, int)
{
    if (!(mask & kButtonKey))
        return 0;
    if (IsLeaving())
        return kLeaveRequest;
    return m_request.exchange(kNoRequest);
}

void StudyScene::OnMusicChanged(int on)
{
    if (on)
        PlaySound(kStudyMusic, kLoop);
    else
        StopSound(kStudyMusic);
}

// ---------------------------------------------------------------------------
// The list and its scroll bar, on the interface thread

void StudyScene::ScrollList(int delta)
{
    ListScrollBar::Move move;
    if (!m_bar.Scroll(delta, &move))
        return;
    m_panel.MoveThumb(*this, move);
    DrawList();
}

void StudyScene::DrawList()
{
    m_panel.DrawRows(*this, m_list, m_bar.GetFirst(), m_selected, m_font);
}

void StudyScene::StartTimer(uintptr_t id, uint32_t ms)
{
    if (GameStage* stage = GetStage(); stage && stage->GetView())
        stage->GetView()->SetTimer(id, ms);
}

void StudyScene::StopTimers()
{
    if (GameStage* stage = GetStage(); stage && stage->GetView()) {
        for (uintptr_t id : { kPageTimer, kUpTimer, kDownTimer })
            stage->GetView()->KillTimer(id);
    }
}

void StudyScene::OnLButtonDown(unsigned, int x, int y)
{
    if (m_busy)
        return;
    std::lock_guard guard(m_listLock);
    m_dragOffset = y - m_bar.GetThumb().top;
    m_pressedAt = { x + 2, y };
    switch (m_bar.PressedPart(m_pressedAt)) {
    case ListScrollBar::Part::ArrowUp:
        StartTimer(kUpTimer, 100);
        break;
    case ListScrollBar::Part::ArrowDown:
        StartTimer(kDownTimer, 100);
        break;
    case ListScrollBar::Part::TrackAbove:
    case ListScrollBar::Part::TrackBelow:
        StartTimer(kPageTimer, 500);
        break;
    case ListScrollBar::Part::Thumb:
        m_dragging = true;
        if (GameStage* stage = GetStage(); stage && stage->GetView())
            stage->GetView()->SetCapture();
        break;
    case ListScrollBar::Part::None:
        break;
    }
}

void StudyScene::OnLButtonUp(unsigned, int x, int y)
{
    // The end button is heard even while the screen is busy, and never lost
    // to a request the script takes up first.
    if (m_deckButtons.back().rect.Contains(x, y))
        m_leave = 1;
    if (m_busy)
        return;
    std::lock_guard guard(m_listLock);
    if (m_dragging.exchange(false)) {
        Window::ReleaseCapture();
        return;
    }
    StopTimers();
    ReleaseAt({ x + 2, y });
}

void StudyScene::ReleaseAt(Point at)
{
    if (ListPanel::kList.Contains(at.x, at.y)) {
        int entry = m_bar.GetFirst() + ListPanel::RowAt(at.y);
        if (entry < m_list.GetCount())
            SelectEntry(entry);
        return;
    }
    switch (m_bar.ReleasedPart(at)) {
    case ListScrollBar::Part::ArrowUp:
        ScrollList(-1);
        return;
    case ListScrollBar::Part::ArrowDown:
        ScrollList(1);
        return;
    case ListScrollBar::Part::TrackAbove:
        ScrollList(-ListScrollBar::kPage);
        return;
    case ListScrollBar::Part::TrackBelow:
        ScrollList(ListScrollBar::kPage);
        return;
    case ListScrollBar::Part::Thumb:
        return;
    case ListScrollBar::Part::None:
        break;
    }
    if (!m_explanationShown)
        return;
    if (VoiceIconRect().Contains(at.x, at.y))
        m_voice.RequestVoice(GetVoiceFolder(), m_shownEntry);
    else if (SmallCardRect().Contains(at.x, at.y))
        m_request = kPictureRequest;
}

// The hand shows over what a click acts on besides the buttons.
int StudyScene::IsHot(int x, int y)
{
    Point at = { x + 2, y };
    std::lock_guard guard(m_listLock);
    if (ListPanel::kList.Contains(at.x, at.y))
        return m_bar.GetFirst() + ListPanel::RowAt(at.y) < m_list.GetCount() ? 1 : 0;
    if (ListScrollBar::kBar.Contains(at.x, at.y))
        return 1;
    return m_explanationShown && (VoiceIconRect().Contains(at.x, at.y) || SmallCardRect().Contains(at.x, at.y));
}

void StudyScene::SelectEntry(int entry)
{
    m_selected = entry;
    DrawList();
    m_requestedEntry = entry;
    m_request = kListRequest;
}

void StudyScene::OnMouseMove(unsigned, int, int y)
{
    if (!m_dragging)
        return;
    std::lock_guard guard(m_listLock);
    int entry = m_bar.DragEntry(y, m_dragOffset);
    if (entry != m_bar.GetFirst())
        ScrollList(entry - m_bar.GetFirst());
}

void StudyScene::OnTimer(uintptr_t id)
{
    std::lock_guard guard(m_listLock);
    if (id == kUpTimer) {
        ScrollList(-1);
    } else if (id == kDownTimer) {
        ScrollList(1);
    } else if (id == kPageTimer) {
        // Pages once after the first half second, then every 100 ms.
        StopTimers();
        ReleaseAt(m_pressedAt);
        StartTimer(kPageTimer, 100);
    }
}

// ---------------------------------------------------------------------------
// For tests

int StudyScene::GetListCount()
{
    std::lock_guard guard(m_listLock);
    return m_list.GetCount();
}

std::string StudyScene::GetListEntry(int index)
{
    std::lock_guard guard(m_listLock);
    return m_list.EntryAt(index);
}

int StudyScene::GetFirstVisible()
{
    std::lock_guard guard(m_listLock);
    return m_bar.GetFirst();
}

int StudyScene::GetSelected()
{
    std::lock_guard guard(m_listLock);
    return m_selected;
}

Rect StudyScene::GetThumb()
{
    std::lock_guard guard(m_listLock);
    return m_bar.GetThumb();
}

}
