#include "tools/pictures/EmojiFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace lumarra {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kVariationFirst = 0xFE00;
constexpr char32_t kVariationLast = 0xFE0F;

std::string FindEmojiFile()
{
    std::string path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Noto Color Emoji"));
    if (!pattern)
        return path;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        FcBool color = FcFalse;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch
            && FcPatternGetBool(match, FC_COLOR, 0, &color) == FcResultMatch && color)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

}

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        char32_t cp = extra <= 0 ? lead : lead & (0x3F >> extra);
        bool good = extra >= 0 && i + extra < text.size();
        for (int k = 1; good && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            good = (next & 0xC0) == 0x80;
            cp = cp << 6 | (next & 0x3F);
        }
        out.push_back(good ? cp : kReplacement);
        i += good ? extra + 1 : 1;
    }
    return out;
}

std::unique_ptr<EmojiFont> EmojiFont::Open()
{
    std::string path = FindEmojiFile();
    return path.empty() ? nullptr : OpenFile(path);
}

std::unique_ptr<EmojiFont> EmojiFont::OpenFile(const std::string& path)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library))
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) || !FT_HAS_COLOR(face) || face->num_fixed_sizes < 1
        || FT_Select_Size(face, 0)) {
        if (face)
            FT_Done_Face(face);
        FT_Done_FreeType(library);
        return nullptr;
    }
    return std::unique_ptr<EmojiFont>(new EmojiFont(library, face));
}

EmojiFont::~EmojiFont()
{
    FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
}

std::optional<Canvas> EmojiFont::Render(std::string_view emoji)
{
    std::u32string points = DecodeUtf8(emoji);
    std::erase_if(points, [](char32_t c) { return c >= kVariationFirst && c <= kVariationLast; });
    if (points.size() != 1)
        return std::nullopt;
    char32_t cp = points[0];
    if (auto it = m_cache.find(cp); it != m_cache.end())
        return it->second;
    FT_UInt index = FT_Get_Char_Index(m_face, cp);
    if (!index || FT_Load_Glyph(m_face, index, FT_LOAD_COLOR))
        return std::nullopt;
    const FT_Bitmap& bitmap = m_face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_BGRA || bitmap.width == 0 || bitmap.rows == 0)
        return std::nullopt;
    Canvas canvas(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            // BGRA, already premultiplied.
            Canvas::Pixel& p = canvas.At(static_cast<int>(x), static_cast<int>(y));
            p.b = row[4 * x] / 255.0f;
            p.g = row[4 * x + 1] / 255.0f;
            p.r = row[4 * x + 2] / 255.0f;
            p.a = row[4 * x + 3] / 255.0f;
        }
    }
    return m_cache.emplace(cp, canvas.TrimmedToInk()).first->second;
}

}
