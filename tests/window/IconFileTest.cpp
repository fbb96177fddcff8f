#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Icon.h"
#include "platform/window/IconFile.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace lumarra;

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, static_cast<uint16_t>(value));
    Put16(out, static_cast<uint16_t>(value >> 16));
}

// One 4-bit image of `side` × `side`: color index 1 (red) on the left half,
// 2 (blue) on the right, the mask transparent in the top row.
std::vector<uint8_t> Image(int side)
{
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(side));
    Put32(out, static_cast<uint32_t>(side * 2));
    Put16(out, 1);
    Put16(out, 4);
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
    const uint8_t table[16 * 4] = { 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0 };
    out.insert(out.end(), table, table + sizeof table);
    int stride = static_cast<int>(DibStride(4, side));
    for (int y = 0; y < side; ++y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < side; ++x) {
            uint8_t index = x < side / 2 ? 1 : 2;
            row[static_cast<size_t>(x / 2)] |= x % 2 ? index : static_cast<uint8_t>(index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    int maskStride = static_cast<int>(DibStride(1, side));
    for (int y = 0; y < side; ++y) {
        // Rows are stored bottom-up: the last one is the top row.
        uint8_t fill = y == side - 1 ? 0xFF : 0x00;
        out.insert(out.end(), static_cast<size_t>(maskStride), fill);
    }
    return out;
}

std::vector<uint8_t> File(uint16_t type, std::vector<int> sides, Point hotSpot = {})
{
    std::vector<std::vector<uint8_t>> images;
    for (int side : sides)
        images.push_back(Image(side));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<uint16_t>(sides.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * sides.size());
    for (size_t i = 0; i < sides.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sides[i]));
        out.push_back(static_cast<uint8_t>(sides[i]));
        out.push_back(16);
        out.push_back(0);
        Put16(out, type == 2 ? static_cast<uint16_t>(hotSpot.x) : 1);
        Put16(out, type == 2 ? static_cast<uint16_t>(hotSpot.y) : 4);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

}

TEST(IconFile, DecodesColorsAndMaskOfTheNearestSize)
{
    std::vector<uint8_t> file = File(1, { 16, 32, 48 });
    auto icon = DecodeIconFile(file, 32);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->GetWidth(), 32);
    EXPECT_EQ(icon->GetColor()->GetPixel(3, 5), RGB(255, 0, 0));
    EXPECT_EQ(icon->GetColor()->GetPixel(20, 5), RGB(0, 0, 255));
    EXPECT_EQ(icon->GetMask()->GetRaw(3, 0), 1u);
    EXPECT_EQ(icon->GetMask()->GetRaw(3, 1), 0u);

    EXPECT_EQ(DecodeIconFile(file, 20)->GetWidth(), 32);
    EXPECT_EQ(DecodeIconFile(file, 64)->GetWidth(), 48);
    EXPECT_EQ(DecodeIconFile(file, 1)->GetWidth(), 16);
}

TEST(IconFile, CursorsCarryTheirHotSpot)
{
    Point hotSpot;
    auto cursor = DecodeIconFile(File(2, { 32 }, { 5, 9 }), 32, &hotSpot);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(hotSpot, (Point { 5, 9 }));
}

TEST(IconFile, DamagedFilesGiveNothing)
{
    std::vector<uint8_t> file = File(1, { 16 });
    for (size_t cut = 0; cut < file.size(); ++cut)
        EXPECT_EQ(DecodeIconFile({ file.data(), cut }, 16), nullptr) << cut;

    auto damaged = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> copy = file;
        copy[at] = value;
        return DecodeIconFile(copy, 16);
    };
    EXPECT_EQ(damaged(2, 3), nullptr);      // neither icon nor cursor
    EXPECT_EQ(damaged(4, 0), nullptr);      // no images
    EXPECT_EQ(damaged(4, 200), nullptr);    // more entries than the file holds
    EXPECT_EQ(damaged(18, 0xF0), nullptr);  // image offset past the end
    // The image header starts at byte 22.
    EXPECT_EQ(damaged(22 + 14, 0), nullptr);  // 0 bits per pixel
    EXPECT_EQ(damaged(22 + 14, 7), nullptr);  // 7 bits per pixel
    EXPECT_EQ(damaged(22 + 8, 0), nullptr);   // no rows
    EXPECT_EQ(damaged(22 + 16, 1), nullptr);  // compressed
    EXPECT_EQ(damaged(22, 12), nullptr);      // header too short
}
