#include "graphics/LinkLabel.h"
#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/window/Cursor.h"
#include "platform/window/Dialog.h"
#include "platform/window/DialogTemplate.h"
#include "tests/window/WindowTestSupport.h"

using namespace lumarra;
using namespace lumarra::test;

namespace {

struct Styled {
    bool bold, italic, underline, strikeOut;
    bool operator==(const Styled&) const = default;
};

Styled StyleOf(std::string_view utf8Style)
{
    auto font = LinkLabel::FontFromSpec(Sjis("ＭＳ ゴシック"), 90, Sjis(utf8Style));
    EXPECT_NE(font, nullptr);
    if (!font)
        return {};
    const LogFont& f = font->GetLogFont();
    return { f.weight == kFontWeightBold, f.italic, f.underline, f.strikeOut };
}

bool Bit(const std::vector<uint8_t>& plane, int row, int column)
{
    return (plane[static_cast<size_t>(row) * 4 + column / 8] & (0x80 >> (column % 8))) != 0;
}

}

TEST(FontFromSpec, KeywordsAnywhereInAnyCase)
{
    EXPECT_EQ(StyleOf("標準|下線"), (Styled { false, false, true, false }));
    EXPECT_EQ(StyleOf("bold italic"), (Styled { true, true, false, false }));
    EXPECT_EQ(StyleOf(""), (Styled { false, false, false, false }));
    EXPECT_EQ(StyleOf("ボールド斜体アンダーライン取消し線"), (Styled { true, true, true, true }));
    EXPECT_EQ(StyleOf("太字,イタリック,UnderLine,取り消し線"), (Styled { true, true, true, true }));
    EXPECT_EQ(StyleOf("取消線"), (Styled { false, false, false, true }));
    EXPECT_EQ(StyleOf("StrikeOut標準"), (Styled { false, false, false, true }));
    EXPECT_EQ(StyleOf("標準"), (Styled { false, false, false, false }));
    // No bold keyword leaves the weight at its default.
    EXPECT_EQ(LinkLabel::FontFromSpec("x", 90, "")->GetLogFont().weight, kFontWeightDontCare);
}

TEST(FontFromSpec, SizeIsInTenthsOfAPointWhateverItsSign)
{
    auto font = LinkLabel::FontFromSpec(Sjis("ＭＳ ゴシック"), 90, "");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetLogFont().height, -12);
    EXPECT_EQ(LinkLabel::FontFromSpec(Sjis("ＭＳ ゴシック"), -90, "")->GetLogFont().height, -12);
}

TEST(FontFromSpec, LongFaceNamesAreCutOnACharacterBoundary)
{
    // 16 double-byte characters: 32 bytes, one more than a face name holds.
    std::string face = Sjis("あいうえおかきくけこさしすせそた");
    auto font = LinkLabel::FontFromSpec(face, 90, "");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetLogFont().faceName, face.substr(0, 30));
}

TEST(HandCursor, PlanesFollowThePictureAndItIsMadeOncePerProcess)
{
    const Cursor* hand = LinkLabel::MakeHandCursor();
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->GetSize(), (Size { 32, 32 }));
    EXPECT_EQ(hand->GetHotSpot(), (Point { 0, 0 }));
    const auto& andPlane = hand->GetAndPlane();
    const auto& xorPlane = hand->GetXorPlane();
    ASSERT_EQ(andPlane.size(), 32u * 4);
    // Row 0 "..BBB": black is AND 0, XOR 0; transparent AND 1, XOR 0.
    EXPECT_TRUE(Bit(andPlane, 0, 1));
    EXPECT_FALSE(Bit(andPlane, 0, 2));
    EXPECT_FALSE(Bit(xorPlane, 0, 2));
    // Row 8 "BWBWWWWWWWWB": white is AND 0, XOR 1.
    EXPECT_FALSE(Bit(andPlane, 8, 1));
    EXPECT_TRUE(Bit(xorPlane, 8, 1));
    EXPECT_FALSE(Bit(xorPlane, 8, 2));
    EXPECT_FALSE(Bit(andPlane, 8, 11));
    EXPECT_TRUE(Bit(andPlane, 8, 12));
    // Row 16 is the last row of the picture; everything below is clear.
    EXPECT_FALSE(Bit(andPlane, 16, 11));
    for (int row = 17; row < 32; ++row)
        for (int column = 0; column < 32; ++column)
            ASSERT_TRUE(Bit(andPlane, row, column) && !Bit(xorPlane, row, column)) << row << "," << column;
    EXPECT_EQ(LinkLabel::MakeHandCursor(), hand);
}

class LinkLabels : public WindowTest { };

TEST_F(LinkLabels, ColorsAndCursorFollowTheSettings)
{
    Window dialog;
    dialog.SetBackgroundColor(RGB(0, 128, 0));
    ASSERT_TRUE(dialog.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 200, 100 }, nullptr));
    LinkLabel plain;
    ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, { 10, 10, 110, 30 }, &dialog, 5, "    "));
    LinkLabel filled;
    ASSERT_TRUE(filled.Create(WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, { 10, 50, 110, 70 }, &dialog, 6, "    "));
    filled.SetLabelBkColor(RGB(0xFF, 0xFF, 0xE0));
    // A label whose background was never set shows the dialog through.
    ASSERT_TRUE(PumpUntil([&] { return dialog.GetPresentedPixel(60, 60) == RGB(0xFF, 0xFF, 0xE0); }));
    EXPECT_EQ(dialog.GetPresentedPixel(60, 20), RGB(0, 128, 0));

    plain.SetHandCursor(0);
    filled.SetHandCursor(1);
    EXPECT_EQ(filled.GetHandCursor(), 1);
    MoveMouse(plain, { 5, 5 });
    ASSERT_TRUE(PumpUntil([&] { return m_app.GetCurrentCursor() == Cursor::Arrow(); }));
    MoveMouse(filled, { 5, 5 });
    ASSERT_TRUE(PumpUntil([&] { return m_app.GetCurrentCursor() == LinkLabel::MakeHandCursor(); }));
}

TEST_F(LinkLabels, TakesThePlaceOfATemplateStatic)
{
    Window host;
    ASSERT_TRUE(host.Create(WS_POPUP, 0, { 0, 0, 100, 100 }, nullptr));
    Dialog dialog;
    ASSERT_TRUE(dialog.Create(100, &host));
    Window* placeholder = dialog.GetDlgItem(1035);
    ASSERT_NE(placeholder, nullptr);
    Rect place = placeholder->GetWindowRect();
    std::string text = placeholder->GetWindowText();
    LinkLabel link;
    ASSERT_TRUE(link.SubclassDlgItem(1035, &dialog));
    EXPECT_EQ(dialog.GetDlgItem(1035), &link);
    EXPECT_EQ(link.GetWindowRect(), place);
    EXPECT_EQ(link.GetWindowText(), text);
    EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(link.SetLabelFont(Sjis("ＭＳ ゴシック"), 90, Sjis("標準|下線")), 1);
    EXPECT_TRUE(link.GetFont()->GetLogFont().underline);
}
