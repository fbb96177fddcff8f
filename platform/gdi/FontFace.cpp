#include "platform/gdi/FontFace.h"

#include "platform/gdi/Font.h"
#include "platform/gdi/FontLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>

namespace lumarra {

namespace {

// Slant of a synthesised italic (tan 12°, 16.16 fixed point).
constexpr FT_Fixed kObliqueShear = 0x0366A;
// A synthesised bold widens each stroke by about a 24th of the em.
constexpr int kEmboldenDivisor = 24;
// Levels of a GGO_GRAY8_BITMAP: 0 (no ink) to 64 (full ink).
constexpr int kGray65Levels = 64;

// Font units scaled to whole pixels, halves away from zero.
int ScaleUnits(long units, int pixelsPerEm, int unitsPerEm)
{
    long long scaled = static_cast<long long>(units) * pixelsPerEm * 2;
    long long denominator = static_cast<long long>(unitsPerEm) * 2;
    long long half = unitsPerEm;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator : -((-scaled + half) / denominator));
}

struct VerticalUnits {
    long ascent;
    long descent;
};

// Windows places the cell by the OS/2 table's Windows ascent and descent.
VerticalUnits CellUnits(FT_Face face)
{
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return { os2->usWinAscent, os2->usWinDescent };
    return { face->ascender, -face->descender };
}

// The OS/2 table, when the face has a usable one.
const TT_OS2* Os2Table(FT_Face face)
{
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    return os2 && os2->version != 0xFFFF ? os2 : nullptr;
}

FontFace::Design DesignOf(FT_Face face)
{
    FontFace::Design design;
    const TT_OS2* os2 = Os2Table(face);
    VerticalUnits cell = CellUnits(face);
    design.unitsPerEm = face->units_per_EM;
    design.cellUnits = static_cast<int>(std::max(1L, cell.ascent + cell.descent));
    design.aveWidthUnits = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face->units_per_EM / 2;
    design.bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    design.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    design.weight
        = os2 && os2->usWeightClass > 0 ? os2->usWeightClass : (design.bold ? kFontWeightBold : kFontWeightNormal);
    return design;
}

int EmboldenPixels(int pixelHeight)
{
    return std::max(1, (pixelHeight + kEmboldenDivisor / 2) / kEmboldenDivisor);
}

FontFaceMetrics ComputeMetrics(FT_Face face, const FontFaceKey& key)
{
    FontFaceMetrics metrics;
    FontFace::Design design = DesignOf(face);
    int unitsPerEm = design.unitsPerEm;
    VerticalUnits cell = CellUnits(face);
    metrics.ascent = ScaleUnits(cell.ascent, key.pixelHeight, unitsPerEm);
    metrics.descent = ScaleUnits(cell.descent, key.pixelHeight, unitsPerEm);
    metrics.emHeight = key.pixelHeight;

    // External leading: what the typographic line gap adds beyond the cell.
    long hheaLineGap = face->height - (face->ascender - face->descender);
    long extra = hheaLineGap - ((cell.ascent + cell.descent) - (face->ascender - face->descender));
    metrics.lineGap = std::max(0, ScaleUnits(extra, key.pixelHeight, unitsPerEm));

    int extraWidth = key.embolden ? EmboldenPixels(key.pixelHeight) : 0;
    metrics.aveCharWidth = std::max(1, ScaleUnits(design.aveWidthUnits, key.pixelWidth, unitsPerEm)) + extraWidth;
    metrics.maxCharWidth = std::max(1, ScaleUnits(face->max_advance_width, key.pixelWidth, unitsPerEm)) + extraWidth;
    metrics.underlinePosition = std::max(1, ScaleUnits(-face->underline_position, key.pixelHeight, unitsPerEm));
    metrics.decorationThickness = std::max(1, ScaleUnits(face->underline_thickness, key.pixelHeight, unitsPerEm));
    const TT_OS2* os2 = Os2Table(face);
    long strikeUnits = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : unitsPerEm * 3 / 10;
    metrics.strikeOutPosition = ScaleUnits(strikeUnits, key.pixelHeight, unitsPerEm);
    metrics.weight = key.embolden ? std::max(design.weight, kFontWeightBold) : design.weight;
    return metrics;
}

// Copies FreeType's coverage rows (either row order) top row first, and
// derives the 65-level form with its 4-byte rows.
void CopyCoverage(const FT_Bitmap& bitmap, Glyph& glyph)
{
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    glyph.gray65Pitch = (glyph.width + 3) & ~3;
    glyph.gray65.assign(static_cast<size_t>(glyph.gray65Pitch) * glyph.height, 0);
    int pitch = bitmap.pitch;
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = pitch >= 0 ? bitmap.buffer + static_cast<size_t>(y) * pitch
                                              : bitmap.buffer + static_cast<size_t>(glyph.height - 1 - y) * -pitch;
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t level = row[x];
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = level;
            glyph.gray65[static_cast<size_t>(y) * glyph.gray65Pitch + x]
                = static_cast<uint8_t>((level * kGray65Levels + 128) >> 8);
        }
    }
}

}

struct FontFace::Impl {
    FT_Face face = nullptr;
};

bool FontFace::ReadDesign(FreeTypeLibrary& library, const std::string& path, int index, Design& design)
{
    std::lock_guard guard(library.GetFaceLifetimeLock());
    FT_Face face = nullptr;
    if (FT_New_Face(library.GetHandle(), path.c_str(), index, &face) != 0)
        return false;
    bool usable = FT_IS_SCALABLE(face) && face->units_per_EM > 0;
    if (usable)
        design = DesignOf(face);
    FT_Done_Face(face);
    return usable;
}

std::shared_ptr<FontFace> FontFace::Open(std::shared_ptr<FreeTypeLibrary> library, const FontFaceKey& key)
{
    if (!library || key.pixelWidth <= 0 || key.pixelHeight <= 0)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    {
        std::lock_guard guard(library->GetFaceLifetimeLock());
        if (FT_New_Face(library->GetHandle(), key.path.c_str(), key.index, &impl->face) != 0)
            return nullptr;
        if (!FT_IS_SCALABLE(impl->face) || impl->face->units_per_EM == 0
            || FT_Set_Pixel_Sizes(impl->face, key.pixelWidth, key.pixelHeight) != 0) {
            FT_Done_Face(impl->face);
            return nullptr;
        }
    }
    return std::shared_ptr<FontFace>(new FontFace(std::move(library), key, std::move(impl)));
}

FontFace::FontFace(std::shared_ptr<FreeTypeLibrary> library, const FontFaceKey& key, std::unique_ptr<Impl> impl)
    : m_library(std::move(library))
    , m_key(key)
    , m_impl(std::move(impl))
{
    m_metrics = ComputeMetrics(m_impl->face, m_key);
}

FontFace::~FontFace()
{
    std::lock_guard guard(m_library->GetFaceLifetimeLock());
    FT_Done_Face(m_impl->face);
}

const Glyph& FontFace::GetGlyph(char32_t codePoint)
{
    {
        std::shared_lock reading(m_cacheLock);
        auto found = m_glyphs.find(codePoint);
        if (found != m_glyphs.end())
            return found->second;
    }
    std::lock_guard rendering(m_faceLock);
    {
        // Another thread may have rendered it while this one waited.
        std::shared_lock reading(m_cacheLock);
        auto found = m_glyphs.find(codePoint);
        if (found != m_glyphs.end())
            return found->second;
    }
    Glyph glyph = Render(codePoint);
    std::unique_lock writing(m_cacheLock);
    // Elements of an unordered_map keep their address across rehashing, so
    // references handed out earlier stay valid.
    return m_glyphs.emplace(codePoint, std::move(glyph)).first->second;
}

Glyph FontFace::Render(char32_t codePoint)
{
    Glyph glyph;
    FT_Face face = m_impl->face;
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    glyph.missing = index == 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    int extraAdvance = 0;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (m_key.slant) {
            FT_Matrix shear { 0x10000, kObliqueShear, 0, 0x10000 };
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (m_key.embolden) {
            // The left and bottom edges stay; strokes grow to the right.
            extraAdvance = EmboldenPixels(m_key.pixelHeight);
            FT_Outline_EmboldenXY(&slot->outline, extraAdvance * 64, 0);
        }
    }
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extraAdvance;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return glyph;
    if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return glyph;
    CopyCoverage(slot->bitmap, glyph);
    if (glyph.width > 0 && glyph.height > 0) {
        glyph.originX = slot->bitmap_left;
        glyph.originY = slot->bitmap_top;
    }
    return glyph;
}

}
