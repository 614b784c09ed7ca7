#include "payload/uninstall_window.h"

#include <cwchar>

#include "app/message_box.h"
#include "install/earlier_installation.h"
#include "ui/skin_setup.h"

using namespace DuiLib;

namespace {

constexpr UINT kMsgProgress = WM_APP + 0x401;  // wParam: percent
constexpr UINT kMsgRemoved = WM_APP + 0x402;
constexpr UINT kQuestionTwoButtons = 0x34;     // the installer's running-product question
constexpr DWORD kWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
static_assert(kWindowStyle == 0x10CE0000);
constexpr DWORD kWindowExStyle = WS_EX_STATICEDGE | WS_EX_APPWINDOW;
static_assert(kWindowExStyle == 0x00060000);

bool Is(const TNotifyUI& msg, const wchar_t* type) { return _wcsicmp(msg.sType.c_str(), type) == 0; }
bool Named(const TNotifyUI& msg, const wchar_t* name)
{
    return msg.pSender && _wcsicmp(msg.pSender->GetName().c_str(), name) == 0;
}

}  // namespace

void CWnd_Uninstall::OnFinalMessage(HWND hWnd) { WindowImplBase::OnFinalMessage(hWnd); }

void CWnd_Uninstall::InitWindow()
{
    m_pTab = static_cast<CTabLayoutUI*>(m_pm.FindControl(L"tab_uninstall_view"));
    m_pProgress = static_cast<CProgressUI*>(m_pm.FindControl(L"pro_uninstall"));
    m_pPercent = m_pm.FindControl(L"lab_uninstall_percent");
    m_pState = m_pm.FindControl(L"lab_state");
    m_pClose = m_pm.FindControl(L"closebtn");
    if (m_pState)
        m_pState->SetText(L"确定要卸载Vistral3.0吗？");
    // Enter answers at once; Tab reaches 取消.
    if (CControlUI* start = m_pm.FindControl(L"btn_uninstall_start")) {
        start->SetFocus();
        m_pm.SetDefaultButton(start);
    }
}

int CWnd_Uninstall::CurrentPage() const { return m_pTab ? m_pTab->GetCurSel() : kAsking; }

void CWnd_Uninstall::Notify(TNotifyUI& msg)
{
    if (Is(msg, L"click")) {
        if (Named(msg, L"btn_uninstall_start"))
            Start();
        else if (Named(msg, L"btn_cancel"))
            Cancel();
        else if (Named(msg, L"btn_finish"))
            Quit();
        else if (Named(msg, L"closebtn"))
            CurrentPage() == kAsking ? Cancel() : Quit();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CWnd_Uninstall::Start()
{
    if (CurrentPage() != kAsking)
        return;
    // The product runs from its folder: asked first, as the installer asks.
    const std::wstring dir = m_folder.FinalPath() + L"\\";
    if (AnyProcessIn(dir, m_link.ParentId()) &&
        ShowMessageBox(L"取消", m_hWnd, L"提示", L"Vistral3.0正在运行，卸载前需要关闭它。要关闭它并继续卸载吗？",
                       kQuestionTwoButtons, L"关闭并卸载") != kMsgBoxResultOk)
        return;
    m_pTab->SelectItem(kRemoving);
    m_pState->SetText(L"正在卸载");
    m_pClose->SetVisible(false);  // nothing stops a removal half done
    OnProgress(0);
    m_worker.Reset(CreateThread(nullptr, 0, Worker, this, 0, nullptr));
    if (!m_worker)
        Worker(this);  // on this thread, then
}

DWORD WINAPI CWnd_Uninstall::Worker(void* self)
{
    // Never touches a control: it posts.
    auto* wnd = static_cast<CWnd_Uninstall*>(self);
    HWND hWnd = wnd->m_hWnd;
    RemoveInstallation(wnd->m_folder, wnd->m_link.ParentId(), wnd->m_outcome,
                       [hWnd](int percent) { ::PostMessageW(hWnd, kMsgProgress, percent, 0); });
    ::PostMessageW(hWnd, kMsgRemoved, 0, 0);
    return 0;
}

void CWnd_Uninstall::OnProgress(int percent)
{
    m_pProgress->SetValue(percent);
    m_pPercent->SetText((std::to_wstring(percent) + L"%").c_str());
    m_pm.NotifyAccessibleEvent(EVENT_OBJECT_VALUECHANGE, m_pProgress);
}

void CWnd_Uninstall::OnRemoved()
{
    if (m_worker)
        WaitForSingleObject(m_worker.Get(), INFINITE);
    m_exitCode = ExitCodeOf(m_outcome);
    m_link.Report(m_exitCode);
    m_folderPath = m_folder.FinalPath();
    RemoveProgramAndFolder(m_folder, m_outcome);
    m_exitCode = ExitCodeOf(m_outcome);
    OnProgress(100);

    m_pTab->SelectItem(kFinished);
    m_pClose->SetVisible(true);
    m_pState->SetText(m_outcome.items.failed ? L"卸载完成，部分文件正在使用，未能删除" : L"卸载完成");
    std::wstring data = m_outcome.userDataDir.empty()
                            ? std::wstring(L"您的用户数据已保留。")
                            : L"您的用户数据保留在 " + m_outcome.userDataDir;
    m_pm.FindControl(L"lab_finish_data")->SetText(data.c_str());
    std::wstring folder = m_outcome.folderKept
                              ? L"您添加的文件保留在 " + m_folderPath
                              : std::wstring();
    m_pm.FindControl(L"lab_finish_folder")->SetText(folder.c_str());
    CControlUI* finish = m_pm.FindControl(L"btn_finish");
    finish->SetFocus();
    m_pm.SetDefaultButton(finish);
    m_pm.NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, m_pState);
}

void CWnd_Uninstall::Cancel()
{
    m_exitCode = kExitCancelled;
    Quit();
}

void CWnd_Uninstall::Quit()
{
    Close(1);
}

LRESULT CWnd_Uninstall::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (CurrentPage() == kRemoving) {
        bHandled = TRUE;  // not while removing
        return 0;
    }
    PostQuitMessage(0);
    bHandled = FALSE;
    return 0;
}

LRESULT CWnd_Uninstall::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (uMsg == kMsgProgress) {
        OnProgress(static_cast<int>(wParam));
        return 0;
    }
    if (uMsg == kMsgRemoved) {
        OnRemoved();
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

int RunUninstallWindow(CopyLink& link, CheckedDir& folder)
{
    SetupSkinPackage(GetModuleHandleW(nullptr));
    CWnd_Uninstall wnd(link, folder);
    HWND hwnd = wnd.Create(nullptr, L"Vistral3.0卸载程序", kWindowStyle, kWindowExStyle, 0, 0, 600, 400);
    if (!hwnd)
        return kExitCannotStart;
    wnd.CenterWindow();
    ShowWindow(hwnd, SW_SHOW);
    CPaintManagerUI::MessageLoop();
    return wnd.ExitCode();
}
