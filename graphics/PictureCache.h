#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumarra {

class DibSurface;

// Added to a sheet's id to name its tinted copy ("Data\F000012C.dat" for 300).
inline constexpr uint32_t kTintedPictureFlag = 0xF0000000;

// The card sheets are "IMG" resources decoded once into "Data\%08X.dat" in
// the program folder: the header size N (4 bytes), the BITMAPINFO (N bytes)
// and the pixel rows exactly as it describes them. The low 16 bits of an id
// name the IMG resource the file is decoded from.

// "<program folder>\Data\<id as eight upper-case hex digits>.dat".
std::string GetPictureCachePath(uint32_t id);

// Decodes IMG resource (id & 0xFFFF) and writes its cache file whole under a
// temporary name before renaming it into place. 0, with nothing written,
// when the resource is missing or damaged or the file cannot be written.
int WritePictureCache(uint32_t id);

// Fills `surface` with the picture at 16 bits per pixel (RGB 5-6-5), from its
// cache file when that is whole, else decoded afresh from the resource (and
// the cache file rewritten). 0, with `surface` untouched, when there is
// neither. A tinted id without its file gives the untinted picture.
int LoadPicture(DibSurface& surface, uint32_t id);

// Writes the cache file `cacheId` as a 24-bit copy of BITMAP resource
// `resourceId`, or of the picture `imgId`, with each channel shifted by the
// given amounts and clamped to 0..255.
int BuildTintedBitmapCache(uint32_t resourceId, uint32_t cacheId, int red, int green, int blue);
int BuildTintedImgCache(uint32_t imgId, uint32_t cacheId, int red, int green, int blue);

// A cache file that could not be written, and why (an errno value).
struct PictureCacheFailure {
    std::string path;
    int error;
};

// Removes what killed cache writes left in the Data folder, then writes every
// cache file the game uses: the nine deck sheets, largest first, then the
// four tinted table-size sheets. 1 when all were written. Each file that
// could not be written is added to `failures`; a picture the program does not
// carry is skipped there.
int PrebuildPictureCache(std::vector<PictureCacheFailure>* failures = nullptr);

}
