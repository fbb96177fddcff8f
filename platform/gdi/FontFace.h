#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumarra {

class FreeTypeLibrary;

// One rendered character. The black box is `width` × `height` pixels; its
// top-left corner lies `originX` right of the pen and `originY` above the
// baseline. `coverage` holds FreeType's 256 levels, `gray65` the 65 levels
// (0..64) of a GGO_GRAY8_BITMAP, rows padded to `gray65Pitch` bytes. Both are
// top row first.
struct Glyph {
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
    int advance = 0;
    bool missing = false;
    std::vector<uint8_t> coverage;
    int gray65Pitch = 0;
    std::vector<uint8_t> gray65;

    uint8_t CoverageAt(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

// Everything that selects one rendering of a face.
struct FontFaceKey {
    std::string path;
    int index = 0;
    int pixelWidth = 0;   // horizontal pixels per em
    int pixelHeight = 0;  // vertical pixels per em
    bool embolden = false;
    bool slant = false;

    bool operator==(const FontFaceKey&) const = default;
};

// Sizes of a face at its pixel size, in whole pixels (TEXTMETRIC rounding).
struct FontFaceMetrics {
    int ascent = 0;
    int descent = 0;
    int emHeight = 0;
    int lineGap = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePosition = 0;
    int strikeOutPosition = 0;
    int decorationThickness = 1;
    int weight = 0;
};

// One FreeType face at one size with its glyph cache. Lookups of cached glyphs
// run in parallel; rendering a new one takes the face's own lock because an
// FT_Face serves one thread at a time.
class FontFace {
public:
    // Null when the file cannot be opened as a scalable face.
    static std::shared_ptr<FontFace> Open(std::shared_ptr<FreeTypeLibrary> library, const FontFaceKey& key);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontFaceKey& GetKey() const { return m_key; }
    const FontFaceMetrics& GetMetrics() const { return m_metrics; }
    // Cached after the first call; the reference stays valid for the face's
    // life. A character the face lacks gives its missing-glyph box, marked
    // `missing`.
    const Glyph& GetGlyph(char32_t codePoint);

    // Scale factors from font units: what a caller needs to turn a wanted
    // cell height or average width into pixels per em before opening a face.
    struct Design {
        int unitsPerEm = 0;
        int cellUnits = 0;      // Windows ascent + descent
        int aveWidthUnits = 0;  // OS/2 average width, or an estimate
        int weight = 0;
        bool bold = false;
        bool italic = false;
    };
    static bool ReadDesign(FreeTypeLibrary& library, const std::string& path, int index, Design& design);

private:
    struct Impl;
    FontFace(std::shared_ptr<FreeTypeLibrary> library, const FontFaceKey& key, std::unique_ptr<Impl> impl);
    Glyph Render(char32_t codePoint);

    std::shared_ptr<FreeTypeLibrary> m_library;
    FontFaceKey m_key;
    FontFaceMetrics m_metrics;
    std::unique_ptr<Impl> m_impl;
    std::mutex m_faceLock;
    mutable std::shared_mutex m_cacheLock;
    std::unordered_map<char32_t, Glyph> m_glyphs;
};

}
