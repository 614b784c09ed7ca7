#include "app/program_dirs.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "install/registry_registration.h"
#include "system/installer_constants.h"
#include "system/special_folders.h"

namespace {

constexpr size_t kPathChars = MAX_PATH;  // the product reads paths of at most 259 characters

}  // namespace

std::wstring ProductDirIn(const std::wstring& folder)
{
    std::wstring dir = folder + L"\\" + RegName + L"\\";
    if (dir.size() >= kPathChars)
        return {};
    return dir;
}

std::wstring ProgramFilesDir64(HWND owner)
{
    std::wstring dir = ReadProgramFilesDir();
    if (!dir.empty())
        return dir;
    dir = SpecialFolderPath(CSIDL_PROGRAM_FILES, owner);
    if (dir.empty())
        return {};
    // A 32-bit process is told the x86 folder; the product is 64-bit.
    size_t x86 = dir.find(L"Program Files (x86)");
    if (x86 != std::wstring::npos) {
        std::wstring candidate = dir.substr(0, x86) + L"Program Files";
        if (PathFileExistsW(candidate.c_str()))
            dir = candidate;
    }
    return dir;
}

std::wstring DefaultProgramDir(HWND owner, const std::wstring& earlierDir)
{
    if (!earlierDir.empty())
        return earlierDir;  // exactly as stored: the product lives there
    return ProductDirIn(ProgramFilesDir64(owner));
}
