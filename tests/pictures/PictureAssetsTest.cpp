// Checks the pictures the build painted, packed here as they are in the game.

#include "graphics/ImgDecoder.h"
#include "graphics/PackedDib.h"
#include "graphics/PictureCache.h"
#include "platform/Resources.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Icon.h"
#include "platform/window/IconFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string_view>

using namespace lumarra;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

struct PictureSize {
    int width;
    int height;
};

std::unique_ptr<Bitmap> LoadBitmap(uint32_t id)
{
    ResourceData data = FindResource(kResourceBitmap, id);
    return data ? PackedDibToBitmap({ data.data, data.size }) : nullptr;
}

// A sheet's pixels as 0xRRGGBB, whatever resource type holds it.
struct Sheet {
    int width = 0;
    int height = 0;
    std::function<uint32_t(int, int)> pixel;
};

Sheet LoadSheet(std::string_view type, uint32_t id)
{
    Sheet sheet;
    if (type == kResourceImg) {
        auto decoder = std::make_shared<ImgDecoder>();
        ResourceData data = FindResource(kResourceImg, id);
        auto info = std::make_shared<std::vector<uint8_t>>();
        uint32_t infoSize = 0;
        if (!data || !decoder->Parse({ data.data, data.size }) || !decoder->MakeInfo(*info, infoSize))
            return sheet;
        sheet.width = decoder->GetWidth();
        sheet.height = decoder->GetHeight();
        sheet.pixel = [decoder, info, w = sheet.width](int x, int y) {
            const uint8_t* entry = info->data() + 40 + 4 * decoder->GetIndices()[static_cast<size_t>(y) * w + x];
            return uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
        };
        return sheet;
    }
    std::shared_ptr<Bitmap> bitmap = LoadBitmap(id);
    if (!bitmap)
        return sheet;
    sheet.width = bitmap->GetWidth();
    sheet.height = bitmap->GetHeight();
    sheet.pixel = [bitmap](int x, int y) {
        COLORREF c = bitmap->GetPixel(x, y);
        return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
    };
    return sheet;
}

// Cells that hold a card, by deck.
std::set<int> CardCells(bool withN, bool kana)
{
    std::set<int> cells;
    for (int c = 1; c <= 51; ++c)
        if (c != 37 && c != 39 && c != 48 && !(kana && (c == 47 || c == 49)) && !(c == 51 && !withN))
            cells.insert(c);
    return cells;
}

struct DeckSheets {
    const char* name;
    std::string_view type;
    uint32_t large, table, small;
    std::set<int> cells;
    uint32_t cacheHeaderSize;  // N of the decoded IMG sheets
};

const DeckSheets kDecks[] = {
    { "edo", kResourceImg, 301, 300, 299, CardCells(true, false), 552 },
    { "kamigata", kResourceImg, 304, 303, 302, CardCells(true, false), 296 },
    { "owari", kResourceImg, 307, 306, 305, CardCells(false, false), 296 },
    { "aiueo", kResourceBitmap, 282, 280, 281, CardCells(true, true), 0 },
};

}

TEST(PictureAssets, EveryBitmapHasTheSizeItsScreenUses)
{
    const std::pair<uint32_t, PictureSize> sizes[] = {
        { 133, { 540, 130 } },
        { 135, { 325, 225 } },
        { 136, { 980, 600 } },
        { 137, { 980, 600 } },
        { 158, { 192, 32 } },
        { 170, { 530, 100 } },
        { 177, { 440, 215 } },
        { 178, { 210, 26 } },
        { 179, { 210, 26 } },
        { 205, { 150, 210 } },
        { 208, { 150, 210 } },
        { 214, { 349, 300 } },
        { 215, { 349, 300 } },
        { 217, { 150, 210 } },
        { 221, { 180, 600 } },
        { 239, { 400, 280 } },
        { 240, { 710, 270 } },
        { 269, { 20, 20 } },
        { 274, { 100, 30 } },
        { 275, { 100, 30 } },
        { 292, { 588, 138 } },
        { 293, { 588, 138 } },
        { 294, { 588, 138 } },
        { 295, { 588, 138 } },
        { 296, { 80, 160 } },
        { 297, { 160, 100 } },
        { 298, { 1000, 5100 } },
        { 310, { 150, 210 } },
        { 311, { 150, 210 } },
        { 312, { 150, 210 } },
        { 313, { 150, 210 } },
        { 314, { 96, 112 } },
        { 315, { 16, 32 } },
        { 280, { 640, 1980 } },
        { 281, { 250, 770 } },
        { 282, { 750, 2310 } },
    };
    for (const auto& [id, size] : sizes) {
        std::unique_ptr<Bitmap> bitmap = LoadBitmap(id);
        ASSERT_TRUE(bitmap) << "BITMAP " << id;
        EXPECT_EQ(bitmap->GetWidth(), size.width) << id;
        EXPECT_EQ(bitmap->GetHeight(), size.height) << id;
    }
    // Tiles and the stretched backdrop may have any size; the greeting is
    // centred on the stage and must fit on it.
    for (uint32_t id : { 171u, 173u, 316u, 267u }) {
        std::unique_ptr<Bitmap> bitmap = LoadBitmap(id);
        ASSERT_TRUE(bitmap) << id;
        EXPECT_GT(bitmap->GetWidth(), 0);
        EXPECT_LE(bitmap->GetWidth(), 980);
        EXPECT_LE(bitmap->GetHeight(), 600);
    }
}

TEST(PictureAssets, IconsAndCursorsHoldTheirImages)
{
    auto read16 = [](const ResourceData& d, size_t at) { return d.data[at] | d.data[at + 1] << 8; };
    for (auto [type, id, kind] : { std::tuple { kResourceIcon, 128u, 1 }, std::tuple { kResourceIcon, 244u, 1 },
             std::tuple { kResourceCursor, 139u, 2 }, std::tuple { kResourceCursor, 250u, 2 },
             std::tuple { kResourceCursor, 249u, 2 } }) {
        ResourceData data = FindResource(type, id);
        ASSERT_TRUE(data) << id;
        ASSERT_GE(data.size, 22u);
        EXPECT_EQ(read16(data, 2), kind) << id;
        int count = read16(data, 4);
        ASSERT_GE(count, 1);
        bool has32 = false;
        for (int i = 0; i < count; ++i) {
            size_t entry = 6 + 16 * static_cast<size_t>(i);
            ASSERT_LE(entry + 16, data.size);
            uint32_t bytes = data.data[entry + 8] | data.data[entry + 9] << 8 | data.data[entry + 10] << 16;
            uint32_t offset = data.data[entry + 12] | data.data[entry + 13] << 8 | data.data[entry + 14] << 16;
            EXPECT_LE(size_t(offset) + bytes, data.size);
            has32 = has32 || data.data[entry] == 32;
            if (kind == 2) {
                EXPECT_LT(read16(data, entry + 4), 32);  // hot spot inside the cursor
                EXPECT_LT(read16(data, entry + 6), 32);
            }
        }
        EXPECT_TRUE(has32) << id;
        // The window layer reads it back at the size it asks for.
        Point hot { -1, -1 };
        std::unique_ptr<Icon> icon = DecodeIconFile({ data.data, data.size }, kIconSize, &hot);
        ASSERT_TRUE(icon) << id;
        EXPECT_EQ(icon->GetWidth(), kIconSize) << id;
        if (kind == 2) {
            EXPECT_GE(hot.x, 0);
            EXPECT_LT(hot.x, kIconSize);
        }
    }
}

TEST(PictureAssets, SheetCellsHoldCardsOrBlack)
{
    const std::pair<uint32_t DeckSheets::*, PictureSize> sizes[] = { { &DeckSheets::large, { 150, 210 } },
        { &DeckSheets::table, { 128, 180 } }, { &DeckSheets::small, { 50, 70 } } };
    for (const DeckSheets& deck : kDecks)
        for (const auto& [member, cell] : sizes) {
            uint32_t id = deck.*member;
            Sheet sheet = LoadSheet(deck.type, id);
            ASSERT_EQ(sheet.width, cell.width * 5) << id;
            ASSERT_EQ(sheet.height, cell.height * 11) << id;
            for (int c = 1; c <= 55; ++c) {
                int x0 = (c - 1) % 5 * cell.width, y0 = (c - 1) / 5 * cell.height;
                std::set<uint32_t> colors;
                for (int y = 0; y < cell.height; y += 1)
                    for (int x = 0; x < cell.width; x += 1)
                        colors.insert(sheet.pixel(x0 + x, y0 + y));
                if (deck.cells.contains(c)) {
                    // A card: many colors (paper, frame, kana disc, picture).
                    EXPECT_GT(colors.size(), 8u) << deck.name << " sheet " << id << " cell " << c;
                    EXPECT_FALSE(colors.contains(kMagenta)) << id << " cell " << c;
                } else {
                    EXPECT_EQ(colors, std::set<uint32_t> { 0 }) << deck.name << " sheet " << id << " cell " << c;
                }
            }
        }
}

TEST(PictureAssets, ImgSheetsDecodeToTheirCacheFileSizes)
{
    char pattern[] = "/tmp/lumarra-pictures-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    setenv("LUMARRA_HOME", pattern, 1);
    for (const DeckSheets& deck : kDecks) {
        if (deck.type != kResourceImg)
            continue;
        for (uint32_t id : { deck.large, deck.table, deck.small }) {
            ASSERT_EQ(WritePictureCache(id), 1) << id;
            Sheet sheet = LoadSheet(kResourceImg, id);
            size_t stride = (static_cast<size_t>(sheet.width) + 3) / 4 * 4;
            char name[16];
            std::snprintf(name, sizeof name, "%08X.dat", id);
            EXPECT_EQ(fs::file_size(fs::path(pattern) / "Data" / name),
                4 + deck.cacheHeaderSize + stride * static_cast<size_t>(sheet.height))
                << id;
        }
    }
    // The example the game's documentation gives: 4 + 552 + 252 × 770.
    EXPECT_EQ(fs::file_size(fs::path(pattern) / "Data" / "0000012B.dat"), 4u + 552 + 252 * 770);
    unsetenv("LUMARRA_HOME");
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
}

TEST(PictureAssets, KanaSheetRowsHoldOneCellPerStrokeRecord)
{
    // Records per CardCode of the study screen's stroke table (0: no kana).
    constexpr int kRecords[52] = { 0, 7, 3, 4, 6, 6, 5, 6, 2, 3, 3, 5, 3, 5, 5, 6, 5, 5, 3, 4, 4, 7, 4, 8, 8, 5, 6, 5,
        5, 2, 7, 6, 6, 9, 6, 5, 5, 0, 8, 0, 5, 5, 4, 7, 6, 5, 7, 0, 0, 0, 7, 4 };
    std::unique_ptr<Bitmap> sheet = LoadBitmap(298);
    ASSERT_TRUE(sheet);
    auto blank = [&](int x, int y) { return (sheet->GetPixel(x, y) & 0xFFFFFF) == 0xFF00FF; };
    for (int code = 1; code <= 51; ++code) {
        int y0 = (code - 1) * 100, marked = 0;
        for (int k = 0; k < 10; ++k) {
            if (code == 1 && k == 9)
                continue;  // the writing box
            bool marks = false;
            for (int i = 1; i < 100 && !marks; ++i)
                marks = !blank(k * 100 + i, y0) || !blank(k * 100, y0 + i);
            marked += marks;
        }
        EXPECT_EQ(marked, kRecords[code]) << "CardCode " << code;
        if (kRecords[code]) {
            int finished = kRecords[code] * 100;
            bool ink = false;
            for (int y = 10; y < 90 && !ink; ++y)
                for (int x = 10; x < 90 && !ink; ++x)
                    ink = !blank(finished + x, y0 + y);
            EXPECT_TRUE(ink) << "CardCode " << code << " has no finished kana";
        }
    }
}

TEST(PictureAssets, TitleChoicesLieUnderTheirHotSpots)
{
    // Hot spots of the five choices, relative to the title picture at (230, 200).
    const int spots[5][2] = { { 0, 70 }, { 110, 70 }, { 210, 70 }, { 300, 90 }, { 430, 100 } };
    std::unique_ptr<Bitmap> title = LoadBitmap(170);
    ASSERT_TRUE(title);
    auto key = [&](int x, int y) { return (title->GetPixel(x, y) & 0xFFFFFF) == 0xFF00FF; };
    for (const auto& [x, w] : spots) {
        // Drawn across the middle of the spot, from a little inside each edge.
        for (int px = x + 4; px < x + w - 6; ++px)
            EXPECT_FALSE(key(px, 50)) << "choice at " << x << ", pixel " << px;
    }
    // See-through between the choices, so the background shows.
    for (int px : { 80, 100, 185, 290, 400, 420 })
        EXPECT_TRUE(key(px, 50)) << px;
}
