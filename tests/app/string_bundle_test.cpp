#include "app/string_bundle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "system/embedded_resource.h"

namespace {

std::string OwnResource(int id, const wchar_t* type)
{
    std::span<const uint8_t> bytes = EmbeddedResource(nullptr, MAKEINTRESOURCEW(id), type);
    return std::string(bytes.begin(), bytes.end());
}

std::map<std::wstring, std::wstring> Parse(const char* xml)
{
    return CStringBundle::ParseTable(xml);
}

}  // namespace

TEST(ShippedBundle, AnswersEveryIdentifierTrimmed)
{
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"ExeName", L"kxVistral"},
        {L"RegName", L"kxVistral3"},
        {L"ClientName", L"Vistral3.0"},
        {L"CompanyName", L"Norvane"},
        {L"CompanyUrl", L"https://www.norvane.example/vistral/"},
        {L"MESSAGEBOX_LOW_SPACE_TEXT", L"您选择的程序安装目录磁盘空间不足，请重新选择！"},
        {L"MESSAGEBOX_USERDATA_PATH_ERROR_TEXT", L"您选择的用户数据目录不合法，请重新选择！"},
        {L"MESSAGEBOX_NEW_LOCATION_TEXT",
         L"您选择的安装路径与电脑里已存在的安装路径不一致，若使用新的安装路径，则先前的数据和设置将会丢失，"
         L"选\"是\"安装到新路径，选\"否\"安装到原路径。"},
        {L"MESSAGEBOX_CAPITON", L"安装Vistral3.0"},
        {L"MESSAGEBOX_INVALID_DIR_TEXT", L"您选择的程序安装目录不合法，请重新选择！"},
        {L"UNINST_MESSAGEBOX_CAPTION", L"卸载旧版Vistral"},
        {L"UNINST_MESSAGEBOX_TEXT", L"卸载旧版Vistral成功！"},
        {L"MESSAGEBOX_WARNING_RUNNING_TEXT", L"继续安装会强行退出正在运行的Vistral3.0，您确定要安装吗？"},
        {L"MESSAGEBOX_INSTERROR_1_TEXT", L"安装包损坏，请重新下载安装包！"},
        {L"MESSAGEBOX_INSTERROR_2_TEXT", L"安装错误，请退出重试！"},
        {L"UNINSTALL", L"卸载"},
        {L"CANCEL", L"取消"},
        {L"INSTALL", L"安装"},
        {L"OK", L"确定"},
        {L"Y", L"是"},
        {L"N", L"否"},
        {L"INSTALL_1_TEXT", L"正在解压文件"},
        {L"INSTALL_2_TEXT", L"正在解压文件..."},
        {L"INSTALL_CREATE_STARTMENU_SHORTCUT_TEXT", L"正在创建开始菜单快捷方式..."},
        {L"DESKTOP_SHORTCUT_COMMENT", L""},
        {L"MESSAGE_ARCH_NOT_MATCH", L"Vistral3.0暂不支持32位操作系统，请在64位操作系统上运行。"},
        {L"MESSAGE_SYSTEM_NOT_MATCH",
         L"Vistral3.0暂不支持Win 10以下的操作系统，请在Win10及以上操作系统上运行。"},
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(GetString(id), text) << "id " << testing::PrintToString(id);
    EXPECT_EQ(CStringBundle::Instance().Size(), expected.size());
    EXPECT_EQ(GetLanguageCode(), L"zh_CN");
}

TEST(ShippedBundle, FileIsUtf8WithCrLfAndIndentedTexts)
{
    std::string raw = OwnResource(104, L"LANG");
    ASSERT_FALSE(raw.empty());
    EXPECT_NE(raw.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
    size_t lf = 0, crlf = 0;
    for (size_t i = 0; i < raw.size(); ++i)
        if (raw[i] == '\n') {
            ++lf;
            crlf += i > 0 && raw[i - 1] == '\r';
        }
    EXPECT_GT(lf, 27u * 3 - 1);
    EXPECT_EQ(lf, crlf) << "every line ends with CR LF";

    auto table = CStringBundle::ParseTable(raw);
    EXPECT_EQ(table[L"CompanyUrl"].substr(0, 2), L"\n\t") << "the address is indented with a tab";
    // The XML reader turns CR LF into LF.
    EXPECT_EQ(table[L"ExeName"], L"\n    kxVistral\n  ") << "texts are stored untrimmed";
}

TEST(ShippedBundle, UnknownIdentifierIsEmptyAndAddsNothing)
{
    size_t before = CStringBundle::Instance().Size();
    EXPECT_EQ(GetString(L"NO_SUCH_TEXT"), L"");
    EXPECT_EQ(GetString(L"exename"), L"") << "identifiers are case-sensitive";
    EXPECT_EQ(CStringBundle::Instance().Size(), before);
}

TEST(BundleParsing, LaterDuplicateWinsAndMissingIdIsEmptyKey)
{
    auto t = Parse("<StringBundle><String id=\"A\">one</String><String>anon</String>"
                   "<String id=\"A\">two</String></StringBundle>");
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(t[L"A"], L"two");
    EXPECT_EQ(t[L""], L"anon");
}

TEST(BundleParsing, OtherElementsAreSkippedAndOnlyFirstBundleCounts)
{
    auto t = Parse("<?xml version=\"1.0\"?><StringBundle><Note id=\"X\">no</Note>"
                   "<String id=\"B\">b</String><Other/><String id=\"C\"><![CDATA[c<d]]></String>"
                   "</StringBundle>");
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(t.count(L"X"), 0u);
    EXPECT_EQ(t[L"C"], L"c<d") << "CDATA is element text";
}

TEST(BundleParsing, TrimmingTakesOnlyTheSixBlankCharacters)
{
    EXPECT_EQ(CStringBundle::Trim(L"\r\n\t \f\vWin 10 x\t\r\n "), L"Win 10 x");
    EXPECT_EQ(CStringBundle::Trim(L" \r\n \t "), L"");
    EXPECT_EQ(CStringBundle::Trim(L"\x3000中\x3000"), L"\x3000中\x3000") << "ideographic space stays";
    EXPECT_EQ(CStringBundle::Trim(L""), L"");
}

TEST(BundleParsing, UnusableDocumentsGiveAnEmptyTable)
{
    EXPECT_TRUE(Parse("<StringBundle><String id=\"A\">x</String>").empty()) << "unclosed root";
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("not xml at all <").empty());
    EXPECT_TRUE(CStringBundle::ParseTable(std::string_view("\xFF\xFE<a/>", 6)).size() == 0);
    EXPECT_TRUE(Parse("<Other><String id=\"A\">x</String></Other>").empty()) << "wrong root";
}

TEST(BundleParsing, ReadingStopsAtTheFirstZeroByte)
{
    std::string doc = "<StringBundle><String id=\"A\">x</String></StringBundle>";
    std::string withTail = doc + std::string(1, '\0') + "<garbage";
    auto t = CStringBundle::ParseTable(withTail);
    EXPECT_EQ(t[L"A"], L"x");
    std::string cut("<StringBundle>\0<String id=\"A\">x</String></StringBundle>", 55);
    EXPECT_TRUE(CStringBundle::ParseTable(cut).empty());
}
