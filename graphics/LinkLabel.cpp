#include "graphics/LinkLabel.h"

#include "platform/CodePage.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/window/Application.h"
#include "platform/window/Cursor.h"
#include "platform/window/SystemMetrics.h"

#include <array>
#include <mutex>
#include <string>
#include <vector>

namespace lumarra {

namespace {

// The hand: 16 columns by 17 rows in the top-left corner of a system-size
// cursor, hot spot at the top-left corner. B black, W white, . transparent.
constexpr std::array<const char*, 17> kHandRows {
    "..BBB...........",
    "..BWWB..........",
    "..BWWB..........",
    "..BWWB..........",
    "..BWWBB.........",
    "..BWWWWBB.......",
    "..BWWWWWWB......",
    "BBBWWWWWWWWB....",
    "BWBWWWWWWWWB....",
    "BWBWWWWWWWWB....",
    "BWWWWWWWWWWB....",
    "BWWWWWWWWWWB....",
    ".BWWWWWWWWWB....",
    "..BBWWWWWWBB....",
    "...BBWWWWBB.....",
    "..BWWWWWWWWB....",
    "..BBBBBBBBBB....",
};
constexpr int kHandColumns = 16;

// LOGFONT keeps 32 bytes of face name with its terminating zero.
constexpr size_t kFaceNameBytes = 31;

struct Keywords {
    std::array<const char*, 4> words;
    void (*apply)(LogFont&);
};

const std::array kStyleKeywords {
    Keywords { { "太字", "ボールド", "BOLD", nullptr }, [](LogFont& f) { f.weight = kFontWeightBold; } },
    Keywords { { "イタリック", "斜体", "ITALIC", nullptr }, [](LogFont& f) { f.italic = true; } },
    Keywords { { "下線", "アンダーライン", "UNDERLINE", nullptr }, [](LogFont& f) { f.underline = true; } },
    Keywords { { "取り消し線", "取消線", "取消し線", "STRIKEOUT" }, [](LogFont& f) { f.strikeOut = true; } },
};

// Upper-cases single-byte letters; double-byte characters stay whole.
std::string UpperCaseCp932(std::string_view text)
{
    std::string upper(text);
    for (size_t pos = 0; pos < upper.size();) {
        size_t length = std::max<size_t>(1, CharLength(upper, pos, CodePage::Cp932));
        if (length == 1 && upper[pos] >= 'a' && upper[pos] <= 'z')
            upper[pos] = static_cast<char>(upper[pos] - 'a' + 'A');
        pos += length;
    }
    return upper;
}

// Finds `word` only where a character starts, so a trail byte never begins
// a match.
bool ContainsWord(std::string_view text, std::string_view word)
{
    for (size_t pos = 0; pos < text.size();) {
        if (text.substr(pos, word.size()) == word)
            return true;
        pos += std::max<size_t>(1, CharLength(text, pos, CodePage::Cp932));
    }
    return false;
}

std::string CutFaceName(std::string_view face)
{
    size_t end = 0;
    while (end < face.size()) {
        size_t length = std::max<size_t>(1, CharLength(face, end, CodePage::Cp932));
        if (end + length > kFaceNameBytes)
            break;
        end += length;
    }
    return std::string(face.substr(0, end));
}

std::unique_ptr<Cursor> BuildHandCursor()
{
    int width = GetSystemMetrics(SM_CXCURSOR);
    int height = GetSystemMetrics(SM_CYCURSOR);
    size_t rowBytes = static_cast<size_t>((width + 31) / 32 * 4);
    std::vector<uint8_t> andPlane(rowBytes * static_cast<size_t>(height), 0xFF);
    std::vector<uint8_t> xorPlane(rowBytes * static_cast<size_t>(height), 0x00);
    for (int row = 0; row < static_cast<int>(kHandRows.size()) && row < height; ++row) {
        for (int column = 0; column < kHandColumns && column < width; ++column) {
            char pixel = kHandRows[static_cast<size_t>(row)][column];
            uint8_t bit = static_cast<uint8_t>(0x80 >> (column % 8));
            size_t at = static_cast<size_t>(row) * rowBytes + static_cast<size_t>(column / 8);
            if (pixel == 'B' || pixel == 'W')
                andPlane[at] &= static_cast<uint8_t>(~bit);
            if (pixel == 'W')
                xorPlane[at] |= bit;
        }
    }
    return Cursor::CreateFromPlanes({ 0, 0 }, width, height, andPlane, xorPlane);
}

}

LinkLabel::LinkLabel() = default;
LinkLabel::~LinkLabel() = default;

const Cursor* LinkLabel::MakeHandCursor()
{
    static std::mutex lock;
    static std::unique_ptr<Cursor> hand;
    std::lock_guard guard(lock);
    if (!hand)
        hand = BuildHandCursor();
    return hand.get();
}

void LinkLabel::SetHandCursor(int on)
{
    if (on && !MakeHandCursor())
        return;
    m_handCursor = on;
}

void LinkLabel::SetLabelTextColor(COLORREF color)
{
    m_textColor = color;
    Invalidate(true);
}

void LinkLabel::SetLabelBkColor(COLORREF color)
{
    m_backgroundColor = color;
    m_backgroundBrush = Brush(color);
    Invalidate(true);
}

int LinkLabel::SetLabelFont(std::string_view face, int size, std::string_view style)
{
    m_font = FontFromSpec(face, size, style);
    if (!m_font)
        return 0;
    SetFont(m_font, true);
    Invalidate(true);
    return 1;
}

std::shared_ptr<Font> LinkLabel::FontFromSpec(std::string_view face, int size, std::string_view style)
{
    LogFont logFont;
    logFont.height = -size;
    logFont.charSet = kDefaultCharset;
    logFont.faceName = CutFaceName(face);
    std::string upper = UpperCaseCp932(style);
    for (const Keywords& keywords : kStyleKeywords) {
        for (const char* word : keywords.words) {
            if (word && ContainsWord(upper, Sjis(word))) {
                keywords.apply(logFont);
                break;
            }
        }
    }
    return Font::CreatePointIndirect(logFont);
}

const Brush* LinkLabel::CtlColor(DrawContext& dc, unsigned)
{
    dc.SetTextColor(m_textColor);
    if (m_backgroundColor == kNoColor) {
        dc.SetBkMode(TRANSPARENT);
        return &Brush::Null();
    }
    dc.SetBkColor(m_backgroundColor);
    return &m_backgroundBrush;
}

bool LinkLabel::OnSetCursor(Window* window, int hitTest, uint32_t message)
{
    if (!m_handCursor)
        return StaticControl::OnSetCursor(window, hitTest, message);
    if (Application* app = Application::Get())
        app->SetCursor(MakeHandCursor());
    return true;
}

}
