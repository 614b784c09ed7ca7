#pragma once
// Owners for the Windows handles that every library opens (kernel objects,
// registry keys, searches, GDI objects, icons), so that every return path
// frees what it made: one small template with an alias per kind.
#include <windows.h>

#include <utility>

// A null handle: the "none" value of most kinds.
template <class T>
constexpr T NullValueOf()
{
    return nullptr;
}

// Owns one handle of type T, freed with Close. Empty is the value the
// opening API reports for failure; both it and null count as empty.
template <class T, auto Close, T (*Empty)() = NullValueOf<T>>
class unique_any {
public:
    unique_any() = default;
    explicit unique_any(T h) : m_h(h) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& o) noexcept : m_h(o.Release()) {}
    unique_any& operator=(unique_any&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    ~unique_any() { Reset(); }

    // Spelled as ComPtr's methods are.
    T Get() const { return m_h; }
    bool Valid() const { return m_h != Empty() && m_h != nullptr; }
    explicit operator bool() const { return Valid(); }
    // For an out-parameter: frees the old handle and gives its slot.
    T* Put()
    {
        Reset();
        return &m_h;
    }
    T Release() { return std::exchange(m_h, Empty()); }
    void Reset(T h = Empty())
    {
        if (Valid() && m_h != h)
            Close(m_h);
        m_h = h;
    }

private:
    T m_h = Empty();
};

// Closing must not disturb a last error the caller is about to read.
inline void CloseKernelHandle(HANDLE h)
{
    DWORD saved = GetLastError();
    CloseHandle(h);
    SetLastError(saved);
}
inline void CloseRegKey(HKEY key) { RegCloseKey(key); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteMemoryDC(HDC h) { DeleteDC(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

// Process, thread, token and mutex handles: failure is null.
using UniqueHandle = unique_any<HANDLE, CloseKernelHandle>;
// CreateFileW and CreateToolhelp32Snapshot report failure as INVALID_HANDLE_VALUE.
using UniqueFileHandle = unique_any<HANDLE, CloseKernelHandle, InvalidHandleValue>;
// An open registry key.
using UniqueRegKey = unique_any<HKEY, CloseRegKey>;
// A directory search of FindFirstFileExW, ended with FindClose.
using UniqueFindHandle = unique_any<HANDLE, CloseFind, InvalidHandleValue>;

// The window framework's GDI objects and icons.
using unique_hbrush = unique_any<HBRUSH, DeleteGdiObject>;
using unique_hbitmap = unique_any<HBITMAP, DeleteGdiObject>;
using unique_hrgn = unique_any<HRGN, DeleteGdiObject>;
using unique_hpen = unique_any<HPEN, DeleteGdiObject>;
using unique_hfont = unique_any<HFONT, DeleteGdiObject>;
using unique_hdc = unique_any<HDC, DeleteMemoryDC>;
using unique_hicon = unique_any<HICON, DestroyIconHandle>;
