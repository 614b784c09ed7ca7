#include "system/special_folders.h"

#include <gtest/gtest.h>
#include <initguid.h>
#include <knownfolders.h>

namespace {

TEST(SpecialFolders, BothLookUpsNameTheSameFoldersWithoutBackslash)
{
    struct {
        int csidl;
        const KNOWNFOLDERID* known;
    } folders[] = {
        {CSIDL_COMMON_PROGRAMS, &FOLDERID_CommonPrograms},
        {CSIDL_COMMON_DESKTOPDIRECTORY, &FOLDERID_PublicDesktop},
        {CSIDL_APPDATA, &FOLDERID_RoamingAppData},
        {CSIDL_PROGRAM_FILES, &FOLDERID_ProgramFiles},
    };
    for (const auto& f : folders) {
        const std::wstring path = SpecialFolderPath(f.csidl);
        SCOPED_TRACE(testing::PrintToString(path));
        ASSERT_GT(path.size(), 3u);
        EXPECT_EQ(path[1], L':');
        EXPECT_NE(path.back(), L'\\');
        EXPECT_EQ(path, KnownFolderPath(*f.known));
    }
    EXPECT_EQ(SpecialFolderPath(0x7F), L"");  // no such folder
}

}  // namespace
