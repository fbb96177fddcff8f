#include "graphics/DibSurface.h"
#include "graphics/PackedDib.h"
#include "platform/NativePath.h"
#include "platform/gdi/BmpDecoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace lumarra {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr uint32_t kCardResource = 150;

// A scratch folder removed with the test.
class TempFolder {
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path() / ("lumarra_dib_" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::string Internal(const std::string& name) const { return ToInternalPath((m_path / name).string()); }
    std::string Native(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

bool MaskBit(const Bitmap& mask, int x, int y)
{
    return mask.GetRaw(x, y) != 0;
}

TEST(BitmapInfoTest, BuildsTheTableForEachDepth)
{
    struct Case {
        int depth;
        size_t bytes;
        uint32_t colorsUsed;
        uint32_t compression;
    };
    const Case cases[] = {
        { 1, 48, 2, BI_RGB },
        { 4, 104, 16, BI_RGB },
        { 8, 1064, 256, BI_RGB },
        { 16, 104, 65536, BI_BITFIELDS },
        { 24, 40, 16777216, BI_RGB },
    };
    for (const Case& c : cases) {
        std::unique_ptr<uint8_t[]> info;
        size_t bytes = 0;
        ASSERT_EQ(BuildBitmapInfo(c.depth, info, bytes, 7, 3), 1) << c.depth;
        BitmapInfoHeader header;
        std::memcpy(&header, info.get(), sizeof header);
        EXPECT_EQ(bytes, c.bytes) << c.depth;
        EXPECT_EQ(header.biClrUsed, c.colorsUsed) << c.depth;
        EXPECT_EQ(header.biCompression, c.compression) << c.depth;
        EXPECT_EQ(header.biHeight, 3);
        EXPECT_EQ(header.biBitCount, c.depth);
    }
    std::unique_ptr<uint8_t[]> info;
    size_t bytes = 0;
    ASSERT_EQ(BuildBitmapInfo(16, info, bytes, 1, 1), 1);
    uint32_t masks[3];
    std::memcpy(masks, info.get() + 40, sizeof masks);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
    ASSERT_EQ(BuildBitmapInfo(1, info, bytes, 1, 1), 1);
    EXPECT_EQ(info[40 + 4], 255);  // entry 1 white
    for (int depth : { 2, 3, 5, 7, 9, 15 })
        EXPECT_EQ(BuildBitmapInfo(depth, info, bytes, 1, 1), 0) << depth;
}

TEST(DibStorageTest, BlankTwentyFourBitSurface)
{
    DibSurface surface(24, 150, 210, kNoColor);
    ASSERT_TRUE(surface.IsValid());
    EXPECT_EQ(surface.GetBitmapDesc().bmWidthBytes, 452);
    EXPECT_EQ(surface.GetImageSize(), 94920u);
    EXPECT_EQ(surface.GetColorCount(), 16777216);
    ASSERT_TRUE(surface.GetPalette());
    EXPECT_EQ(surface.GetPalette()->GetCount(), 256u);
    EXPECT_EQ(surface.GetStorageFlags(), "CREATE_BITMAP|ALLOC_INFO");
    size_t size = 0;
    EXPECT_EQ(surface.GetBits(&size), surface.GetPixelAddress(0, 209));
    EXPECT_EQ(size, 94920u);
}

TEST(DibStorageTest, BlankIndexedAndSixteenBitSurfacesGetTheirPalettes)
{
    DibSurface indexed(8, 5, 5, kNoColor);
    ASSERT_TRUE(indexed.GetPalette());
    EXPECT_EQ(indexed.GetPalette()->GetCount(), 256u);
    EXPECT_EQ(indexed.GetPalette()->Entry(8).peGreen, 220);
    DibSurface sixteen(16, 5, 5, kNoColor);
    EXPECT_EQ(sixteen.GetBitmap()->GetRedMask(), 0xF800u);
    EXPECT_EQ(sixteen.GetPalette()->GetCount(), 256u);
    DibSurface bad(12, 5, 5, kNoColor);
    EXPECT_FALSE(bad.IsValid());
}

TEST(DibStorageTest, TopDownInfoIsStoredPositiveAndAddressedTheRightWayUp)
{
    std::unique_ptr<uint8_t[]> info;
    size_t bytes = 0;
    ASSERT_EQ(BuildBitmapInfo(24, info, bytes, 2, 2), 1);
    reinterpret_cast<BitmapInfoHeader*>(info.get())->biHeight = -2;
    // Memory rows: top row red, red; bottom row blue, blue.
    const uint8_t pixels[16] = { 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0 };
    DibSurface surface;
    ASSERT_EQ(surface.CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.get()), pixels, kBlue), 1);
    EXPECT_EQ(surface.GetInfo()->bmiHeader.biHeight, 2);
    EXPECT_EQ(surface.GetPixel(0, 0), kRed);
    EXPECT_EQ(surface.GetPixelAddress(0, 0), surface.GetBits());
    // The key's pixels are the bottom row, and so is the mask's white row.
    ASSERT_TRUE(surface.GetMask());
    EXPECT_TRUE(MaskBit(*surface.GetMask(), 0, 1));
    EXPECT_FALSE(MaskBit(*surface.GetMask(), 0, 0));
    EXPECT_EQ(surface.GetPixel(1, 1), kBlack);
}

TEST(DibStorageTest, CreateFromInfoRejectsHeadersLargerThanItsBlock)
{
    std::vector<uint8_t> info(2000, 0);
    BitmapInfoHeader header { 40, 2, 2, 1, 8, BI_RGB, 0, 0, 0, 400, 0 };
    std::memcpy(info.data(), &header, sizeof header);
    DibSurface surface;
    EXPECT_EQ(surface.CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.data()), nullptr, kNoColor), 0);
    EXPECT_FALSE(surface.IsValid());
}

TEST(DibStorageTest, MasksForEveryDepthMarkTheKeyAndBlackenIt)
{
    for (int depth : { 4, 8, 16, 24, 32 }) {
        DibSurface surface(depth, 11, 3, kNoColor);
        surface.BeginDraw();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                surface.SetPixelV(x, y, (x + y) % 3 == 0 ? kMagenta : kGreen);
        surface.EndDraw();
        surface.SetTransparentColor(kMagenta);
        const Bitmap* mask = surface.GetMask();
        ASSERT_TRUE(mask) << depth;
        EXPECT_EQ(mask->GetBitsPerPixel(), 1);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 11; ++x) {
                bool key = (x + y) % 3 == 0;
                EXPECT_EQ(MaskBit(*mask, x, y), key) << depth << " at " << x << "," << y;
                EXPECT_EQ(surface.GetPixel(x, y), key ? kBlack : kGreen) << depth << " at " << x << "," << y;
            }
        }
        surface.SetTransparentColor(kNoColor);
        EXPECT_FALSE(surface.GetMask()) << depth;
    }
}

TEST(DibStorageTest, SixteenBitKeysMatchAfterFiveSixFiveRounding)
{
    DibSurface surface(16, 2, 1, kNoColor);
    surface.SetPixelV(0, 0, RGB(0xFF, 0x00, 0xFF));
    surface.SetPixelV(1, 0, RGB(0xFF, 0x04, 0xFF));  // differs in the kept green bits
    surface.SetTransparentColor(RGB(0xFA, 0x03, 0xFC));
    ASSERT_TRUE(surface.GetMask());
    EXPECT_TRUE(MaskBit(*surface.GetMask(), 0, 0));
    EXPECT_FALSE(MaskBit(*surface.GetMask(), 1, 0));
}

TEST(DibStorageTest, RegionsCoverEveryPixelThatIsNotTheKey)
{
    DibSurface surface(24, 6, 4, kNoColor);
    surface.FillSolidRect(0, 0, 6, 4, kWhite);
    auto full = surface.CreateRegion(kMagenta);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->GetArea(), 24);
    EXPECT_EQ(full->GetBounds(), (Rect { 0, 0, 6, 4 }));
    auto none = surface.CreateRegion(kWhite);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->IsEmpty());
    surface.FillSolidRect(2, 1, 2, 2, kMagenta);
    surface.SetRegionKey(kMagenta);
    auto holed = surface.CreateRegion(kNoColor);
    EXPECT_EQ(holed->GetArea(), 20);
    EXPECT_FALSE(holed->Contains(2, 1));
    EXPECT_TRUE(holed->Contains(4, 1));
}

TEST(DibStorageTest, ReleaseLeavesAnAttachedBitmapToItsOwner)
{
    DibSurface owner(24, 4, 4, kNoColor);
    std::unique_ptr<Bitmap> bitmap = owner.Detach();
    ASSERT_TRUE(bitmap);
    EXPECT_FALSE(owner.IsValid());
    {
        DibSurface borrower(bitmap.get(), kNoColor);
        EXPECT_EQ(borrower.GetStorageFlags(), "ATTACH_BITMAP|ALLOC_INFO");
        borrower.SetPixelV(1, 1, kRed);
        EXPECT_FALSE(borrower.Detach());  // not the surface's to hand over
    }
    bitmap->SetPixel(2, 2, kBlue);
    EXPECT_EQ(bitmap->GetPixel(1, 1), kRed);
    EXPECT_EQ(bitmap->GetPixel(2, 2), kBlue);
}

TEST(DibStorageTest, ReloadingFreesExactlyWhatEachStorageOwned)
{
    // One surface passes through every kind of storage; what it borrowed
    // stays with its owner, and what it made is freed once (the sanitizer
    // build reports a leak or a second free).
    DibSurface owner(24, 3, 2, kNoColor);
    owner.SetPixelV(0, 0, kGreen);
    TempFolder folder;
    std::string saved = folder.Internal("kept.bmp");
    ASSERT_EQ(owner.SaveToFile(saved), 1);
    std::vector<uint8_t> dib = BitmapToPackedDib(*owner.GetBitmap());

    DibSurface surface(8, 5, 5, kWhite);
    ASSERT_TRUE(surface.GetMask());
    ASSERT_EQ(surface.AttachBitmap(owner.GetBitmap(), kNoColor), 1);
    EXPECT_FALSE(surface.GetMask());
    EXPECT_EQ(surface.GetStorageFlags(), "ATTACH_BITMAP|ALLOC_INFO");
    ASSERT_EQ(surface.LoadFromResource(kCardResource, kMagenta), 1);
    EXPECT_TRUE(surface.GetMask());
    EXPECT_EQ(owner.GetPixel(0, 0), kGreen);
    ASSERT_EQ(surface.AttachBitmap(owner.GetBitmap(), kNoColor), 1);
    ASSERT_EQ(surface.AttachBitmap(std::span<const uint8_t>(dib), kNoColor), 1);
    EXPECT_EQ(surface.GetStorageFlags(), "CREATE_BITMAP|ALLOC_INFO");
    ASSERT_EQ(surface.LoadFromFile(saved, kGreen), 1);
    EXPECT_EQ(surface.GetStorageFlags(), saved + "|ALLOC_INFO|LOAD_FILE");
    EXPECT_EQ(surface.GetPixel(0, 0), kBlack);  // the key, blackened
    std::unique_ptr<Bitmap> handed = surface.Detach();
    ASSERT_TRUE(handed);
    EXPECT_EQ(handed->GetWidth(), 3);
    EXPECT_FALSE(surface.IsValid());
    EXPECT_EQ(surface.GetInfo(), nullptr);
    EXPECT_TRUE(surface.GetStorageFlags().empty());
    EXPECT_EQ(owner.GetPixel(0, 0), kGreen);
}

TEST(DibStorageTest, AttachingAPackedDibMakesADeviceBitmapTheSurfaceOwns)
{
    DibSurface source(24, 3, 2, kNoColor);
    source.SetPixelV(2, 1, kRed);
    std::vector<uint8_t> dib = BitmapToPackedDib(*source.GetBitmap());
    DibSurface surface;
    ASSERT_EQ(surface.AttachBitmap(std::span<const uint8_t>(dib), kNoColor), 1);
    EXPECT_EQ(surface.GetStorageFlags(), "CREATE_BITMAP|ALLOC_INFO");
    EXPECT_EQ(surface.GetBits(), nullptr);
    EXPECT_EQ(surface.GetPixel(2, 1), kRed);
    dib.resize(dib.size() - 1);
    EXPECT_EQ(surface.AttachBitmap(std::span<const uint8_t>(dib), kNoColor), 0);
    EXPECT_FALSE(surface.IsValid());
}

TEST(DibStorageTest, CreateFromPackedDibChecksTheBlockHoldsEveryRow)
{
    std::unique_ptr<uint8_t[]> info;
    size_t bytes = 0;
    ASSERT_EQ(BuildBitmapInfo(8, info, bytes, 4, 4), 1);
    std::vector<uint8_t> dib(info.get(), info.get() + bytes);
    dib.resize(bytes + 16, 249);  // every pixel index 249
    DibSurface surface;
    ASSERT_EQ(surface.CreateFromPackedDib(dib, kNoColor), 1);
    EXPECT_EQ(surface.GetBitmap()->GetRaw(3, 3), 249u);
    dib.pop_back();
    EXPECT_EQ(surface.CreateFromPackedDib(dib, kNoColor), 0);
}

TEST(DibStorageTest, HostilePackedDibHeadersFailOrStayInsideTheirBlock)
{
    // Sizes whose pixel count overflows any integer.
    std::vector<uint8_t> dib(64, 0);
    BitmapInfoHeader header { 40, 0x6F6F6F6F, 0x6F6F6F6F, 1, 24, BI_RGB, 0, 0, 0, 0, 0 };
    std::memcpy(dib.data(), &header, sizeof header);
    DibSurface surface;
    EXPECT_EQ(surface.CreateFromPackedDib(dib, kNoColor), 0);

    // A 24-bit header claiming a 256-color table it does not carry: the
    // palette reads only what the header block holds.
    header = { 48, 1, 1, 1, 24, BI_RGB, 0, 0, 0, 256, 0 };
    dib.assign(48 + 4, 0xDB);
    std::memcpy(dib.data(), &header, sizeof header);
    ASSERT_EQ(surface.CreateFromPackedDib(dib, kNoColor), 1);
    ASSERT_TRUE(surface.GetPalette());
    EXPECT_EQ(surface.GetPalette()->GetCount(), 256u);
}

TEST(DibStorageTest, LoadsBitmapResourcesWithoutOwningTheirHeader)
{
    DibSurface surface(kCardResource, kMagenta);
    ASSERT_TRUE(surface.IsValid());
    EXPECT_EQ(surface.GetStorageFlags(), "RESOURCE_BITMAP");
    EXPECT_EQ(surface.GetWidth(), 3);
    EXPECT_EQ(surface.GetPixel(0, 0), kRed);
    EXPECT_EQ(surface.GetPixel(2, 0), kBlue);
    EXPECT_EQ(surface.GetPixel(2, 1), kBlack);  // the magenta key
    const BitmapInfo* header = surface.GetInfo();
    surface.Release();
    EXPECT_FALSE(surface.IsValid());
    EXPECT_EQ(header->bmiHeader.biWidth, 3);  // still readable: it lives in the program
    EXPECT_EQ(surface.LoadFromResource(std::string_view("#150"), kNoColor), 1);
    EXPECT_EQ(surface.LoadFromResource(9999, kNoColor), 0);
    EXPECT_FALSE(surface.IsValid());
}

TEST(DibStorageTest, LoadFromFileRefusesWhatIsNotABitmap)
{
    TempFolder folder;
    std::ofstream(folder.Native("notes.txt")) << "BM but only a text file with a short story in it.\n";
    DibSurface surface(24, 4, 4, kNoColor);
    EXPECT_EQ(surface.LoadFromFile(folder.Internal("notes.txt"), kNoColor), 0);
    EXPECT_FALSE(surface.IsValid());
    EXPECT_EQ(surface.GetInfo(), nullptr);
    EXPECT_TRUE(surface.GetStorageFlags().empty());
    EXPECT_EQ(surface.LoadFromFile(folder.Internal("missing.bmp"), kNoColor), 0);
}

TEST(DibStorageTest, LoadedHeadersDescribeThePixelsTheSurfaceHolds)
{
    TempFolder folder;
    // A core header, 2 × 1 at one bit, and a top-down 24-bit info header.
    const uint8_t core[] = { 'B', 'M', 36, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0, 0, 0,
        255, 255, 0, 0, 0x40, 0, 0, 0 };
    const uint8_t topDown[] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                                        // file header
        40, 0, 0, 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0,                          // 1 × -2, 24 bits
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0,  // top row: red
        0, 0, 0, 0,                                                                            // bottom row: black
    };
    std::ofstream(folder.Native("core.bmp"), std::ios::binary).write(reinterpret_cast<const char*>(core), sizeof core);
    std::ofstream(folder.Native("down.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(topDown), sizeof topDown);

    DibSurface surface;
    ASSERT_EQ(surface.LoadFromFile(folder.Internal("core.bmp"), kNoColor), 1);
    EXPECT_EQ(surface.GetInfo()->bmiHeader.biSize, 40u);
    EXPECT_EQ(surface.GetImageSize(), 4u);
    EXPECT_EQ(surface.GetPixel(0, 0), kRed);
    EXPECT_EQ(surface.GetPixel(1, 0), kBlue);

    ASSERT_EQ(surface.LoadFromFile(folder.Internal("down.bmp"), kNoColor), 1);
    EXPECT_EQ(surface.GetImageSize(), 8u);
    EXPECT_EQ(surface.GetPixel(0, 0), kRed);
    EXPECT_EQ(surface.GetPixel(0, 1), kBlack);
}

// A .bmp file written byte by byte: 40-byte header, `palette` entries, then
// `rows` (already padded) in the order `topDown` says.
std::vector<uint8_t> HandMadeBmp(int width, int height, int depth, bool topDown,
    const std::vector<std::array<uint8_t, 4>>& palette, const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> file;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    uint32_t imageBytes = static_cast<uint32_t>(rows.size() * rows[0].size());
    put('B' | ('M' << 8), 2);
    put(offset + imageBytes, 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(topDown ? -height : height), 4);
    put(1, 2);
    put(static_cast<uint32_t>(depth), 2);
    put(0, 4);
    put(imageBytes, 4);
    put(0, 4);
    put(0, 4);
    put(static_cast<uint32_t>(palette.size()), 4);
    put(0, 4);
    for (const auto& entry : palette)
        file.insert(file.end(), entry.begin(), entry.end());
    for (const auto& row : rows)
        file.insert(file.end(), row.begin(), row.end());
    return file;
}

// The first byte of picture row `y` as the surface's own header places it.
const uint8_t* RowByHeader(const DibSurface& surface, int y)
{
    const BitmapInfoHeader& header = surface.GetInfo()->bmiHeader;
    int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    int memoryRow = header.biHeight < 0 ? y : height - 1 - y;
    return surface.GetBits() + static_cast<size_t>(memoryRow) * DibStride(header.biBitCount, header.biWidth);
}

TEST(DibStorageTest, LoadedHeadersGiveTheRowOrderOfTheBits)
{
    TempFolder folder;
    // Picture rows from the top: red, green, blue (24 bits, 2 wide, padded
    // to 8 bytes).
    const std::vector<uint8_t> red = { 0, 0, 255, 0, 0, 255, 0, 0 };
    const std::vector<uint8_t> green = { 0, 255, 0, 0, 255, 0, 0, 0 };
    const std::vector<uint8_t> blue = { 255, 0, 0, 255, 0, 0, 0, 0 };
    // The same picture at 8 bits through a three-color table.
    const std::vector<std::array<uint8_t, 4>> table = { { 0, 0, 255, 0 }, { 0, 255, 0, 0 }, { 255, 0, 0, 0 } };
    struct Case {
        const char* name;
        int depth;
        bool topDown;
        std::vector<std::array<uint8_t, 4>> palette;
        std::vector<std::vector<uint8_t>> rows;
    };
    const Case cases[] = {
        { "down24.bmp", 24, true, {}, { red, green, blue } },
        { "up24.bmp", 24, false, {}, { blue, green, red } },
        { "down8.bmp", 8, true, table, { { 0, 0, 0, 0 }, { 1, 1, 0, 0 }, { 2, 2, 0, 0 } } },
    };
    const COLORREF picture[3] = { kRed, kGreen, kBlue };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = HandMadeBmp(2, 3, c.depth, c.topDown, c.palette, c.rows);
        std::ofstream(folder.Native(c.name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        DibSurface surface;
        ASSERT_EQ(surface.LoadFromFile(folder.Internal(c.name), kNoColor), 1) << c.name;
        EXPECT_EQ(surface.GetInfo()->bmiHeader.biHeight, c.topDown ? -3 : 3) << c.name;
        EXPECT_EQ(surface.GetImageSize(), c.rows.size() * c.rows[0].size()) << c.name;
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(surface.GetPixel(0, y), picture[y]) << c.name << " row " << y;
            EXPECT_EQ(surface.GetPixelAddress(0, y), RowByHeader(surface, y)) << c.name << " row " << y;
            if (c.depth == 24) {
                const uint8_t* p = RowByHeader(surface, y);
                EXPECT_EQ(RGB(p[2], p[1], p[0]), picture[y]) << c.name << " row " << y;
            } else {
                const PaletteEntry& entry = surface.GetPalette()->Entry(*RowByHeader(surface, y));
                EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), picture[y]) << c.name << " row " << y;
            }
        }
    }
}

TEST(DibStorageTest, SavedFilesReadBackIdenticalAtEveryDepth)
{
    TempFolder folder;
    for (int depth : { 1, 4, 8, 16, 24, 32 }) {
        DibSurface original(depth, 13, 7, kNoColor);
        original.BeginDraw();
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                original.SetPixelV(x, y,
                    RGB(static_cast<uint8_t>(x * 19), static_cast<uint8_t>(y * 37),
                        static_cast<uint8_t>((x * y) % 256)));
        original.EndDraw();
        std::string path = folder.Internal("saved" + std::to_string(depth) + ".bmp");
        ASSERT_EQ(original.SaveToFile(path), 1) << depth;

        DibSurface loaded;
        ASSERT_EQ(loaded.LoadFromFile(path, kNoColor), 1) << depth;
        EXPECT_EQ(loaded.GetBitmap()->GetBitsPerPixel(), depth);
        EXPECT_EQ(loaded.GetStorageFlags(), path + "|ALLOC_INFO|LOAD_FILE");
        EXPECT_EQ(loaded.GetImageSize(), original.GetImageSize());
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(loaded.GetPixel(x, y), original.GetPixel(x, y)) << depth << " at " << x << "," << y;

        size_t size = 0;
        std::vector<uint8_t> image = original.ToFileImage(&size);
        EXPECT_EQ(size, image.size());
        EXPECT_EQ(image[0], 'B');
        uint32_t offset;
        std::memcpy(&offset, image.data() + 10, 4);
        EXPECT_EQ(image.size() - offset, original.GetImageSize()) << depth;
    }
}

}
}
