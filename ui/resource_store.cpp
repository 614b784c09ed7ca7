#include "ui/resource_store.h"

#include <pugixml.hpp>

#include <algorithm>

#include "system/embedded_resource.h"
#include "system/win_handles.h"
#include "ui/zip_package.h"

namespace DuiLib {

namespace {

struct Store {
    HINSTANCE instance = nullptr;
    std::wstring path;
    int type = UILIB_FILE;
    CZipPackage zip;
    CZipPackage doubleSize;
    std::wstring zipName;
    std::vector<uint8_t> ownedZip;  // a zip file read from disk
};

Store& S()
{
    static Store s;
    return s;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    HANDLE h = file.Get();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size) || size.QuadPart > 256 * 1024 * 1024)
        return false;
    out.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!out.empty() && (!::ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr) ||
                         got != out.size()))
        return false;
    return true;
}

bool IsAbsolutePath(LPCWSTR name)
{
    return name[0] && (name[1] == L':' || (name[0] == L'\\' && name[1] == L'\\'));
}

}  // namespace

void CResourceStore::SetInstance(HINSTANCE hInst) { S().instance = hInst; }

HINSTANCE CResourceStore::GetInstance()
{
    return S().instance ? S().instance : GetModuleHandleW(nullptr);
}

std::wstring CResourceStore::GetInstancePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(GetInstance(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void CResourceStore::SetResourcePath(LPCWSTR path)
{
    S().path = path ? path : L"";
    if (!S().path.empty() && S().path.back() != L'\\')
        S().path += L'\\';
}

const std::wstring& CResourceStore::GetResourcePath() { return S().path; }
void CResourceStore::SetResourceType(int type) { S().type = type; }
int CResourceStore::GetResourceType() { return S().type; }

bool CResourceStore::SetResourceZip(const void* data, size_t size, LPCWSTR /*password*/)
{
    CloseResourceZip();
    if (!S().zip.Open(data, size))
        return false;
    S().zipName = L"membuffer";
    return true;
}

bool CResourceStore::SetResourceZip(LPCWSTR zipFileName)
{
    CloseResourceZip();
    std::wstring path = IsAbsolutePath(zipFileName) ? zipFileName : S().path + zipFileName;
    if (!ReadWholeFile(path, S().ownedZip) || !S().zip.Open(S().ownedZip.data(), S().ownedZip.size())) {
        S().ownedZip.clear();
        return false;
    }
    S().zipName = zipFileName;
    return true;
}

std::wstring CResourceStore::GetResourceZipName() { return S().zipName; }

void CResourceStore::CloseResourceZip()
{
    S().zip.Close();
    S().zipName.clear();
    S().ownedZip.clear();
    S().ownedZip.shrink_to_fit();
}

bool CResourceStore::SetDoubleSizePictures(const void* data, size_t size)
{
    S().doubleSize.Close();
    return S().doubleSize.Open(data, size);
}

bool CResourceStore::LoadDoubleSizePicture(LPCWSTR name, std::vector<uint8_t>& out)
{
    out.clear();
    return name && *name && S().doubleSize.IsOpen() && S().doubleSize.Read(name, out);
}

bool CResourceStore::LoadFile(LPCWSTR name, std::vector<uint8_t>& out, LPCWSTR resType)
{
    out.clear();
    if (!name || !*name)
        return false;
    switch (S().type) {
    case UILIB_ZIP:
    case UILIB_ZIPRESOURCE:
        return S().zip.Read(name, out);
    case UILIB_RESOURCE:
        return LoadModuleResource(name, resType ? resType : L"FILE", out);
    default:
        return ReadWholeFile(IsAbsolutePath(name) ? name : S().path + name, out);
    }
}

bool CResourceStore::LoadModuleResource(LPCWSTR name, LPCWSTR type, std::vector<uint8_t>& out)
{
    out.clear();
    if (!name || !*name || !type || !*type)
        return false;
    HINSTANCE inst = GetInstance();
    bool numeric = std::all_of(name, name + wcslen(name), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    LPCWSTR id = numeric ? MAKEINTRESOURCEW(_wtoi(name)) : name;
    LPCWSTR rtype = type;
    if (_wcsicmp(type, L"RT_RCDATA") == 0)
        rtype = MAKEINTRESOURCEW(10);  // RT_RCDATA
    std::span<const uint8_t> bytes = EmbeddedResource(inst, id, rtype);
    if (!bytes.data())
        return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

CResourceManager* CResourceManager::GetInstance()
{
    static CResourceManager manager;
    return &manager;
}

bool CResourceManager::LoadResource(LPCWSTR xml, LPCWSTR type)
{
    std::vector<uint8_t> bytes;
    if (!CResourceStore::LoadFile(xml, bytes, type))
        return false;
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto))
        return false;
    for (pugi::xml_node node : doc.document_element().children()) {
        const wchar_t* name = node.attribute(L"name").value();
        if (_wcsicmp(node.name(), L"Image") == 0 && *name)
            m_images[name] = node.attribute(L"value").value();
    }
    return true;
}

LPCWSTR CResourceManager::GetImagePath(LPCWSTR name) const
{
    auto it = name ? m_images.find(name) : m_images.end();
    return it == m_images.end() ? nullptr : it->second.c_str();
}

void CResourceManager::Release() { m_images.clear(); }

}  // namespace DuiLib
