#pragma once
// Owners for the Windows handles the probes and the engine open, so that every
// early return releases them.
#include <windows.h>

#include <utility>

// A kernel handle whose "none" value is given (null or INVALID_HANDLE_VALUE).
template <HANDLE (*Invalid)()>
class BasicUniqueHandle {
public:
    BasicUniqueHandle() = default;
    explicit BasicUniqueHandle(HANDLE h) : h_(h) {}
    BasicUniqueHandle(const BasicUniqueHandle&) = delete;
    BasicUniqueHandle& operator=(const BasicUniqueHandle&) = delete;
    BasicUniqueHandle(BasicUniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid())) {}
    BasicUniqueHandle& operator=(BasicUniqueHandle&& o) noexcept
    {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, Invalid());
        }
        return *this;
    }
    ~BasicUniqueHandle() { Reset(); }

    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != Invalid() && h_ != nullptr; }
    explicit operator bool() const { return Valid(); }
    void Reset()
    {
        if (Valid()) {
            // Closing must not disturb a last error the caller is about to read.
            DWORD saved = GetLastError();
            CloseHandle(h_);
            SetLastError(saved);
        }
        h_ = Invalid();
    }

private:
    HANDLE h_ = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

// Process, thread and snapshot handles: failure is null or INVALID_HANDLE_VALUE
// depending on the API; both count as empty.
using UniqueHandle = BasicUniqueHandle<NullHandleValue>;
// CreateFileW and CreateToolhelp32Snapshot report failure as INVALID_HANDLE_VALUE.
using UniqueFileHandle = BasicUniqueHandle<InvalidHandleValue>;

// An open registry key.
class UniqueRegKey {
public:
    UniqueRegKey() = default;
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;
    ~UniqueRegKey() { Reset(); }

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    void Reset(HKEY key = nullptr)
    {
        if (key_)
            RegCloseKey(key_);
        key_ = key;
    }

private:
    HKEY key_ = nullptr;
};

// An open FindFirstFileW enumeration.
class UniqueFind {
public:
    explicit UniqueFind(HANDLE h) : h_(h) {}
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;
    ~UniqueFind()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            FindClose(h_);
    }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};
