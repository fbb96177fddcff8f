#include "tools/pictures/KanaSheet.h"
#include "tools/pictures/PictureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace lumarra;

namespace {

constexpr int kWidth = KanaSheet::kCell * KanaSheet::kColumns;

std::string SourcePath(const std::string& relative)
{
    const char* root = std::getenv("LUMARRA_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}

bool HasError(const KanaSheet& sheet, const std::string& part)
{
    return std::any_of(sheet.GetErrors().begin(), sheet.GetErrors().end(),
        [&](const std::string& e) { return e.find(part) != std::string::npos; });
}

uint32_t At(const std::vector<uint32_t>& sheet, int x, int y)
{
    return sheet[static_cast<size_t>(y) * kWidth + x];
}

// Marked positions 1..99 of a cell's top row (horizontal) or left column.
std::vector<int> Marks(const std::vector<uint32_t>& sheet, int cellX, int cellY, bool horizontal)
{
    std::vector<int> marks;
    for (int i = 1; i < KanaSheet::kCell; ++i)
        if ((horizontal ? At(sheet, cellX + i, cellY) : At(sheet, cellX, cellY + i)) != kKeyMagenta)
            marks.push_back(i);
    return marks;
}

bool HasInk(const std::vector<uint32_t>& sheet, int cellX, int cellY)
{
    for (int y = 1; y < KanaSheet::kCell; ++y)
        for (int x = 1; x < KanaSheet::kCell; ++x)
            if (At(sheet, cellX + x, cellY + y) != kKeyMagenta)
                return true;
    return false;
}

}

TEST(KanaSheet, RecordsMustMatchTheStrokeTable)
{
    auto check = [](const std::string& text) { return KanaSheet(Recipe::Parse(text)); };
    EXPECT_TRUE(HasError(check("kana 8 く\nD 64,12 30,48\n"), "1 records, the stroke table has 2"));
    EXPECT_TRUE(HasError(check("kana 8 く\nR 20,12 30,48\nD 30,48 68,86\n"), "record 0 is R, the table says D"));
    EXPECT_TRUE(HasError(check("kana 2 い\nD 26,24 32,80\nU 32,80 40,70\n+D 70,30 82,64\n"), "record 1 is U"));
    EXPECT_TRUE(HasError(check("kana 8 く\nD 64,60 30,12\nD 30,48 68,86\n"), "runs against its direction"));
    EXPECT_TRUE(HasError(check("kana 8 く\nD 3,3 30,48\nD 30,48 68,86\n"), "bad point 3,3"));
    // A record left without a single good point is reported, not followed.
    EXPECT_TRUE(HasError(check("kana 8 く\nD 3,3\nD 30,48 68,86\n"), "a record needs a path"));
    EXPECT_TRUE(HasError(check("D 30,48 68,86\n"), "expected a kana line"));
    EXPECT_TRUE(HasError(check("kana 37 x\n"), "CardCode of a kana button"));
    // Every kana of the table needs its strokes.
    EXPECT_TRUE(HasError(check("kana 8 く\nD 64,12 30,48\nD 30,48 68,86\n"), "kana 51 has no strokes"));
}

TEST(KanaSheet, CellsBuildTheKanaRecordByRecord)
{
    std::optional<Recipe> recipe = Recipe::Load(SourcePath("resources/kana/strokes.txt"));
    ASSERT_TRUE(recipe);
    KanaSheet sheet(*recipe);
    ASSERT_TRUE(sheet.GetErrors().empty()) << sheet.GetErrors().front();
    ASSERT_EQ(sheet.GetKanas().size(), 46u);
    std::vector<uint32_t> pixels = sheet.Paint();

    // The empty writing box, whole and with no blank pixel.
    for (int y = 0; y < KanaSheet::kCell; ++y)
        for (int x = 0; x < KanaSheet::kCell; ++x)
            ASSERT_NE(At(pixels, 900 + x, y), kKeyMagenta);

    for (const KanaSheet::Kana& kana : sheet.GetKanas()) {
        int cellY = (kana.cardCode - 1) * KanaSheet::kCell;
        size_t n = kana.records.size();
        for (size_t k = 0; k < n; ++k) {
            char d = kana.records[k].direction;
            std::vector<int> marks = Marks(pixels, static_cast<int>(k) * 100, cellY, d == 'R' || d == 'L');
            ASSERT_FALSE(marks.empty()) << kana.cardCode << " record " << k;
            // One run of marks: the sweep stops at the first unmarked one.
            EXPECT_EQ(marks.back() - marks.front() + 1, static_cast<int>(marks.size())) << kana.cardCode;
            // The other edge holds no marks.
            EXPECT_TRUE(Marks(pixels, static_cast<int>(k) * 100, cellY, !(d == 'R' || d == 'L')).empty());
        }
        int finished = static_cast<int>(n) * 100;
        if (n < KanaSheet::kColumns) {
            EXPECT_TRUE(HasInk(pixels, finished, cellY)) << kana.cardCode;
            EXPECT_TRUE(Marks(pixels, finished, cellY, true).empty());
            EXPECT_TRUE(Marks(pixels, finished, cellY, false).empty());
        }
        for (size_t k = n + 1; k < KanaSheet::kColumns; ++k) {
            bool box = kana.cardCode == 1 && k == 9;
            EXPECT_TRUE(box || !HasInk(pixels, static_cast<int>(k) * 100, cellY)) << kana.cardCode << " " << k;
        }
    }
    // Rows of cells without a kana button stay blank.
    for (int code : { 37, 39, 47, 48, 49 })
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(At(pixels, x, (code - 1) * 100 + 50), kKeyMagenta);
}
