#pragma once
// A base for the program's own reference-counted COM objects: it answers
// QueryInterface from a list of interfaces and counts references, so that
// each object writes only its own methods.
#include <windows.h>
#include <unknwn.h>

// One COM interface of the object, and the interface ids it answers with it
// (its own id, and those of the interfaces it extends).
template <class Interface, const IID&... Ids>
struct ComAnswer {
    using Type = Interface;
    static bool Matches(REFIID iid) { return ((iid == Ids) || ...); }
};

// Derives from the interface of every answer. The count starts at
// InitialCount (0 where the creator takes the first reference, 1 where
// creating counts as it); the last Release deletes the object.
template <ULONG InitialCount, class... Answers>
class ComObject : public Answers::Type... {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        // The first answer that lists the id gives the pointer.
        ((Answers::Matches(iid) ? (*out = static_cast<typename Answers::Type*>(this), true) : false) ||
         ...);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override
    {
        return static_cast<ULONG>(InterlockedIncrement(&m_refs));
    }
    STDMETHODIMP_(ULONG) Release() noexcept override
    {
        ULONG left = static_cast<ULONG>(InterlockedDecrement(&m_refs));
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    LONG m_refs = static_cast<LONG>(InitialCount);
};
