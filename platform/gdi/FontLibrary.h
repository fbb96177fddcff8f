#pragma once

#include "platform/gdi/FontFace.h"

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

struct FT_LibraryRec_;

namespace lumarra {

// The FreeType library handle. FreeType requires face creation and
// destruction to be serialised per library; rendering into distinct faces may
// run in parallel. Every open face holds a reference, so the handle outlives
// all of them.
class FreeTypeLibrary {
public:
    // Null when FreeType cannot start.
    static std::shared_ptr<FreeTypeLibrary> Create();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_LibraryRec_* GetHandle() const { return m_library; }
    std::mutex& GetFaceLifetimeLock() { return m_faceLifetimeLock; }

private:
    explicit FreeTypeLibrary(FT_LibraryRec_* library)
        : m_library(library)
    {
    }

    FT_LibraryRec_* m_library;
    std::mutex m_faceLifetimeLock;
};

// The sized faces opened so far. Faces stay open after their last font is
// deleted, so that a font made for one call finds its glyphs already
// rendered; the least recently used ones are dropped once more than
// kMaxOpenFaces are open (fonts still using them keep them alive).
class FontLibrary {
public:
    static constexpr size_t kMaxOpenFaces = 24;

    // Null when FreeType cannot start.
    static FontLibrary* Get();

    std::shared_ptr<FontFace> GetFace(const FontFaceKey& key);
    bool GetDesign(const std::string& path, int index, FontFace::Design& design);

private:
    explicit FontLibrary(std::shared_ptr<FreeTypeLibrary> freeType)
        : m_freeType(std::move(freeType))
    {
    }

    std::shared_ptr<FreeTypeLibrary> m_freeType;
    std::mutex m_registryLock;
    std::list<std::shared_ptr<FontFace>> m_faces;  // most recently used first
    std::list<std::pair<std::pair<std::string, int>, FontFace::Design>> m_designs;
};

}
