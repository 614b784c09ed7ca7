#include "install/archive_format.h"

namespace SevenZip {
namespace {

// {23170F69-40C1-278A-1000-0001100X0000}: 7-Zip's handler class ids differ
// in one byte only.
constexpr GUID HandlerGuid(unsigned char id)
{
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, id, 0x00, 0x00}};
}

constexpr GUID kClsid7z = HandlerGuid(0x07);
constexpr GUID kClsidZip = HandlerGuid(0x01);
constexpr GUID kClsidCab = HandlerGuid(0x08);
constexpr GUID kClsidLzma = HandlerGuid(0x0A);
constexpr GUID kClsidLzma86 = HandlerGuid(0x0B);

}  // namespace

const GUID& HandlerClassId(ArchiveFormat format)
{
    switch (format) {
    case kFormatZip: return kClsidZip;
    case kFormatCab: return kClsidCab;
    case kFormatLzma: return kClsidLzma;
    case kFormatLzma86: return kClsidLzma86;
    default: return kClsid7z;
    }
}

HRESULT CreateArchiveHandler(ArchiveFormat format, ComPtr<IInArchive>& handler)
{
    handler.Reset();
    return ::CreateObject(&HandlerClassId(format), &IID_IInArchive,
                          reinterpret_cast<void**>(handler.ReleaseAndGetAddressOf()));
}

}  // namespace SevenZip
