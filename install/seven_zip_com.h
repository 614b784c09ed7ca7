#pragma once
// The 7-Zip interfaces the extraction layer talks to, and the library's
// in-process object factory. The interface ids are defined by the library.
#include <windows.h>

#include <cstdint>

#include <wrl/client.h>

#include "7zip/CPP/Common/MyWindows.h"
#include "7zip/CPP/7zip/Archive/IArchive.h"
#include "7zip/CPP/7zip/ICoder.h"
#include "7zip/CPP/7zip/IPassword.h"
#include "7zip/CPP/7zip/IProgress.h"
#include "7zip/CPP/7zip/IStream.h"
#include "7zip/CPP/7zip/PropID.h"

#include "system/com_object.h"

// Creates a handler or codec object of the linked 7-Zip code by class id.
STDAPI CreateObject(const GUID* clsid, const GUID* iid, void** out);

namespace SevenZip {

using Microsoft::WRL::ComPtr;

namespace intl {

// Owns one property value read from an archive handler.
class PropValue {
public:
    PropValue() { ::PropVariantInit(&value_); }
    ~PropValue() { ::PropVariantClear(&value_); }
    PropValue(const PropValue&) = delete;
    PropValue& operator=(const PropValue&) = delete;

    PROPVARIANT* Receive()
    {
        ::PropVariantClear(&value_);
        return &value_;
    }
    const PROPVARIANT& operator*() const { return value_; }
    const PROPVARIANT* operator->() const { return &value_; }

private:
    PROPVARIANT value_;
};

// An unsigned integer property of any width; false for other types.
inline bool UnsignedValue(const PROPVARIANT& p, uint64_t& v)
{
    switch (p.vt) {
    case VT_UI1: v = p.bVal; return true;
    case VT_UI2: v = p.uiVal; return true;
    case VT_UI4: v = p.ulVal; return true;
    case VT_UI8: v = p.uhVal.QuadPart; return true;
    default: return false;
    }
}

}  // namespace intl
}  // namespace SevenZip
