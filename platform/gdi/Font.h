#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lumarra {

class FontFace;
struct Glyph;

// Weights as GDI numbers them.
inline constexpr int kFontWeightDontCare = 0;
inline constexpr int kFontWeightNormal = 400;
inline constexpr int kFontWeightSemiBold = 600;
inline constexpr int kFontWeightBold = 700;
// A weight above this asks for a bold face; a regular face is emboldened.
inline constexpr int kFontWeightBoldRequest = 550;

// Character sets a caller may name; matching always prefers faces that cover
// Japanese, so the value is kept for the caller's sake only.
inline constexpr uint8_t kDefaultCharset = 1;
inline constexpr uint8_t kShiftJisCharset = 128;

// Screen resolution every point size is converted at.
inline constexpr int kScreenDpi = 96;

// What a caller asks for, as a LOGFONT says it. `height` < 0 asks for that
// character (em) height in pixels, > 0 for that cell height (ascent plus
// descent), 0 for a default size. `width` 0 keeps the face's proportions,
// otherwise it is the wanted average character width. `faceName` is CP932.
struct LogFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = kFontWeightDontCare;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = kDefaultCharset;
    std::string faceName;
};

// TEXTMETRIC's sizes, in pixels.
struct TextMetric {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// A realised font: the matched face at its pixel size, plus a Japanese
// fallback face for characters the first one lacks. Immutable once made and
// safe to use from several threads at once; glyphs are cached per face and
// size and shared by every Font of the same face and size.
class Font {
public:
    // Null when no face at all can be loaded.
    static std::shared_ptr<Font> Create(const LogFont& logFont);
    // The framework's point-font creation: `pointTenths` in tenths of a
    // point, converted at 96 dpi into a character height.
    static std::shared_ptr<Font> CreatePoint(int pointTenths, std::string_view faceName);
    static std::shared_ptr<Font> CreatePointIndirect(const LogFont& logFont);
    // The font a fresh device context starts with.
    static std::shared_ptr<Font> GetDefault();

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const LogFont& GetLogFont() const { return m_logFont; }
    const TextMetric& GetTextMetrics() const { return m_metrics; }

    // The glyph for one Unicode character, rendered on first use. Never null:
    // a character no face covers gives the primary face's missing-glyph box.
    // The glyph lives as long as this font.
    const Glyph& GetGlyph(char32_t codePoint) const;
    // The advance of one character in pixels.
    int GetAdvance(char32_t codePoint) const;

    // Underline and strike-out bars below/above the baseline, in pixels.
    int GetUnderlinePosition() const { return m_underlinePosition; }
    int GetStrikeOutPosition() const { return m_strikeOutPosition; }
    int GetDecorationThickness() const { return m_decorationThickness; }

private:
    Font(const LogFont& logFont, std::shared_ptr<FontFace> primary, std::shared_ptr<FontFace> fallback);

    LogFont m_logFont;
    TextMetric m_metrics;
    std::shared_ptr<FontFace> m_primary;
    std::shared_ptr<FontFace> m_fallback;
    int m_underlinePosition = 0;
    int m_strikeOutPosition = 0;
    int m_decorationThickness = 1;
};

}
