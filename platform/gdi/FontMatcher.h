#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumarra {

// A font file and the face inside it.
struct FontLocation {
    std::string path;
    int index = 0;
    bool operator==(const FontLocation&) const = default;
};

// Finds the installed face that stands in for a Windows face name, through
// fontconfig. The Japanese Windows faces map to the IPA faces, the dialog
// faces to a proportional UI face, and any other name to fontconfig's best
// match among faces that cover Japanese. Results are cached; safe from any
// thread.
class FontMatcher {
public:
    // `faceName` is UTF-8. Empty when fontconfig finds nothing at all.
    static std::optional<FontLocation> Match(std::string_view faceName, int weight, bool italic);
    // The face that draws Japanese characters a matched face lacks.
    static std::optional<FontLocation> MatchJapaneseFallback();
    // The family fontconfig is asked for in place of `faceName`.
    static std::string_view SubstituteFamily(std::string_view faceName);
};

}
