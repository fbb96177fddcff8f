#pragma once

#include "tools/pictures/Canvas.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace lumarra {

// The color emoji face (a bitmap-strike font): each emoji is loaded as its
// color bitmap at the face's one strike and handed out as a canvas, which
// callers scale to the size they draw at. Single code points only; variation
// selectors are dropped before lookup.
class EmojiFont {
public:
    // Finds the face through fontconfig; null when it is not installed or is
    // not a color face.
    static std::unique_ptr<EmojiFont> Open();
    static std::unique_ptr<EmojiFont> OpenFile(const std::string& path);
    ~EmojiFont();
    EmojiFont(const EmojiFont&) = delete;
    EmojiFont& operator=(const EmojiFont&) = delete;

    // The picture of `emoji` (one character, UTF-8), trimmed to its ink;
    // nullopt when the face has no glyph for it.
    std::optional<Canvas> Render(std::string_view emoji);

private:
    EmojiFont(FT_LibraryRec_* library, FT_FaceRec_* face)
        : m_library(library)
        , m_face(face)
    {
    }

    FT_LibraryRec_* m_library;
    FT_FaceRec_* m_face;
    std::map<char32_t, Canvas> m_cache;
};

// Code points of a UTF-8 text; malformed bytes become U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

}
