#include "platform/CodePage.h"
#include "platform/Resources.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace lumarra;

TEST(Resources, FindsEachTypeByIdInPlace)
{
    ResourceData bitmap = FindResource(kResourceBitmap, 128);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap.size, 4u);
    EXPECT_EQ(std::memcmp(bitmap.data, "BM\x00\x01", 4), 0);

    ResourceData icon = FindResource("icon", 128);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon.data[2], 1);
    EXPECT_NE(icon.data, bitmap.data);

    EXPECT_TRUE(FindResource(kResourceImg, 299));
    EXPECT_TRUE(FindResource(kResourceCursor, 139));
    EXPECT_TRUE(FindResource(kResourceDialog, 100));
    EXPECT_FALSE(FindResource(kResourceImg, 300));
    EXPECT_FALSE(FindResource("WAVE", 128));
}

TEST(Resources, StringsAreCp932WithEscapes)
{
    EXPECT_EQ(Cp932ToUtf8(LoadString(101)), "いろはかるた");
    EXPECT_EQ(LoadString(102), "line one\nline two");
    EXPECT_EQ(Cp932ToUtf8(LoadString(103)), "back\\slash ソ表");
    EXPECT_EQ(LoadString(104), "");
}
