#include "platform/gdi/FontLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace lumarra {

std::shared_ptr<FreeTypeLibrary> FreeTypeLibrary::Create()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return nullptr;
    return std::shared_ptr<FreeTypeLibrary>(new FreeTypeLibrary(library));
}

FreeTypeLibrary::~FreeTypeLibrary()
{
    FT_Done_FreeType(m_library);
}

FontLibrary* FontLibrary::Get()
{
    static std::unique_ptr<FontLibrary> instance = []() -> std::unique_ptr<FontLibrary> {
        auto freeType = FreeTypeLibrary::Create();
        if (!freeType)
            return nullptr;
        return std::unique_ptr<FontLibrary>(new FontLibrary(std::move(freeType)));
    }();
    return instance.get();
}

std::shared_ptr<FontFace> FontLibrary::GetFace(const FontFaceKey& key)
{
    std::lock_guard guard(m_registryLock);
    for (auto it = m_faces.begin(); it != m_faces.end(); ++it) {
        if ((*it)->GetKey() == key) {
            m_faces.splice(m_faces.begin(), m_faces, it);
            return m_faces.front();
        }
    }
    auto face = FontFace::Open(m_freeType, key);
    if (!face)
        return nullptr;
    m_faces.push_front(face);
    if (m_faces.size() > kMaxOpenFaces)
        m_faces.pop_back();
    return face;
}

bool FontLibrary::GetDesign(const std::string& path, int index, FontFace::Design& design)
{
    std::lock_guard guard(m_registryLock);
    auto wanted = std::make_pair(path, index);
    for (const auto& [location, known] : m_designs) {
        if (location == wanted) {
            design = known;
            return true;
        }
    }
    if (!FontFace::ReadDesign(*m_freeType, path, index, design))
        return false;
    m_designs.emplace_back(wanted, design);
    return true;
}

}
