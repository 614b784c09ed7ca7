#include "ui/skin_setup.h"

#include "ui/paint_manager.h"
#include "ui/resource_store.h"

namespace {

constexpr int kSkinPackageId = 102;

// Releases the loaded resource when the hand-over is done; the package data
// itself stays valid, as it lives in the module's mapped image.
class LoadedResource {
public:
    LoadedResource(HINSTANCE instance, HRSRC res)
        : m_mem(res ? ::LoadResource(instance, res) : nullptr)
    {
    }
    ~LoadedResource()
    {
        if (m_mem)
            ::FreeResource(m_mem);
    }
    LoadedResource(const LoadedResource&) = delete;
    LoadedResource& operator=(const LoadedResource&) = delete;
    HGLOBAL Get() const { return m_mem; }

private:
    HGLOBAL m_mem;
};

}  // namespace

bool SetupSkinPackage(HINSTANCE instance)
{
    using DuiLib::CPaintManagerUI;
    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetResourceType(DuiLib::UILIB_ZIPRESOURCE);
    CPaintManagerUI::SetResourcePath((CPaintManagerUI::GetInstancePath() + L"skin_inst\\").c_str());

    HINSTANCE module = CPaintManagerUI::GetInstance();
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(kSkinPackageId), L"ZIPRES");
    LoadedResource loaded(module, res);
    DWORD size = res ? ::SizeofResource(module, res) : 0;
    void* data = loaded.Get() ? ::LockResource(loaded.Get()) : nullptr;
    bool handedOver = false;
    if (data && size)
        handedOver = CPaintManagerUI::SetResourceZip(data, size, nullptr);
    // The package carries no resource index; asked for all the same, the
    // answer does not matter.
    DuiLib::CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    return handedOver;
}
