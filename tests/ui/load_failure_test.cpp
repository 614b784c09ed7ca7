// A layout missing from the package ends the process with exit code 1
// after the system message box "加载资源文件失败：" + the skin file name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct BoxSearch {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lp)
{
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    wchar_t title[64] = {};
    GetWindowTextW(hWnd, title, 64);
    if (pid == search->pid && wcscmp(title, L"Duilib") == 0) {
        search->box = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND hWnd, LPARAM lp)
{
    wchar_t text[256] = {};
    GetWindowTextW(hWnd, text, 256);
    *reinterpret_cast<std::wstring*>(lp) += text;
    *reinterpret_cast<std::wstring*>(lp) += L"\n";
    return TRUE;
}

}  // namespace

TEST(LoadFailure, MissingLayoutShowsTheMessageAndExitsWithOne)
{
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_GT(n, 0u);
    std::wstring path(self, n);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"ui_load_failure_child.exe";
    std::wstring cmd = L"\"" + path + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    BoxSearch search{pi.dwProcessId, nullptr};
    for (int i = 0; i < 300 && !search.box; ++i) {
        if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0)
            break;
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    }
    std::wstring text;
    if (search.box) {
        EnumChildWindows(search.box, CollectText, reinterpret_cast<LPARAM>(&text));
        PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    }
    DWORD waited = WaitForSingleObject(pi.hProcess, 20000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_NE(search.box, nullptr) << "no message box titled Duilib";
    EXPECT_NE(text.find(L"加载资源文件失败：no_such_layout.xml"), std::wstring::npos);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 1u);
}
