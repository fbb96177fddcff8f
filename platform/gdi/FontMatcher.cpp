#include "platform/gdi/FontMatcher.h"

#include "platform/gdi/Font.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

namespace lumarra {

namespace {

struct Substitute {
    std::string_view windowsName;
    std::string_view family;
};

// The Windows faces the program names, and the installed families drawn in
// their place. The dialog faces get a proportional Latin face; Japanese
// characters then come from the fallback face.
constexpr Substitute kSubstitutes[] = {
    { "ＭＳ ゴシック", "IPAGothic" },
    { "MS Gothic", "IPAGothic" },
    { "ＭＳ 明朝", "IPAMincho" },
    { "MS Mincho", "IPAMincho" },
    { "ＭＳ Ｐゴシック", "IPAPGothic" },
    { "MS PGothic", "IPAPGothic" },
    { "MS UI Gothic", "IPAPGothic" },
    { "ＭＳ Ｐ明朝", "IPAPMincho" },
    { "MS PMincho", "IPAPMincho" },
    { "MS Shell Dlg", "DejaVu Sans" },
    { "MS Shell Dlg 2", "DejaVu Sans" },
    { "MS Sans Serif", "DejaVu Sans" },
    { "System", "DejaVu Sans" },
    { "", "DejaVu Sans" },
};

constexpr std::string_view kJapaneseFallbackFamily = "IPAPGothic";

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

std::optional<FontLocation> QueryFontconfig(const std::string& family, int weight, bool italic)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // Whatever the name, a face that can show Japanese wins over one that
    // cannot; a named family that is installed still comes first.
    FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcPatternAddBool(pattern.get(), FC_COLOR, FcFalse);
    if (weight > 0)
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
    if (italic)
        FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ITALIC);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return std::nullopt;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match)
        return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file)
        return std::nullopt;
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return FontLocation { reinterpret_cast<const char*>(file), index };
}

// Fontconfig's configuration is loaded on first use and released at exit,
// so that leak checks see everything it allocated given back.
struct FontconfigSession {
    FontconfigSession() { FcInit(); }
    ~FontconfigSession() { FcFini(); }
};

std::mutex cacheLock;
std::map<std::tuple<std::string, bool, bool>, std::optional<FontLocation>> cache;

// Windows compares face names without regard to case.
bool SameFaceName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}

std::string_view FontMatcher::SubstituteFamily(std::string_view faceName)
{
    for (const Substitute& substitute : kSubstitutes) {
        if (SameFaceName(substitute.windowsName, faceName))
            return substitute.family;
    }
    return faceName;
}

std::optional<FontLocation> FontMatcher::Match(std::string_view faceName, int weight, bool italic)
{
    // Only the bold/regular split picks a different file among the installed
    // faces; finer weights would just fill the cache.
    bool bold = weight > kFontWeightBoldRequest;
    std::string family(SubstituteFamily(faceName));
    auto key = std::make_tuple(family, bold, italic);
    static FontconfigSession session;
    std::lock_guard guard(cacheLock);
    auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    auto location = QueryFontconfig(family, bold ? kFontWeightBold : kFontWeightNormal, italic);
    cache.emplace(key, location);
    return location;
}

std::optional<FontLocation> FontMatcher::MatchJapaneseFallback()
{
    return Match(kJapaneseFallbackFamily, kFontWeightNormal, false);
}

}
