#include "app/string_bundle.h"

#include <windows.h>

#include <pugixml.hpp>

#include "system/embedded_resource.h"

namespace {

constexpr int kBundleResourceId = 104;
constexpr wchar_t kBundleResourceType[] = L"LANG";
constexpr wchar_t kTrimmed[] = L" \t\n\r\f\v";

std::wstring Utf8ZToWide(const std::string& bytes)
{
    // Read as NUL-terminated: conversion stops at the first zero byte.
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, wide.data(), n) != n)
        return {};
    wide.resize(static_cast<size_t>(n) - 1);
    return wide;
}

std::string ReadOwnResource(int id, const wchar_t* type)
{
    std::span<const uint8_t> bytes = EmbeddedResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), type);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

CStringBundle& CStringBundle::Instance()
{
    static CStringBundle bundle;
    return bundle;
}

CStringBundle::CStringBundle()
{
    Load();
}

void CStringBundle::Load()
{
    // Only the Chinese table ships; there is no resource for any other index.
    if (languageIndex_ != 0)
        return;
    table_ = ParseTable(ReadOwnResource(kBundleResourceId, kBundleResourceType));
}

std::map<std::wstring, std::wstring> CStringBundle::ParseTable(std::string_view utf8)
{
    std::map<std::wstring, std::wstring> table;
    std::wstring text = Utf8ZToWide(std::string(utf8));
    if (text.empty())
        return table;

    pugi::xml_document doc;
    if (!doc.load_string(text.c_str()))
        return table;

    pugi::xml_node root = doc.child(L"StringBundle");
    for (pugi::xml_node s = root.child(L"String"); s; s = s.next_sibling(L"String"))
        table[s.attribute(L"id").value()] = s.text().get();
    return table;
}

std::wstring CStringBundle::Trim(const std::wstring& text)
{
    size_t first = text.find_first_not_of(kTrimmed);
    if (first == std::wstring::npos)
        return {};
    size_t last = text.find_last_not_of(kTrimmed);
    return text.substr(first, last - first + 1);
}

std::wstring CStringBundle::GetString(const std::wstring& id) const
{
    auto it = table_.find(id);
    return it == table_.end() ? std::wstring() : Trim(it->second);
}

std::wstring CStringBundle::GetLanguageCode()
{
    if (languageCode_.empty())
        languageCode_ = languageIndex_ == 1 ? L"en_US" : L"zh_CN";
    return languageCode_;
}

std::wstring GetString(const std::wstring& id)
{
    return CStringBundle::Instance().GetString(id);
}

std::wstring GetLanguageCode()
{
    return CStringBundle::Instance().GetLanguageCode();
}
