// The uninstall manifest's exact form and the shortcut helpers.
#include <gtest/gtest.h>

#include "install/shortcuts.h"
#include "install/uninstall_manifest.h"
#include "scratch_dir.h"
#include "system/com_owners.h"

namespace {

std::string ReadText(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    ReadBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(UninstallManifest, SerialisedFormEscapingAndReplacement)
{
    ScratchDir scratch;
    const std::wstring file = scratch / L"Uninstall.xml";
    ASSERT_TRUE(WriteUninstallManifestOf(file, {L"C:\\P\\a&b.txt", L"C:\\P\\卸载.exe"}, {L"C:\\P\\d"}));
    EXPECT_EQ(ReadText(file),
              "<Uninstall>\n\t<Internal>\n"
              "\t\t<File path=\"C:\\P\\a&amp;b.txt\" />\n"
              "\t\t<File path=\"C:\\P\\\xE5\x8D\xB8\xE8\xBD\xBD.exe\" />\n"
              "\t\t<Dir path=\"C:\\P\\d\" />\n"
              "\t</Internal>\n</Uninstall>\n");
    // A second, shorter manifest replaces the first completely.
    ASSERT_TRUE(WriteUninstallManifestOf(file, {}, {}));
    EXPECT_EQ(ReadText(file), "<Uninstall>\n\t<Internal />\n</Uninstall>\n");
    // A file that cannot be created gives false and no file.
    EXPECT_FALSE(WriteUninstallManifestOf(scratch / L"missing\\Uninstall.xml", {}, {}));
    EXPECT_FALSE(Exists(scratch / L"missing"));
}

TEST(Shortcuts, WorkingDirectoryLinkPathLimitAndFolderChains)
{
    struct {
        const wchar_t* target;
        const wchar_t* dir;
    } rules[] = {
        {L"C:\\P\\launcher.exe", L"C:\\P\\"},
        {L"C:/P/launcher.exe", L"C:/P/"},
        {L"C:\\P/x/launcher.exe", L"C:\\"},
        {L"launcher.exe", L""},
    };
    for (const auto& r : rules)
        EXPECT_EQ(ShortcutWorkingDir(r.target), r.dir) << testing::PrintToString(std::wstring(r.target));

    ComInitScope com;
    ScratchDir scratch;
    const std::wstring folder = scratch / L"Start\\Vistral3.0\\";
    ASSERT_TRUE(MakePathDirs(folder + L"not created"));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_FALSE(Exists(folder + L"not created"));
    EXPECT_FALSE(MakePathDirs(L""));

    const std::wstring target = scratch / L"launcher.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    EXPECT_TRUE(CreateShortcut(L"Vistral3.0.lnk", target.c_str(), nullptr, folder.c_str()));
    EXPECT_TRUE(Exists(folder + L"\\Vistral3.0.lnk"));
    EXPECT_FALSE(CreateShortcut(L"x.lnk", target.c_str(), nullptr, nullptr));
    // One character past what wsprintfW can write fails instead of overflowing.
    std::wstring longFolder(kMaxLinkPathChars - 5, L'a');  // + "\" + "x.lnk" = limit + 1
    EXPECT_FALSE(CreateShortcut(L"x.lnk", target.c_str(), nullptr, longFolder.c_str()));

    wchar_t quickLaunch[MAX_PATH] = {};
    ASSERT_TRUE(GetQuickLaunchDir(quickLaunch));
    EXPECT_NE(std::wstring(quickLaunch).find(L"\\Microsoft\\Internet Explorer\\Quick Launch"), std::wstring::npos);
}
