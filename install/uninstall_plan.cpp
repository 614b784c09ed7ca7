#include "install/uninstall_plan.h"

#include <windows.h>

#include <algorithm>

#include <pugixml.hpp>

namespace {

bool EqualNoCase(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsUsableName(std::wstring_view name)
{
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"/:*?\"<>|") == std::wstring_view::npos;
}

}  // namespace

bool PathBelow(const std::wstring& path, const std::wstring& folder, RelativePath& names)
{
    names.clear();
    std::wstring_view base(folder);
    while (!base.empty() && base.back() == L'\\')
        base.remove_suffix(1);
    if (base.empty() || path.size() <= base.size() + 1 || path[base.size()] != L'\\' ||
        !EqualNoCase(std::wstring_view(path).substr(0, base.size()), base))
        return false;
    std::wstring_view rest = std::wstring_view(path).substr(base.size() + 1);
    for (;;) {
        size_t cut = rest.find(L'\\');
        std::wstring_view name = rest.substr(0, cut);
        if (!IsUsableName(name)) {
            names.clear();
            return false;
        }
        names.emplace_back(name);
        if (cut == std::wstring_view::npos)
            return true;
        rest.remove_prefix(cut + 1);
    }
}

bool ParseUninstallManifest(std::string_view utf8, const std::wstring& folder, UninstallPlan& plan)
{
    plan = UninstallPlan();
    pugi::xml_document doc;
    if (!doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8))
        return false;
    pugi::xml_node internal = doc.child(L"Uninstall").child(L"Internal");
    for (pugi::xml_node item = internal.first_child(); item; item = item.next_sibling()) {
        std::wstring_view kind = item.name();
        bool isFile = kind == L"File";
        if (!isFile && kind != L"Dir")
            continue;
        RelativePath names;
        if (!PathBelow(item.attribute(L"path").value(), folder, names)) {
            ++plan.outside;
            continue;
        }
        (isFile ? plan.files : plan.dirs).push_back(std::move(names));
    }
    // A directory goes only once it is empty: the ones below it first.
    std::stable_sort(plan.dirs.begin(), plan.dirs.end(),
                     [](const RelativePath& a, const RelativePath& b) { return a.size() > b.size(); });
    return true;
}

std::wstring UninstallCommandProgram(const std::wstring& command)
{
    size_t start = command.find_first_not_of(L' ');
    if (start == std::wstring::npos)
        return {};
    if (command[start] != L'"')
        return command.substr(start);
    size_t end = command.find(L'"', start + 1);
    if (end == std::wstring::npos)
        return {};
    return command.substr(start + 1, end - start - 1);
}
