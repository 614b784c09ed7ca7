#include "install/destination_files.h"

#include "system/directory_chain.h"

namespace SevenZip::intl {
namespace {

bool IsFullPath(const std::wstring& path)
{
    bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
               (path[1] == L'\\' || path[1] == L'/');
    return drive || unc;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

bool MakeDirectoryChain(const std::wstring& dir)
{
    if (!IsFullPath(dir))
        return false;
    // By name: dir is the destination the user chose, opened and checked
    // right after.
    std::wstring chain = dir;
    if (chain.back() != L'\\' && chain.back() != L'/')
        chain += L'\\';
    if (CreateDirectoryChain(chain) == ChainOutcome::Failed)
        return false;
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(attributes);
}

}  // namespace SevenZip::intl
