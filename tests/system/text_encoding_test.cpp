#include "system/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(CodePageConversion, Utf8BothWaysAndNullInput)
{
    const wchar_t* wide = L"D:\\数据\\Vistral3.0 €";
    std::string utf8 = WideToUtf8(wide);
    EXPECT_EQ(utf8, "D:\\\xE6\x95\xB0\xE6\x8D\xAE\\Vistral3.0 \xE2\x82\xAC");
    EXPECT_EQ(Utf8ToWide(utf8.c_str()), wide);
    // No terminating zero is counted in the stored length.
    EXPECT_EQ(WideToUtf8(L"abc").size(), 3u);
    EXPECT_EQ(Utf8ToWide("abc").size(), 3u);

    EXPECT_EQ(WideToUtf8(nullptr), "");
    EXPECT_EQ(Utf8ToWide(nullptr), L"");
    EXPECT_EQ(WideToOem(nullptr), "");
    EXPECT_EQ(WideToUtf8(L""), "");
}

TEST(CodePageConversion, OemBytesAndTheDefaultCharacter)
{
    EXPECT_EQ(WideToOem(L"700001"), "700001");
    // A character the OEM code page lacks is replaced, not dropped.
    std::string oem = WideToOem(L"a\x4E2D" L"b");
    ASSERT_EQ(oem.size(), 3u) << oem;
    EXPECT_EQ(oem[0], 'a');
    EXPECT_EQ(oem[2], 'b');
}

TEST(DecodeHexEscapes, EscapesBecomeCodeUnits)
{
    EXPECT_EQ(DecodeHexEscapes("A\\x0041B"), L"AAB");
    EXPECT_EQ(DecodeHexEscapes("D:\\x4E2D\\x6587"), L"D:\x4E2D\x6587");
    EXPECT_EQ(DecodeHexEscapes("\\xffFF"), L"\xFFFF");  // digits of either case
    // Reading stops at the first non-digit; the escape is still six characters.
    EXPECT_EQ(DecodeHexEscapes("\\x4G12z"), L"\x0004z");
    EXPECT_EQ(DecodeHexEscapes("\\x-001z"), L"");  // no sign is read: value 0
}

TEST(DecodeHexEscapes, OtherTextIsKept)
{
    EXPECT_EQ(DecodeHexEscapes("A\\nB"), L"A\\nB");
    EXPECT_EQ(DecodeHexEscapes("A\\X0041B"), L"A\\X0041B");  // upper-case X is no escape
    EXPECT_EQ(DecodeHexEscapes("C:\\Users\\x"), L"C:\\Users\\x");
    EXPECT_EQ(DecodeHexEscapes(""), L"");
    EXPECT_EQ(DecodeHexEscapes(nullptr), L"");
    // Unescaped UTF-8, as the settings reading produces it, comes back exactly.
    EXPECT_EQ(DecodeHexEscapes("D:\\\xE6\x95\xB0\xE6\x8D\xAE\\x4E2D"), L"D:\\数据\x4E2D");
}

TEST(DecodeHexEscapes, AZeroEscapeEndsTheText)
{
    EXPECT_EQ(DecodeHexEscapes("AB\\x0000CD"), L"AB");
    EXPECT_EQ(DecodeHexEscapes("\\x0000"), L"");
}

TEST(DecodeHexEscapes, AnEscapeCutShortStaysLiteral)
{
    EXPECT_EQ(DecodeHexEscapes("A\\x4E2"), L"A\\x4E2");
    EXPECT_EQ(DecodeHexEscapes("A\\x4"), L"A\\x4");
    EXPECT_EQ(DecodeHexEscapes("A\\x"), L"A\\x");
    EXPECT_EQ(DecodeHexEscapes("\\x0041\\x00"), L"A\\x00");
}

TEST(Base64Encode, Rfc4648WithPadding)
{
    auto b64 = [](const std::string& s) {
        return Base64Encode(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    EXPECT_EQ(b64("abc"), "YWJj");
    EXPECT_EQ(b64("ab"), "YWI=");
    EXPECT_EQ(b64("a"), "YQ==");
    EXPECT_EQ(b64(""), "");
    // RFC 4648 test vectors and every alphabet position above 61.
    EXPECT_EQ(b64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(b64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(b64("\xFB\xEF\xFF\x00"s), "++//AA==");
    EXPECT_EQ(b64("\x00\x00\x00"s), "AAAA");
    std::string long1000(1000, '\x5A');
    EXPECT_EQ(b64(long1000).size(), (1000u + 2) / 3 * 4);
    EXPECT_EQ(b64(long1000).find('\n'), std::string::npos);
}

TEST(UrlEncode, KeepsUnreservedCharactersOnly)
{
    EXPECT_EQ(UrlEncode("a+b/c="), "a%2Bb%2Fc%3D");
    EXPECT_EQ(UrlEncode("A-Z_a.z~09"), "A-Z_a.z~09");
    EXPECT_EQ(UrlEncode("a b"), "a%20b");
    EXPECT_EQ(UrlEncode("\xE4\xB8\xAD\x01\x7F"), "%E4%B8%AD%01%7F");
    EXPECT_EQ(UrlEncode("%*!'()"), "%25%2A%21%27%28%29");
    EXPECT_EQ(UrlEncode(""), "");
}
