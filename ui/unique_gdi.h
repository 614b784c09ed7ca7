#pragma once
// Owners of the framework's GDI handles: one small template (get, put for
// out-parameters, release, reset, move) with an alias per kind, so that
// every return path frees what it made.
#include <windows.h>

#include <utility>

namespace DuiLib {

template <class T, auto Close>
class unique_any {
public:
    unique_any() = default;
    explicit unique_any(T h) : m_h(h) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& o) noexcept : m_h(o.release()) {}
    unique_any& operator=(unique_any&& o) noexcept
    {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    ~unique_any() { reset(); }

    T get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    // For an out-parameter: frees the old handle and gives its slot.
    T* put()
    {
        reset();
        return &m_h;
    }
    T release() { return std::exchange(m_h, nullptr); }
    void reset(T h = nullptr)
    {
        if (m_h && m_h != h)
            Close(m_h);
        m_h = h;
    }

private:
    T m_h = nullptr;
};

inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void DeleteMemoryDC(HDC h) { ::DeleteDC(h); }

using unique_hbrush = unique_any<HBRUSH, DeleteGdiObject>;
using unique_hbitmap = unique_any<HBITMAP, DeleteGdiObject>;
using unique_hrgn = unique_any<HRGN, DeleteGdiObject>;
using unique_hpen = unique_any<HPEN, DeleteGdiObject>;
using unique_hdc = unique_any<HDC, DeleteMemoryDC>;

}  // namespace DuiLib
