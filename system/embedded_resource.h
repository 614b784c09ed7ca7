#pragma once
// The bytes of a resource embedded in a module, read in place: resources
// stay mapped for as long as the module is loaded, so nothing is copied or
// freed.
#include <windows.h>

#include <cstdint>
#include <span>

// The resource's bytes; an empty view with no data when the module has no
// such resource or it cannot be loaded (an empty resource has data but no
// bytes). A null module is the running executable.
inline std::span<const uint8_t> EmbeddedResource(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}
