#include "tools/pictures/KanaSheet.h"

namespace lumarra {

KanaSheet::KanaSheet(const Recipe& recipe)
    : m_errors(recipe.errors)
{
}

Canvas KanaSheet::Paint() const
{
    return Canvas(kCell * kColumns, kCell * kRows);
}

bool KanaSheet::Write(const std::filesystem::path&, const std::filesystem::path&) const
{
    return false;
}

}
