#include "system/settings_files.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "system/installer_constants.h"
#include "system/text_encoding.h"
#include "tests/system/test_files.h"

using namespace std::string_literals;

namespace {

// An INI file as UTF-16 LE with a byte-order mark, CR LF line ends.
void WriteSettings(const std::wstring& dir, const std::wstring& content)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : content) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    ASSERT_TRUE(WriteFileBytes(dir + L"setting.cfg", bytes));
}

std::wstring StoredPath(const std::wstring& value)
{
    return L"[General]\r\nname=x\r\n[Network]\r\npath=" + value + L"\r\nport=1\r\n";
}

std::wstring RoamingAppData()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The channel file into the folder of that name, as the job writes it into
// its open program directory.
void WriteChannelFileIn(const std::wstring& dir)
{
    CheckedDir checked;
    CheckedDir::Open(dir, checked);
    WriteChannelFile(checked);
}

class SettingsFiles : public testing::Test {
protected:
    TempDir install;
    // A default with a doubled backslash, an escape and characters outside ASCII.
    const std::wstring kFallback = L"F:\\\\\\x4E2D\\数据\\kxVistral3";
};

}  // namespace

TEST(DefaultUserDataDir, DriveRootOrElseRoamingAppData)
{
    EXPECT_EQ(DefaultUserDataDirFor(L"C:\\"), L"C:\\kxVistral3");
    std::wstring appData = RoamingAppData();
    ASSERT_FALSE(appData.empty());
    // No qualifying drive, or a root of the wrong form: the roaming folder.
    EXPECT_EQ(DefaultUserDataDirFor(L""), appData + L"\\kxVistral3");
    EXPECT_EQ(DefaultUserDataDirFor(L"C:/"), appData + L"\\kxVistral3");
    EXPECT_EQ(DefaultUserDataDirFor(L"\\\\"), appData + L"\\kxVistral3");

    std::wstring real = GetDefaultUserDataDir();
    ASSERT_GE(real.size(), 13u) << real;
    EXPECT_EQ(real.substr(1, 2), L":\\");
    EXPECT_EQ(real.substr(real.size() - 11), L"\\kxVistral3");
}

TEST_F(SettingsFiles, NoEarlierInstallationGivesTheDefaultUntouched)
{
    // Not decoded: doubled backslashes and escape-like text stay.
    EXPECT_EQ(ReadUserDataDirOr(L"", kFallback), kFallback);
    std::wstring real = ReadUserDataDir(L"");
    ASSERT_GE(real.size(), 13u);
    EXPECT_EQ(real.substr(real.size() - 11), L"\\kxVistral3");
}

TEST_F(SettingsFiles, MissingFileOrKeyGivesTheDecodedDefault)
{
    const std::wstring decoded = L"F:\\\x4E2D\\数据\\kxVistral3";
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), decoded);
    WriteSettings(install.Path(), L"[Network]\r\nport=1\r\n[Other]\r\npath=E:\\elsewhere\r\n");
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), decoded);
    // And through the real default.
    std::wstring real = ReadUserDataDir(install.Path());
    EXPECT_EQ(real.substr(real.size() - 11), L"\\kxVistral3");
}

TEST_F(SettingsFiles, DoubledBackslashesAndEscapesAreDecoded)
{
    WriteSettings(install.Path(), StoredPath(L"D:\\\\Users\\\\kx\\\\Data"));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"D:\\Users\\kx\\Data");

    WriteSettings(install.Path(), StoredPath(L"D:\\\\\\x4E2D\\\\\\x6587Data"));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"D:\\\x4E2D\\\x6587" L"Data");

    // Backslashes are collapsed before escapes are read: a doubled one starts an escape too.
    WriteSettings(install.Path(), StoredPath(L"D:\\\\x4E2D"));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"D:\x4E2D");

    // Pairs are taken from the left without overlap: three make one and a half.
    WriteSettings(install.Path(), StoredPath(L"D:\\\\\\Data"));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"D:\\\\Data");

    // Characters outside ASCII stored as they are come back unchanged.
    WriteSettings(install.Path(), StoredPath(L"E:\\数据\\kxVistral3"));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"E:\\数据\\kxVistral3");
}

TEST_F(SettingsFiles, OnlyThe259FirstCharactersOfALongValueAreUsed)
{
    std::wstring value = L"D:\\\\data\\\\" + std::wstring(290, L'a');
    ASSERT_EQ(value.size(), 300u);
    WriteSettings(install.Path(), StoredPath(value));
    EXPECT_EQ(ReadUserDataDirOr(install.Path(), kFallback), L"D:\\data\\" + std::wstring(249, L'a'));
}

TEST_F(SettingsFiles, ChannelFileIsExactlySixOemBytes)
{
    std::wstring path = install.Path() + L"source.dat";
    ASSERT_TRUE(WriteFileBytes(path, "an older, longer channel file\r\n"));
    WriteChannelFileIn(install.Path());
    EXPECT_EQ(ReadFileBytes(path), "700001");

    // A directory outside the OEM code page still gets its file.
    std::wstring zh = install.Path() + L"数据\\";
    ASSERT_TRUE(CreateDirectoryW(zh.c_str(), nullptr));
    WriteChannelFileIn(zh);
    EXPECT_EQ(ReadFileBytes(zh + L"source.dat"), "700001");

    // No directory: nothing is written, nothing thrown.
    WriteChannelFileIn(install.Path() + L"missing\\");
    EXPECT_EQ(GetFileAttributesW((install.Path() + L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFiles, NoteFileIsUtf16WithByteOrderMarkAndNoLineEnd)
{
    std::wstring path = install.Path() + L"temp_userdata.txt";
    ASSERT_TRUE(WriteFileBytes(path, std::string(500, 'o')));
    ASSERT_TRUE(WriteUserDataNote(install.Path(), L"D:\\数据\\kxVistral3"));
    EXPECT_EQ(ReadFileBytes(path),
              "\xFF\xFE" "D\0:\0\\\0\x70\x65\x6E\x63\\\0k\0x\0V\0i\0s\0t\0r\0a\0l\0" "3\0"s);

    ASSERT_TRUE(WriteUserDataNote(install.Path(), L""));
    EXPECT_EQ(ReadFileBytes(path), "\xFF\xFE");
    EXPECT_FALSE(WriteUserDataNote(install.Path() + L"missing\\", L"D:\\x"));
}
