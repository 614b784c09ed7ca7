#include "ui/skin_setup.h"

#include "ui/paint_manager.h"
#include "ui/resource_store.h"
#include "system/embedded_resource.h"

namespace {

constexpr int kSkinPackageId = 102;
// The package's pictures drawn at twice their size, carried beside it.
constexpr int kDoubleSizePicturesId = 109;


}  // namespace

bool SetupSkinPackage(HINSTANCE instance)
{
    using DuiLib::CPaintManagerUI;
    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetResourceType(DuiLib::UILIB_ZIPRESOURCE);
    CPaintManagerUI::SetResourcePath((CPaintManagerUI::GetInstancePath() + L"skin_inst\\").c_str());

    // The package stays valid after the hand-over: it lives in the module's
    // mapped image.
    std::span<const uint8_t> package =
        EmbeddedResource(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kSkinPackageId), L"ZIPRES");
    bool handedOver = false;
    if (!package.empty())
        handedOver = DuiLib::CResourceStore::SetResourceZip(package.data(), package.size());
    std::span<const uint8_t> large = EmbeddedResource(
        CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kDoubleSizePicturesId), L"ZIPRES");
    if (!large.empty())
        DuiLib::CResourceStore::SetDoubleSizePictures(large.data(), large.size());
    // The package carries no resource index; asked for all the same, the
    // answer does not matter.
    DuiLib::CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    return handedOver;
}
