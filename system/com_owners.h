#pragma once
// Owners for COM initialisation and for memory the shell and the security
// functions hand out, so that every early return releases them.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include <utility>

// A reference to a COM object, released when the owner goes.
using Microsoft::WRL::ComPtr;

// COM initialised on this thread for the owner's lifetime. Uninitialised
// only when the initialisation succeeded (S_FALSE included), as COM counts.
class ComInitScope {
public:
    ComInitScope() : hr_(CoInitialize(nullptr)) {}
    ~ComInitScope()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComInitScope(const ComInitScope&) = delete;
    ComInitScope& operator=(const ComInitScope&) = delete;

private:
    HRESULT hr_;
};

// Memory to be freed with Free (CoTaskMemFree, LocalFree).
template <typename T, auto Free>
class UniqueMemory {
public:
    UniqueMemory() = default;
    explicit UniqueMemory(T* p) : p_(p) {}
    ~UniqueMemory() { Reset(); }
    UniqueMemory(const UniqueMemory&) = delete;
    UniqueMemory& operator=(const UniqueMemory&) = delete;
    UniqueMemory(UniqueMemory&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}

    T* Get() const { return p_; }
    // For functions that return the allocation through an out parameter.
    T** Receive()
    {
        Reset();
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset()
    {
        if (p_)
            Free(p_);
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

inline void FreeCoTaskMem(void* p) { CoTaskMemFree(p); }
inline void FreeLocal(void* p) { LocalFree(p); }

// Shell item lists and strings from the shell's allocator.
template <typename T>
using UniqueCoTaskMem = UniqueMemory<T, FreeCoTaskMem>;
// Security descriptors and similar from LocalAlloc.
template <typename T>
using UniqueLocal = UniqueMemory<T, FreeLocal>;

// A BSTR made from a wide string, for the shell's automation interfaces.
class UniqueBstr {
public:
    explicit UniqueBstr(const std::wstring& text)
        : b_(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size())))
    {
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(b_); }

    BSTR Get() const { return b_; }
    explicit operator bool() const { return b_ != nullptr; }

private:
    BSTR b_;
};
