#pragma once
// Where the framework reads layouts and pictures from: the module instance,
// the resource path, and one of four resource kinds (loose files, a zip file
// on disk, module resources, or a zip package in memory).
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ui/ui_types.h"

namespace DuiLib {

class CResourceStore {
public:
    static void SetInstance(HINSTANCE hInst);
    static HINSTANCE GetInstance();
    static std::wstring GetInstancePath();  // directory of the module, with a backslash

    static void SetResourcePath(LPCWSTR path);  // keeps a trailing backslash
    static const std::wstring& GetResourcePath();
    static void SetResourceType(int type);
    static int GetResourceType();
    // A package in memory, read in place (not copied). False when malformed.
    static bool SetResourceZip(const void* data, size_t size, LPCWSTR password = nullptr);
    // A zip file under the resource path, read once into memory.
    static bool SetResourceZip(LPCWSTR zipFileName);
    static std::wstring GetResourceZipName();
    static void CloseResourceZip();
    // The skin's pictures drawn at twice their size (for scales above
    // 100 %): a package in memory of the same names, read in place.
    static bool SetDoubleSizePictures(const void* data, size_t size);
    static bool LoadDoubleSizePicture(LPCWSTR name, std::vector<uint8_t>& out);

    // Reads a file of the skin by name from the current resource kind.
    // resType names the resource type for UILIB_RESOURCE (default "FILE").
    static bool LoadFile(LPCWSTR name, std::vector<uint8_t>& out, LPCWSTR resType = nullptr);
    // Reads a resource of the module given to SetInstance; a name that is a
    // decimal number is taken as a resource id.
    static bool LoadModuleResource(LPCWSTR name, LPCWSTR type, std::vector<uint8_t>& out);
};

// An optional index of named resources ("res.xml"): maps image names to
// image descriptions. Absent index files are simply not registered.
class CResourceManager {
public:
    static CResourceManager* GetInstance();
    bool LoadResource(LPCWSTR xml, LPCWSTR type = nullptr);
    LPCWSTR GetImagePath(LPCWSTR name) const;
    void Release();

private:
    std::map<std::wstring, std::wstring> m_images;
};

}  // namespace DuiLib
