#include "game/ScoreScreen.h"

#include "app/GameStage.h"
#include "app/Scene.h"
#include "graphics/DibSurface.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/gdi/Font.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

namespace lumarra {

namespace {

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;

// The picture: won (a draw counts as won) or lost, with its sound.
constexpr uint32_t kWonPicture = 136;
constexpr uint32_t kLostPicture = 137;
constexpr int kWonSound = 3;
constexpr int kLostSound = 4;
constexpr int kOnce = 1;
// Column k from the left (even columns) and from the right (odd ones) per
// step, until the right-hand sweep has passed the left edge.
constexpr int kRevealSteps = 491;
constexpr int kRevealStepMs = 5;
constexpr int kAfterSoundMs = 2000;

// "お わ り" fades from the picture's color under it to white, drawn three
// times a pixel apart for weight.
constexpr Point kEndTextAt = { 431, 291 };
constexpr Point kEndColorAt = { 423, 292 };
constexpr int kEndTextCopies = 3;
constexpr Size kEndTextBox = { 120, 24 };
constexpr int kFadeSteps = 256;
constexpr int kFadeStepMs = 10;

// The paper the ranking is written on, and the headline on it.
constexpr uint32_t kPaperBitmap = 177;
constexpr Rect kPaper = Rect::FromSize(280, 190, 440, 215);
constexpr uint32_t kFirstPlaceBitmap = 179;
constexpr uint32_t kTopTenBitmap = 178;
constexpr Rect kHeadlineBitmap = Rect::FromSize(385, 204, 210, 26);
constexpr int kTopTenPositions = 10;
constexpr Rect kHeadlineBox = { 281, 200, 701, 230 };
constexpr int kHeadlinePointTenths = 140;
constexpr COLORREF kHeadlineColor = 0xC00000;

// The ranking: the new game's line with up to five before it.
constexpr int kLinesBefore = 5;
constexpr int kLineX = 277;
constexpr int kFirstLineY = 235;
constexpr int kLineHeight = 16;
constexpr Rect kHighlightBar = Rect::FromSize(293, 0, 392, kLineHeight);
// Dark enough to read on the paper and on the highlight bar.
constexpr COLORREF kLineColor = 0x202020;

constexpr int kWaitSliceMs = 500;
constexpr uint32_t kLongestWaitMs = 30000;

// A channel `step` of the way from `from` towards 255, which the last step
// reaches: the letters end in white.
uint32_t FadeChannel(uint32_t from, int step)
{
    return from + (255 - from) * static_cast<uint32_t>(step) / (kFadeSteps - 1);
}

COLORREF FadeTowardsWhite(COLORREF from, int step)
{
    COLORREF color = 0;
    for (int shift = 0; shift < 24; shift += 8)
        color |= FadeChannel((from >> shift) & 0xFF, step) << shift;
    return color;
}

const char* ResultWord(const ScoreEntry& entry)
{
    if (entry.child > entry.computer)
        return "かち";
    if (entry.child < entry.computer)
        return "まけ";
    return "　　";
}

std::string LocalDate(int32_t date)
{
    std::time_t when = date;
    std::tm local {};
    char text[32];
    if (!::localtime_r(&when, &local) || std::strftime(text, sizeof text, "%Y/%m/%d", &local) == 0)
        return "----/--/--";
    return text;
}

// The game's end as the record keeps it: never 0, which marks an empty
// record.
int32_t Now()
{
    std::time_t now = std::time(nullptr);
    return static_cast<int32_t>(std::clamp<std::time_t>(now, 1, INT32_MAX));
}

}

ScoreScreen::ScoreScreen(Scene& scene, std::string recordPath)
    : m_scene(scene)
    , m_recordPath(std::move(recordPath))
    , m_font(Font::CreatePoint(kHeadlinePointTenths, Sjis("ＭＳ ゴシック")))
{
}

std::string ScoreScreen::RankingLine(int place, const ScoreEntry& entry)
{
    char line[160];
    std::snprintf(line, sizeof line, "%4dばん %s %4d%s %4d%s   ひにち %s", place, ResultWord(entry), entry.child,
        "まい", entry.computer, "まい", LocalDate(entry.date).c_str());
    return line;
}

ScoreScreen::Content ScoreScreen::Compose(const ScoreRecord::Filing& filing, bool childWon, int childTakes,
    int computerTakes)
{
    Content content;
    content.picture = childWon ? kWonPicture : kLostPicture;
    content.sound = childWon ? kWonSound : kLostSound;
    ComposeHeadline(content, filing, childTakes >= computerTakes);
    ComposeLines(content, filing);
    return content;
}

// The ribbons praise the child's own place in the top ten; any other place,
// and every computer win, is written out.
void ScoreScreen::ComposeHeadline(Content& content, const ScoreRecord::Filing& filing, bool childAhead)
{
    const int position = filing.position;
    if (position == 0 && childAhead) {
        content.headlineBitmap = kFirstPlaceBitmap;
        return;
    }
    if (position > 0 && position < kTopTenPositions && childAhead) {
        content.headlineBitmap = kTopTenBitmap;
        return;
    }
    int place = position >= 0 ? filing.table.PlaceOf(position) : filing.table.GetPlaceAfterLast();
    char text[96];
    std::snprintf(text, sizeof text, childAhead ? "★  %d ばん  ★" : "★ コンピュータ %d ばん  ★", place);
    content.headlineText = text;
}

// The lines around the new game, so near the top fewer of them; the first
// ten for a game the table could not take.
void ScoreScreen::ComposeLines(Content& content, const ScoreRecord::Filing& filing)
{
    const ScoreTable& table = filing.table;
    const int position = filing.position;
    const int first = position >= 0 ? std::max(0, position - kLinesBefore) : 0;
    const int end = std::min(position >= 0 ? position - kLinesBefore + kLines : kLines, ScoreTable::kRecords);
    for (int i = first; i < end && table.At(i).IsUsed(); ++i) {
        if (i == position)
            content.highlightedLine = static_cast<int>(content.lines.size());
        content.lines.push_back(RankingLine(table.PlaceOf(i), table.At(i)));
    }
}

void ScoreScreen::ShowScoreRecord(bool childWon, int childTakes, int computerTakes, int scoreCode)
{
    m_filing = ScoreRecord::FileGame(m_recordPath, scoreCode, childTakes, computerTakes, Now());
    m_content = Compose(m_filing, childWon, childTakes, computerTakes);
    if (!m_scene.GetStage())
        return;

    DibSurface picture(m_content.picture, kNoColor);
    Reveal(picture);
    m_scene.PlaySound(m_content.sound, kOnce);
    m_scene.Wait(kAfterSoundMs);
    FadeInEnd(picture);
    m_scene.DrawBitmapResource(kPaperBitmap, kPaper.left, kPaper.top, kPaper.GetWidth(), kPaper.GetHeight(), 0, 0);
    DrawHeadline();
    DrawRanking();
    WaitForClick();
}

void ScoreScreen::Reveal(DibSurface& picture)
{
    for (int step = 0; step < kRevealSteps; ++step) {
        for (int x : { 2 * step, kStageWidth - 1 - 2 * step }) {
            if (x >= 0 && x < kStageWidth)
                m_scene.DrawSurface(picture, x, 0, 1, kStageHeight, x, 0);
        }
        m_scene.Wait(kRevealStepMs);
    }
    m_scene.DrawSurface(picture, 0, 0, kStageWidth, kStageHeight, 0, 0);
}

void ScoreScreen::FadeInEnd(DibSurface& picture)
{
    COLORREF from = picture.GetPixel(kEndColorAt.x, kEndColorAt.y);
    if (from == CLR_INVALID)
        from = 0;
    const std::string text = Sjis("お わ り");
    const Rect box = Rect::FromSize(kEndTextAt.x, kEndTextAt.y, kEndTextBox.width + kEndTextCopies, kEndTextBox.height);
    for (int step = 0; step < kFadeSteps; ++step) {
        // Each step starts from the picture, so the letters' soft edges do
        // not pile up over the 256 drawings.
        m_scene.DrawSurface(picture, box.left, box.top, box.GetWidth(), box.GetHeight(), box.left, box.top);
        COLORREF color = FadeTowardsWhite(from, step);
        for (int copy = 0; copy < kEndTextCopies; ++copy) {
            Rect at = Rect::FromSize(box.left + copy, box.top, kEndTextBox.width, kEndTextBox.height);
            m_scene.DrawTextWrapped(at, text, color, m_font);
        }
        m_scene.Wait(kFadeStepMs);
    }
}

void ScoreScreen::DrawHeadline()
{
    if (m_content.headlineBitmap) {
        m_scene.DrawBitmapResource(m_content.headlineBitmap, kHeadlineBitmap.left, kHeadlineBitmap.top,
            kHeadlineBitmap.GetWidth(), kHeadlineBitmap.GetHeight(), 0, 0);
        return;
    }
    m_scene.DrawTextCentered(kHeadlineBox, Sjis(m_content.headlineText), kHeadlineColor, m_font);
}

void ScoreScreen::DrawRanking()
{
    const auto& font = m_scene.GetStage()->GetBigFont();
    for (int n = 0; n < static_cast<int>(m_content.lines.size()); ++n) {
        int y = kFirstLineY + kLineHeight * n;
        if (n == m_content.highlightedLine)
            m_scene.FillRect(kHighlightBar.left, y, kHighlightBar.GetWidth(), kHighlightBar.GetHeight(),
                GameStage::kHighlightColor);
        Rect line = { kLineX, y, kStageWidth, y + kLineHeight };
        m_scene.DrawTextWrapped(line, Sjis(m_content.lines[static_cast<size_t>(n)]), kLineColor, font);
    }
}

void ScoreScreen::WaitForClick()
{
    m_scene.AddHotSpot(0, 0, kStageWidth, kStageHeight, kClickValue, kClickKey);
    const uint32_t start = GetTickCount();
    // A click ends the wait, and so does an answer of the scene's own tick
    // (the play scene's quit button); otherwise it runs out after 30 s.
    while (m_scene.WaitEvent(kClickKey, kWaitSliceMs) == 0 && GetTickCount() - start <= kLongestWaitMs) { }
    m_scene.RemoveHotSpotsByKey(kClickKey);
}

}
