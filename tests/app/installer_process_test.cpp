// The installer executable itself under Wine: DLLs planted beside it are
// never loaded, and the product is started as the signed-in user (through
// the desktop shell, or directly where the shell offers no such path). Its
// image is mapped without reading the payload it carries.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/desktop_shell_launch.h"
#include "app/dll_search.h"
#include "app/installer_messages.h"

namespace {

std::wstring ScratchDir(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring BesideThisTest(const wchar_t* file)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.rfind(L'\\') + 1) + file;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The first visible top-level window of that class in process pid, waited for.
HWND WaitForWindow(const wchar_t* className, DWORD pid, DWORD ms)
{
    for (DWORD waited = 0; waited < ms; waited += 100) {
        for (HWND w = FindWindowW(className, nullptr); w; w = FindWindowExW(nullptr, w, className, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w))
                return w;
        }
        Sleep(100);
    }
    return nullptr;
}

// A scratch folder holding a copy of program and a marker DLL under every
// run-time DLL name of the installer.
struct PlantedFolder {
    std::wstring dir;
    std::wstring exe;
    PlantedFolder(const wchar_t* tag, const std::wstring& program, const wchar_t* exeName)
        : dir(ScratchDir(tag)), exe(dir + exeName)
    {
        ok = CopyFileW(program.c_str(), exe.c_str(), FALSE) != FALSE;
        for (size_t i = 0; i < kRunTimeDllCount; ++i)
            ok = ok && CopyFileW(BesideThisTest(L"kx_marker.dll").c_str(),
                                 (dir + kRunTimeDllNames[i]).c_str(), FALSE);
    }
    ~PlantedFolder()
    {
        for (size_t i = 0; i < kRunTimeDllCount; ++i) {
            DeleteFileW((dir + kRunTimeDllNames[i] + L".loaded").c_str());
            DeleteFileW((dir + kRunTimeDllNames[i]).c_str());
        }
        DeleteFileW(exe.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    // The names whose planted copy was loaded.
    std::string Loaded() const
    {
        std::string names;
        for (size_t i = 0; i < kRunTimeDllCount; ++i) {
            std::wstring name = kRunTimeDllNames[i];
            if (Exists(dir + name + L".loaded"))
                names += std::string(name.begin(), name.end()) + " ";
        }
        return names;
    }
    // Starts exe with args in the folder, Windows' preference for the
    // program's folder in force; returns the process.
    PROCESS_INFORMATION Start(const std::wstring& args) const
    {
        // Windows takes a DLL that is no KnownDLL from the program's folder
        // first; Wine does so only for DLLs it is told to prefer as native.
        std::wstring natives;
        for (size_t i = 0; i < kRunTimeDllCount; ++i) {
            std::wstring name = kRunTimeDllNames[i];
            natives += (natives.empty() ? L"" : L",") + name.substr(0, name.size() - 4);
        }
        const std::wstring overrides = natives + L"=n,b;winemenubuilder.exe=d;mscoree=";
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides.c_str());
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        std::wstring cmd = L"\"" + exe + L"\" " + args;
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir.c_str(), &si, &pi))
            pi = {};
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
        return pi;
    }
    bool ok = false;
};

// Waits for the process to end and returns its exit code.
DWORD Finish(PROCESS_INFORMATION& pi)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(InstallerProcess, RestrictedSearchTakesSystemCopiesOnly)
{
    PlantedFolder folder(L"kx_search_", BesideThisTest(L"kx_dll_search_probe.exe"),
                         L"probe.exe");
    ASSERT_TRUE(folder.ok);
    // Without the restriction the planted copies are taken: the markers work.
    PROCESS_INFORMATION pi = folder.Start(L"unrestricted");
    ASSERT_NE(pi.hProcess, nullptr);
    EXPECT_EQ(Finish(pi), 0u);
    EXPECT_NE(folder.Loaded(), "");

    for (size_t i = 0; i < kRunTimeDllCount; ++i)
        DeleteFileW((folder.dir + kRunTimeDllNames[i] + L".loaded").c_str());
    pi = folder.Start(L"");
    ASSERT_NE(pi.hProcess, nullptr);
    EXPECT_EQ(Finish(pi), 0u);
    EXPECT_EQ(folder.Loaded(), "");
}

TEST(InstallerProcess, PlantedDllsBesideTheInstallerAreNeverLoaded)
{
    PlantedFolder folder(L"kx_planted_", KX_INSTALLER_EXE, L"kxVistralSetup.exe");
    ASSERT_TRUE(folder.ok);
    PROCESS_INFORMATION pi = folder.Start(L"");
    ASSERT_NE(pi.hProcess, nullptr);
    HWND main = WaitForWindow(L"kxVistralInstaller", pi.dwProcessId, 30000);
    EXPECT_NE(main, nullptr);
    // An agreement window brings up the embedded browser and its helpers.
    PostMessageW(main, WM_SHOW_USER_AGREEMENT, 0, 0);
    HWND agreement = WaitForWindow(L"wnd_user_argment", pi.dwProcessId, 20000);
    EXPECT_NE(agreement, nullptr);
    if (agreement)
        PostMessageW(agreement, WM_CLOSE, 1, 0);
    Sleep(500);
    PostMessageW(main, WM_CLOSE, 1, 0);
    EXPECT_EQ(Finish(pi), 0u);
    EXPECT_EQ(folder.Loaded(), "");
}

TEST(InstallerProcess, ProductStartsAsTheDesktopUser)
{
    const std::wstring dir = ScratchDir(L"kx_launch_");
    const std::wstring probe = dir + L"launcher.exe";
    ASSERT_TRUE(CopyFileW(BesideThisTest(L"kx_launch_probe.exe").c_str(), probe.c_str(), FALSE));

    // Wine's desktop offers the shell's dispatch interface as Windows does.
    EXPECT_TRUE(ShellExecuteThroughDesktop(probe));
    bool ran = false;
    for (int i = 0; i < 100 && !ran; ++i, Sleep(100))
        ran = Exists(probe + L".ran");
    EXPECT_TRUE(ran);
    DeleteFileW((probe + L".ran").c_str());

    // The whole launch takes the shell's path where it exists.
    EXPECT_EQ(LaunchAsDesktopUser(probe), LaunchRoute::DesktopShell);
    ran = false;
    for (int i = 0; i < 100 && !ran; ++i, Sleep(100))
        ran = Exists(probe + L".ran");
    EXPECT_TRUE(ran);

    Sleep(300);
    DeleteFileW((probe + L".ran").c_str());
    DeleteFileW(probe.c_str());
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

namespace {

struct Pages {
    size_t whole = 0;     // whole pages of the range
    size_t resident = 0;  // of them, in this process's working set
};

Pages PagesOf(const uint8_t* begin, size_t size)
{
    const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + 0xFFF) & ~uintptr_t(0xFFF);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + size) & ~uintptr_t(0xFFF);
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> query;
    for (uintptr_t page = first; page < end; page += 0x1000) {
        PSAPI_WORKING_SET_EX_INFORMATION info{};
        info.VirtualAddress = reinterpret_cast<void*>(page);
        query.push_back(info);
    }
    Pages pages;
    pages.whole = query.size();
    if (query.empty() ||
        !QueryWorkingSetEx(GetCurrentProcess(), query.data(), static_cast<DWORD>(query.size() * sizeof(query[0]))))
        return pages;
    for (const auto& p : query)
        pages.resident += p.VirtualAttributes.Valid ? 1 : 0;
    return pages;
}

}  // namespace

TEST(InstallerProcess, ItsImageIsMappedWithoutReadingThePayload)
{
    // Mapped as the system maps it to start it: the payload stays on disk
    // until the installation reads it, however large it is.
    HMODULE image = LoadLibraryExW(KX_INSTALLER_EXE, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(101), L"7Z");
    ASSERT_NE(found, nullptr);
    const auto* payload = static_cast<const uint8_t*>(LockResource(LoadResource(image, found)));
    const size_t size = SizeofResource(image, found);
    ASSERT_NE(payload, nullptr);
    Pages mapped = PagesOf(payload, size);
    ASSERT_GT(mapped.whole, 16u);
    // The system may map a few pages around those it reads for the resource
    // directory (64 KB at most); none is read for the payload itself.
    EXPECT_LE(mapped.resident, 16u) << "of " << mapped.whole << " pages";

    // Once read, every page is there: the count above is the system's own.
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < size; i += 1024)
        sum = static_cast<uint8_t>(sum + payload[i]);
    EXPECT_EQ(PagesOf(payload, size).resident, mapped.whole);
    FreeLibrary(image);
}
