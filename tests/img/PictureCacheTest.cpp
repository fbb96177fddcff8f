#include "app/CGameApp.h"
#include "graphics/DibSurface.h"
#include "graphics/ImgDecoder.h"
#include "graphics/PictureCache.h"
#include "platform/Resources.h"
#include "tests/img/ImgTestPictures.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

using namespace lumarra;
using namespace lumarra::test;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMissingImg = 999;

const TestSheet& Sheet(uint32_t id)
{
    for (const TestSheet& sheet : kTestSheets) {
        if (sheet.id == id)
            return sheet;
    }
    std::abort();
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// 5-6-5 keeps the top 5, 6 and 5 bits of red, green and blue.
void ExpectNear565(COLORREF actual, ImgColor expected)
{
    EXPECT_NEAR(GetRValue(actual), expected.red, 8);
    EXPECT_NEAR(GetGValue(actual), expected.green, 4);
    EXPECT_NEAR(GetBValue(actual), expected.blue, 8);
}

class PictureCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumarra-img-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_home = pattern;
        setenv("LUMARRA_HOME", m_home.c_str(), 1);
    }

    void TearDown() override
    {
        unsetenv("LUMARRA_HOME");
        std::error_code error;
        fs::remove_all(m_home, error);
    }

    fs::path CacheFile(uint32_t id) const
    {
        char name[16];
        std::snprintf(name, sizeof name, "%08X.dat", id);
        return m_home / "Data" / name;
    }

    static std::vector<uint8_t> ReadBytes(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

    static void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Nothing but finished cache files: no temporary left behind.
    std::vector<std::string> DataFiles() const
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_home / "Data", error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Compares a loaded sheet with the picture it was made from at a spread
    // of points, corners included.
    static void ExpectShowsSheet(DibSurface& surface, const TestSheet& sheet)
    {
        ASSERT_EQ(surface.GetWidth(), sheet.width);
        ASSERT_EQ(surface.GetHeight(), sheet.height);
        ASSERT_NE(surface.GetInfo(), nullptr);
        EXPECT_EQ(surface.GetInfo()->bmiHeader.biBitCount, 16);
        IndexedPicture picture = MakeTestSheet(sheet);
        for (int y = 0; y < sheet.height; y += 37) {
            for (int x : { 0, 7, sheet.width / 2 + 3, sheet.width - 1 }) {
                SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
                uint8_t index = picture.indices[static_cast<size_t>(y) * static_cast<size_t>(sheet.width) + x];
                ExpectNear565(surface.GetPixel(x, y), picture.colors[index]);
            }
        }
    }

    fs::path m_home;
};

}

TEST_F(PictureCache, CacheFilesHoldHeaderAndRowsExactly)
{
    // 250 wide rows are padded to 252; 640 wide rows need no padding.
    for (uint32_t id : { 299u, 300u }) {
        const TestSheet& sheet = Sheet(id);
        size_t stride = (static_cast<size_t>(sheet.width) + 3) / 4 * 4;
        ASSERT_EQ(WritePictureCache(id), 1);
        std::vector<uint8_t> file = ReadBytes(CacheFile(id));
        ASSERT_EQ(file.size(), 4 + 552 + stride * static_cast<size_t>(sheet.height));
        EXPECT_EQ(Le32(file, 0), 552u);
        EXPECT_EQ(Le32(file, 4), 40u);
        EXPECT_EQ(static_cast<int32_t>(Le32(file, 8)), sheet.width);
        EXPECT_EQ(static_cast<int32_t>(Le32(file, 12)), -sheet.height);

        ImgDecoder decoder;
        ResourceData resource = FindResource(kResourceImg, id);
        ASSERT_EQ(decoder.Parse({ resource.data, resource.size }), 1);
        std::span<const uint8_t> indices = decoder.GetIndices();
        for (int y = 0; y < sheet.height; ++y) {
            auto row = file.begin() + static_cast<long>(4 + 552 + y * stride);
            ASSERT_TRUE(std::equal(row, row + sheet.width, indices.begin() + static_cast<long>(y) * sheet.width));
        }
    }
    EXPECT_EQ(CacheFile(299).filename(), "0000012B.dat");
    EXPECT_EQ(DataFiles(), (std::vector<std::string> { "0000012B.dat", "0000012C.dat" }));

    // A 64-color sheet has a 296-byte header.
    ASSERT_EQ(WritePictureCache(302), 1);
    EXPECT_EQ(Le32(ReadBytes(CacheFile(302)), 0), 296u);
}

TEST_F(PictureCache, LoadsSheetsAtSixteenBits)
{
    for (uint32_t id : { 299u, 300u, 305u }) {
        SCOPED_TRACE(id);
        DibSurface surface;
        ASSERT_EQ(LoadPicture(surface, id), 1);
        ExpectShowsSheet(surface, Sheet(id));
        EXPECT_TRUE(fs::exists(CacheFile(id)));
    }
}

TEST_F(PictureCache, LaterLoadsComeFromTheCacheFile)
{
    DibSurface surface;
    ASSERT_EQ(LoadPicture(surface, 299), 1);
    // Put another sheet of the same size in its place: what shows is the file.
    ASSERT_EQ(WritePictureCache(302), 1);
    fs::copy_file(CacheFile(302), CacheFile(299), fs::copy_options::overwrite_existing);
    ASSERT_EQ(LoadPicture(surface, 299), 1);
    ExpectShowsSheet(surface, Sheet(302));
}

TEST_F(PictureCache, DamagedCacheFilesAreRebuilt)
{
    ASSERT_EQ(WritePictureCache(299), 1);
    const std::vector<uint8_t> whole = ReadBytes(CacheFile(299));
    auto withSize = [&](uint32_t size) {
        std::vector<uint8_t> bytes = whole;
        std::memcpy(bytes.data(), &size, 4);
        return bytes;
    };
    std::vector<uint8_t> wider = whole;
    wider[8] = 0xFF;
    std::vector<uint8_t> manyColors = whole;
    manyColors[4 + 32] = 0xFF;
    manyColors[4 + 35] = 0xFF;
    std::vector<uint8_t> twentyFour = whole;
    twentyFour[4 + 14] = 24;
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> damaged = {
        { "empty", {} },
        { "cut by one byte", { whole.begin(), whole.end() - 1 } },
        { "cut inside the header", { whole.begin(), whole.begin() + 100 } },
        { "one byte too many",
            [&] {
                auto b = whole;
                b.push_back(0);
                return b;
            }() },
        { "header size 553", withSize(553) },
        { "header size 44 on an 8-bit header", withSize(44) },
        { "header size 0xFFFFFFFF", withSize(0xFFFFFFFF) },
        { "width that does not fit the rows", wider },
        { "colour count past 256", manyColors },
        { "bit depth that does not fit the header size", twentyFour },
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        WriteBytes(CacheFile(299), bytes);
        DibSurface surface;
        ASSERT_EQ(LoadPicture(surface, 299), 1);
        ExpectShowsSheet(surface, Sheet(299));
        EXPECT_TRUE(ReadBytes(CacheFile(299)) == whole);
    }
}

TEST_F(PictureCache, BadResourcesWriteNothingAndLeaveTheTarget)
{
    DibSurface target;
    ASSERT_EQ(target.CreateBlank(24, 10, 10, kNoColor), 1);
    target.SetPixel(3, 3, RGB(1, 2, 3));
    // A GIF signature, data cut short, a local color table, no resource.
    for (uint32_t id : { 400u, 401u, 402u, kMissingImg }) {
        SCOPED_TRACE(id);
        EXPECT_EQ(WritePictureCache(id), 0);
        EXPECT_EQ(LoadPicture(target, id), 0);
        EXPECT_FALSE(fs::exists(CacheFile(id)));
        EXPECT_EQ(target.GetWidth(), 10);
        EXPECT_EQ(target.GetPixel(3, 3), RGB(1, 2, 3));
    }
    EXPECT_TRUE(DataFiles().empty());
}

TEST_F(PictureCache, FailedDecodeKeepsAnExistingFile)
{
    // Id 0xF0000190 falls back to the damaged IMG 400: its file stays.
    ASSERT_EQ(WritePictureCache(299), 1);
    fs::create_directories(CacheFile(0xF0000190).parent_path());
    fs::copy_file(CacheFile(299), CacheFile(0xF0000190));
    EXPECT_EQ(WritePictureCache(0xF0000190), 0);
    EXPECT_TRUE(ReadBytes(CacheFile(0xF0000190)) == ReadBytes(CacheFile(299)));
}

TEST_F(PictureCache, UntintedFallbackUnderATintedName)
{
    DibSurface surface;
    ASSERT_EQ(LoadPicture(surface, 0xF000012C), 1);
    ExpectShowsSheet(surface, Sheet(300));
    ASSERT_EQ(WritePictureCache(300), 1);
    EXPECT_TRUE(ReadBytes(CacheFile(0xF000012C)) == ReadBytes(CacheFile(300)));
    // The fourth deck's tinted sheet has no IMG resource behind it.
    EXPECT_EQ(LoadPicture(surface, 0xF0000118), 0);
    EXPECT_FALSE(fs::exists(CacheFile(0xF0000118)));
}

TEST_F(PictureCache, TintedBitmapCache)
{
    ASSERT_EQ(BuildTintedBitmapCache(280, 0xF0000118, 0, -10, -10), 1);
    std::vector<uint8_t> file = ReadBytes(CacheFile(0xF0000118));
    const size_t stride = kTestBitmapWidth * 3;
    ASSERT_EQ(file.size(), 4 + 44 + stride * kTestBitmapHeight);
    EXPECT_EQ(Le32(file, 0), 44u);
    EXPECT_EQ(Le32(file, 4), 40u);
    EXPECT_EQ(static_cast<int32_t>(Le32(file, 12)), kTestBitmapHeight);
    EXPECT_EQ(file[4 + 14], 24);
    EXPECT_EQ(Le32(file, 4 + 32), 16777216u);
    EXPECT_EQ(Le32(file, 4 + 40), 0u);

    // Rows are bottom-up: picture row y is file row height - 1 - y.
    auto pixel = [&](int x, int y) {
        const uint8_t* p = file.data() + 48 + static_cast<size_t>(kTestBitmapHeight - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(pixel(0, 0), RGB(255, 245, 245));
    EXPECT_EQ(pixel(639, kTestBitmapBand - 1), RGB(255, 245, 245));
    EXPECT_EQ(pixel(5, kTestBitmapBand), RGB(0, 0, 0));
    EXPECT_EQ(pixel(5, 2 * kTestBitmapBand), RGB(5, 0, 0));
    EXPECT_EQ(pixel(200, 1000), RGB(200, (1000 & 0xFF) - 10, ((200 + 1000) & 0xFF) - 10));

    DibSurface surface;
    ASSERT_EQ(LoadPicture(surface, 0xF0000118), 1);
    EXPECT_EQ(surface.GetWidth(), kTestBitmapWidth);
    EXPECT_EQ(surface.GetHeight(), kTestBitmapHeight);
    ExpectNear565(surface.GetPixel(0, 0), { 255, 245, 245 });
    ExpectNear565(surface.GetPixel(0, kTestBitmapHeight - 1), { 0, 177, 177 });

    EXPECT_EQ(BuildTintedBitmapCache(281, 0xF0000119, 0, -10, -10), 0);
    EXPECT_FALSE(fs::exists(CacheFile(0xF0000119)));
}

TEST_F(PictureCache, TintedImgCacheStartsFromTheSixteenBitPicture)
{
    ASSERT_EQ(BuildTintedImgCache(300, 0xF000012C, 0, -10, -10), 1);
    std::vector<uint8_t> file = ReadBytes(CacheFile(0xF000012C));
    const TestSheet& sheet = Sheet(300);
    const size_t stride = static_cast<size_t>(sheet.width) * 3;
    ASSERT_EQ(file.size(), 4 + 44 + stride * static_cast<size_t>(sheet.height));
    EXPECT_EQ(Le32(file, 0), 44u);

    DibSurface untinted;
    ASSERT_EQ(LoadPicture(untinted, 300), 1);
    for (int y = 0; y < sheet.height; y += 97) {
        for (int x : { 0, 100, sheet.width - 1 }) {
            COLORREF plain = untinted.GetPixel(x, y);
            const uint8_t* p = file.data() + 48 + static_cast<size_t>(sheet.height - 1 - y) * stride + x * 3;
            EXPECT_EQ(p[2], GetRValue(plain));
            EXPECT_EQ(p[1], std::max(0, GetGValue(plain) - 10));
            EXPECT_EQ(p[0], std::max(0, GetBValue(plain) - 10));
        }
    }
    EXPECT_EQ(BuildTintedImgCache(401, 0xF0000191, 0, -10, -10), 0);
    EXPECT_FALSE(fs::exists(CacheFile(0xF0000191)));
}

TEST_F(PictureCache, PicturesShowWhenTheCacheCannotBeWritten)
{
    // A file where the Data folder should be: nothing can be stored.
    WriteBytes(m_home / "Data", { 'x' });
    EXPECT_EQ(WritePictureCache(299), 0);
    DibSurface surface;
    ASSERT_EQ(LoadPicture(surface, 299), 1);
    ExpectShowsSheet(surface, Sheet(299));
}

TEST_F(PictureCache, PrebuildWritesEveryFile)
{
    ASSERT_EQ(PrebuildPictureCache(), 1);
    std::vector<std::string> expected = { "0000012B.dat", "0000012C.dat", "0000012D.dat", "0000012E.dat",
        "0000012F.dat", "00000130.dat", "00000131.dat", "00000132.dat", "00000133.dat", "F0000118.dat", "F000012C.dat",
        "F000012F.dat", "F0000132.dat" };
    EXPECT_EQ(DataFiles(), expected);
    for (const TestSheet& sheet : kTestSheets) {
        size_t stride = (static_cast<size_t>(sheet.width) + 3) / 4 * 4;
        size_t info = sheet.colorCount == 128 ? 552 : 296;
        EXPECT_EQ(fs::file_size(CacheFile(sheet.id)), 4 + info + stride * static_cast<size_t>(sheet.height));
    }
    for (uint32_t id : { 0xF000012Cu, 0xF000012Fu, 0xF0000132u, 0xF0000118u })
        EXPECT_EQ(fs::file_size(CacheFile(id)), 4 + 44 + 640 * 3 * 1980u);
}

TEST_F(PictureCache, AWriterKilledAtAnyMomentLeavesAWholeFileOrNone)
{
    ASSERT_EQ(WritePictureCache(301), 1);
    std::vector<uint8_t> whole = ReadBytes(CacheFile(301));
    fs::remove(CacheFile(301));
    KillWritersRepeatedly(
        20, 30000,
        [] {
            for (;;)
                WritePictureCache(301);
        },
        [&](int round) {
            if (fs::exists(CacheFile(301))) {
                EXPECT_TRUE(ReadBytes(CacheFile(301)) == whole) << "round " << round;
            }
        });
    ASSERT_EQ(WritePictureCache(301), 1);
    EXPECT_EQ(DataFiles(), std::vector<std::string> { "0000012D.dat" });
}

TEST_F(PictureCache, PrebuildingClearsWhatKilledWritesLeft)
{
    fs::create_directories(m_home / "Data");
    for (const char* name : { "0000012B.dat.tmpAbC123", "F0000132.dat.tmp9xYz00", "Sound01.mp3.tmpQQQQQQ" })
        WriteBytes(m_home / "Data" / name, { 'h', 'a', 'l', 'f' });
    WriteBytes(m_home / "Data" / "Sound01.mp3", { 'I', 'D', '3' });
    ASSERT_EQ(PrebuildPictureCache(), 1);
    std::vector<std::string> files = DataFiles();
    EXPECT_EQ(files.size(), 14u);
    for (const std::string& name : files)
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST_F(PictureCache, NoRegularFileInPlaceOfACacheFileLeavesThePictureToShow)
{
    fs::create_directories(m_home / "Data");
    ASSERT_EQ(::mkfifo(CacheFile(299).c_str(), 0600), 0);
    fs::create_directory(CacheFile(302));
    fs::create_symlink("/dev/zero", CacheFile(305));
    for (uint32_t id : { 299u, 302u, 305u }) {
        int status = ExitStatusWithin(1000, [&] {
            DibSurface surface;
            return LoadPicture(surface, id) == 1 && surface.GetWidth() == Sheet(id).width;
        });
        EXPECT_EQ(status, 0) << id;
    }
}

TEST_F(PictureCache, RegistNamesEveryFileItCouldNotWriteAndFails)
{
    {
        CGameApp app("lumarra /regist");
        app.Run();
        EXPECT_EQ(app.GetExitCode(), 0);
    }
    fs::remove_all(m_home / "Data");
    // A file where the Data folder should be.
    WriteBytes(m_home / "Data", { 'x' });
    std::vector<PictureCacheFailure> failures;
    EXPECT_EQ(PrebuildPictureCache(&failures), 0);
    ASSERT_EQ(failures.size(), 13u);
    EXPECT_EQ(failures[0].error, ENOTDIR);

    testing::internal::CaptureStderr();
    CGameApp app("lumarra /REGIST");
    app.Run();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(app.GetExitCode(), 0);
    EXPECT_NE(said.find((m_home / "Data" / "0000012D.dat").string() + ": " + std::strerror(ENOTDIR)), std::string::npos)
        << said;
    EXPECT_NE(said.find("F0000132.dat"), std::string::npos) << said;
}
