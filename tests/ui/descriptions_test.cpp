// The framework's text formats, without a window: image descriptions and
// attribute values.
#include <gtest/gtest.h>

#include "ui/attr_parse.h"
#include "ui/image_desc.h"

using namespace DuiLib;

TEST(ImageDescription, BlanksAroundEqualsReadTheSame)
{
    TDrawInfo tight, spaced, plain;
    tight.Parse(L"file='install_img_02.png' source='0,22,22,44' corner='3,0,3,0'");
    spaced.Parse(L"file = 'install_img_02.png'  source = '0,22,22,44' corner= '3,0,3,0'");
    plain.Parse(L"install_img_02.png");
    EXPECT_EQ(tight.sFile, L"install_img_02.png");
    EXPECT_EQ(spaced.sFile, tight.sFile);
    EXPECT_EQ(plain.sFile, tight.sFile);
    EXPECT_TRUE(spaced.bHasSource);
    EXPECT_EQ(spaced.rcSource.top, 22);
    EXPECT_EQ(spaced.rcSource.bottom, 44);
    EXPECT_EQ(spaced.rcCorner.left, 3);
    EXPECT_FALSE(plain.bHasSource);
    TDrawInfo broken;
    broken.Parse(L"file='a.png' source='1,2");  // unterminated: the rest is ignored
    EXPECT_EQ(broken.sFile, L"a.png");
    EXPECT_FALSE(broken.bHasSource);
}

TEST(AttributeValues, ColoursRectsAndSizes)
{
    EXPECT_EQ(ParseColor(L"#FF2D73FF"), 0xFF2D73FFu);
    EXPECT_EQ(ParseColor(L"#192846"), 0xFF192846u) << "six digits are opaque";
    EXPECT_EQ(ParseColor(L"#80FF0000"), 0x80FF0000u);
    SIZE size = ParseSize(L" 560,360");
    EXPECT_EQ(size.cx, 560);
    EXPECT_EQ(size.cy, 360);
    RECT rc = ParseRect(L"-1,11,0,0");
    EXPECT_EQ(rc.left, -1);
    EXPECT_EQ(rc.top, 11);
    auto list = ParseAttributeList(L"a=\"1\" b='x y' c=\"#FF000000\"");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].second, L"x y");
}
