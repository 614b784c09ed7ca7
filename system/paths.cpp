#include "system/paths.h"

#include <windows.h>

bool EqualPathText(std::wstring_view a, std::wstring_view b)
{
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring NormalisedPath(const std::wstring& path)
{
    if (path.empty())
        return {};
    std::wstring full(32768, L'\0');
    DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    std::wstring longer(32768, L'\0');
    n = ::GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (n != 0 && n < longer.size()) {
        longer.resize(n);
        full = std::move(longer);
    }
    if (full.rfind(L"\\\\?\\", 0) == 0 && full.size() > 6 && full[5] == L':')
        full.erase(0, 4);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();
    return full;
}

bool SameDirectory(const std::wstring& a, const std::wstring& b)
{
    std::wstring na = NormalisedPath(a), nb = NormalisedPath(b);
    return !na.empty() && EqualPathText(na, nb);
}
