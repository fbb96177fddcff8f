// Writes the pictures the cache tests and benchmarks pack as resources:
//   make_img_test_sheets <folder>
// sheet<id>.img for every test sheet, bitmap280.dib, and three damaged IMG
// streams: broken400.img (a GIF signature), broken401.img (cut inside its
// image data) and broken402.img (a local color table).

#include "graphics/ImgEncoder.h"
#include "tests/img/ImgTestPictures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lumarra;
using namespace lumarra::test;

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_img_test_sheets <folder>\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (const TestSheet& sheet : kTestSheets) {
        IndexedPicture picture = MakeTestSheet(sheet);
        std::vector<uint8_t> stream;
        ok = ok && ImgEncoder::Encode(picture.width, picture.height, picture.indices, picture.colors, {}, stream)
            && WriteFile(folder / ("sheet" + std::to_string(sheet.id) + ".img"), stream);
    }
    ok = ok && WriteFile(folder / "bitmap280.dib", MakeTestBitmap());

    IndexedPicture small = MakeSheetPicture(50, 70, 16, 400);
    std::vector<uint8_t> stream;
    ok = ok && ImgEncoder::Encode(small.width, small.height, small.indices, small.colors, {}, stream);
    std::vector<uint8_t> gif = stream;
    SetSignature(gif, "GIF89a");
    std::vector<uint8_t> cut(stream.begin(), stream.end() - 40);
    std::vector<uint8_t> local = stream;
    local[13 + 3 * 16 + 9] |= 0x80;
    ok = ok && WriteFile(folder / "broken400.img", gif) && WriteFile(folder / "broken401.img", cut)
        && WriteFile(folder / "broken402.img", local);
    if (!ok)
        std::fprintf(stderr, "make_img_test_sheets: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
