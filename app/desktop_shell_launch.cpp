#include "app/desktop_shell_launch.h"

#include <windows.h>

#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <wrl/client.h>

#include "system/com_owners.h"

using Microsoft::WRL::ComPtr;

namespace {

// A VARIANT holding a borrowed BSTR (the UniqueBstr frees it), or nothing.
VARIANT BstrVariant(const UniqueBstr& text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return v;
}

VARIANT IntVariant(int value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// The desktop window's shell view, through the shell's window list.
ComPtr<IShellView> DesktopShellView()
{
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(&windows))))
        return nullptr;
    VARIANT location;
    VariantInit(&location);
    VARIANT root;
    VariantInit(&root);
    long hwnd = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                              &desktop) != S_OK ||
        !desktop)
        return nullptr;
    ComPtr<IServiceProvider> services;
    if (FAILED(desktop.As(&services)))
        return nullptr;
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))))
        return nullptr;
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(&view)))
        return nullptr;
    return view;
}

}  // namespace

bool ShellExecuteThroughDesktop(const std::wstring& path)
{
    ComInitScope com;
    ComPtr<IShellView> view = DesktopShellView();
    if (!view)
        return false;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))))
        return false;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background.As(&folderView)))
        return false;
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(&application)) || !application)
        return false;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(application.As(&shell)))
        return false;

    UniqueBstr file(path);
    UniqueBstr verb(L"open");
    UniqueBstr none(L"");
    if (!file || !verb || !none)
        return false;
    return SUCCEEDED(shell->ShellExecute(file.Get(), BstrVariant(none), BstrVariant(none),
                                         BstrVariant(verb), IntVariant(SW_SHOWNORMAL)));
}

LaunchRoute LaunchAsDesktopUser(const std::wstring& path)
{
    if (ShellExecuteThroughDesktop(path))
        return LaunchRoute::DesktopShell;
    auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return started > 32 ? LaunchRoute::Direct : LaunchRoute::Failed;
}
