#include "system/installer_constants.h"

#include <gtest/gtest.h>

#include "app/string_bundle.h"

// The identity strings come from the bundle this executable carries.
TEST(InstallerConstants, IdentityFromTheBundleAndFixedNames)
{
    EXPECT_EQ(RegName, L"kxVistral3");
    EXPECT_EQ(ClientName, L"Vistral3.0");
    EXPECT_EQ(CompanyName, L"Norvane");
    EXPECT_EQ(MainExeName, L"kxVistral.exe");
    EXPECT_EQ(CompanyUrl, GetString(L"CompanyUrl"));
    EXPECT_EQ(CompanyUrl.rfind(L"http", 0), 0u) << CompanyUrl;  // trimmed, no leading tab

    EXPECT_EQ(AppVersion, L"3.01.35");
    EXPECT_EQ(PayloadFileName, L"resource.7z");
    EXPECT_EQ(SettingsFileName, L"setting.cfg");
    EXPECT_EQ(UserDataNoteFileName, L"temp_userdata.txt");
    EXPECT_EQ(UpdaterExeName, L"updater.exe");
    EXPECT_EQ(UninstallerExeName, L"Uninstall.exe");
    EXPECT_EQ(LauncherExeName, L"launcher.exe");
    EXPECT_EQ(ChannelId, L"700001");
}
