#include "platform/gdi/Font.h"

#include "platform/CodePage.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/FontLibrary.h"
#include "platform/gdi/FontMatcher.h"

#include <algorithm>
#include <cstdlib>

namespace lumarra {

namespace {

// A LOGFONT's face name holds 31 bytes and a terminator.
constexpr size_t kMaxFaceNameBytes = 31;
// Height 0 asks for the default size, a cell this high.
constexpr int kDefaultCellHeight = 16;
// Bounds on the pixels per em, so that an absurd request cannot ask FreeType
// for glyph bitmaps of gigabytes.
constexpr int kMinPixelsPerEm = 1;
constexpr int kMaxPixelsPerEm = 1024;
// Point sizes come in tenths of a point; 72 points make an inch.
constexpr int kTenthsPerInch = 720;

int MulDivRounded(int a, int b, int c)
{
    if (c == 0)
        return 0;
    long long product = static_cast<long long>(a) * b;
    long long half = std::llabs(c) / 2;
    long long quotient = (std::llabs(product) + half) / std::llabs(c);
    bool negative = (product < 0) != (c < 0);
    return static_cast<int>(negative ? -quotient : quotient);
}

int ClampPixelsPerEm(long long pixels)
{
    return static_cast<int>(std::clamp<long long>(pixels, kMinPixelsPerEm, kMaxPixelsPerEm));
}

// The name as fontconfig wants it: UTF-8, cut where a LOGFONT would cut it,
// never inside a double-byte character.
std::string FaceNameUtf8(std::string_view faceName)
{
    faceName = faceName.substr(0, faceName.find('\0'));
    size_t end = 0;
    while (end < faceName.size()) {
        size_t length = CharLength(faceName, end, CodePage::Cp932);
        if (end + length > kMaxFaceNameBytes)
            break;
        end += length;
    }
    return Cp932ToUtf8(faceName.substr(0, end));
}

struct FaceSize {
    int pixelWidth;
    int pixelHeight;
};

// GDI height semantics: negative asks for the em height, positive for the
// cell height (Windows ascent plus descent); a width asks for that average
// character width.
FaceSize SizeFor(const LogFont& logFont, const FontFace::Design& design)
{
    long long pixelHeight;
    if (logFont.height < 0)
        pixelHeight = -static_cast<long long>(logFont.height);
    else {
        long long cell = logFont.height > 0 ? logFont.height : kDefaultCellHeight;
        pixelHeight = (cell * design.unitsPerEm * 2 + design.cellUnits) / (2LL * design.cellUnits);
    }
    int height = ClampPixelsPerEm(pixelHeight);
    if (logFont.width == 0)
        return { height, height };
    long long width = std::llabs(static_cast<long long>(logFont.width));
    long long pixelWidth = (width * design.unitsPerEm * 2 + design.aveWidthUnits) / (2LL * design.aveWidthUnits);
    return { ClampPixelsPerEm(pixelWidth), height };
}

std::shared_ptr<FontFace> OpenFace(FontLibrary& library, const FontLocation& location, const LogFont& logFont,
    const FontFace::Design& design, FaceSize size)
{
    FontFaceKey key;
    key.path = location.path;
    key.index = location.index;
    key.pixelWidth = size.pixelWidth;
    key.pixelHeight = size.pixelHeight;
    key.embolden = logFont.weight > kFontWeightBoldRequest && design.weight < kFontWeightSemiBold;
    key.slant = logFont.italic && !design.italic;
    return library.GetFace(key);
}

}

std::shared_ptr<Font> Font::Create(const LogFont& logFont)
{
    FontLibrary* library = FontLibrary::Get();
    if (!library)
        return nullptr;
    std::string name = FaceNameUtf8(logFont.faceName);
    auto location = FontMatcher::Match(name, logFont.weight, logFont.italic);
    auto fallbackLocation = FontMatcher::MatchJapaneseFallback();
    FontFace::Design design;
    if (!location || !library->GetDesign(location->path, location->index, design)) {
        location = fallbackLocation;
        if (!location || !library->GetDesign(location->path, location->index, design))
            return nullptr;
    }
    FaceSize size = SizeFor(logFont, design);
    auto primary = OpenFace(*library, *location, logFont, design, size);
    if (!primary)
        return nullptr;

    std::shared_ptr<FontFace> fallback;
    FontFace::Design fallbackDesign;
    if (fallbackLocation && *fallbackLocation != *location
        && library->GetDesign(fallbackLocation->path, fallbackLocation->index, fallbackDesign)) {
        // Same em size as the primary face so mixed lines look even.
        fallback = OpenFace(*library, *fallbackLocation, logFont, fallbackDesign, size);
    }
    return std::shared_ptr<Font>(new Font(logFont, std::move(primary), std::move(fallback)));
}

std::shared_ptr<Font> Font::CreatePoint(int pointTenths, std::string_view faceName)
{
    LogFont logFont;
    logFont.height = pointTenths;
    logFont.faceName = faceName;
    return CreatePointIndirect(logFont);
}

std::shared_ptr<Font> Font::CreatePointIndirect(const LogFont& logFont)
{
    LogFont converted = logFont;
    converted.height = -std::abs(MulDivRounded(kScreenDpi, logFont.height, kTenthsPerInch));
    return Create(converted);
}

std::shared_ptr<Font> Font::GetDefault()
{
    static const std::shared_ptr<Font> font = [] {
        LogFont logFont;
        logFont.faceName = "System";
        return Create(logFont);
    }();
    return font;
}

Font::Font(const LogFont& logFont, std::shared_ptr<FontFace> primary, std::shared_ptr<FontFace> fallback)
    : m_logFont(logFont)
    , m_primary(std::move(primary))
    , m_fallback(std::move(fallback))
{
    const FontFaceMetrics& face = m_primary->GetMetrics();
    m_metrics.ascent = face.ascent;
    m_metrics.descent = face.descent;
    m_metrics.height = face.ascent + face.descent;
    m_metrics.internalLeading = m_metrics.height - face.emHeight;
    m_metrics.externalLeading = face.lineGap;
    m_metrics.aveCharWidth = face.aveCharWidth;
    m_metrics.maxCharWidth = face.maxCharWidth;
    m_metrics.weight = logFont.weight != kFontWeightDontCare ? logFont.weight : face.weight;
    m_metrics.italic = logFont.italic;
    m_metrics.underline = logFont.underline;
    m_metrics.strikeOut = logFont.strikeOut;
    m_underlinePosition = face.underlinePosition;
    m_strikeOutPosition = face.strikeOutPosition;
    m_decorationThickness = face.decorationThickness;
}

Font::~Font() = default;

const Glyph& Font::GetGlyph(char32_t codePoint) const
{
    const Glyph& glyph = m_primary->GetGlyph(codePoint);
    if (!glyph.missing || !m_fallback)
        return glyph;
    const Glyph& substitute = m_fallback->GetGlyph(codePoint);
    return substitute.missing ? glyph : substitute;
}

int Font::GetAdvance(char32_t codePoint) const
{
    return GetGlyph(codePoint).advance;
}

}
