#include "system/directory_chain.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Where the first directory to make may start: after "\\server\share\",
// else at the beginning. A drive is looked at as "X:", so that a drive that
// is not there fails with the system's code for it.
size_t RootLength(const std::wstring& path)
{
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t server = path.find_first_of(L"\\/", 2);
        if (server == std::wstring::npos)
            return path.size();
        size_t share = path.find_first_of(L"\\/", server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return 0;
}

}  // namespace

ChainOutcome CreateDirectoryChain(const std::wstring& path)
{
    ChainOutcome outcome = ChainOutcome::AllExisted;
    for (size_t at = path.find_first_of(L"\\/", RootLength(path)); at != std::wstring::npos;
         at = path.find_first_of(L"\\/", at + 1)) {
        std::wstring prefix = path.substr(0, at);
        if (!prefix.empty() && ::PathFileExistsW(prefix.c_str()))
            continue;
        // By name: the chain is a folder the user chose in front of the
        // window, or the system's programs folder. What is made here is
        // empty; everything put in it later goes through a checked handle.
        if (::CreateDirectoryW(prefix.c_str(), nullptr))
            outcome = ChainOutcome::Created;
        else if (::GetLastError() != ERROR_ALREADY_EXISTS)  // made by another meanwhile
            return ChainOutcome::Failed;
    }
    return outcome;
}
