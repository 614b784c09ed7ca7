#include "payload/uninstall_handoff.h"

#include <cwchar>
#include <vector>

#include "payload/uninstall_steps.h"
#include "system/private_temp_dir.h"

namespace {

constexpr wchar_t kCopyFolderPrefix[] = L"kxuninst-";
constexpr DWORD kParentWaitMs = 30000;

std::wstring OwnPath()
{
    std::vector<wchar_t> buffer(32768);
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return n == 0 || n >= buffer.size() ? std::wstring() : std::wstring(buffer.data(), n);
}

bool CopyOwnFile(const CheckedDir& folder)
{
    std::wstring self = OwnPath();
    UniqueFileHandle source(CreateFileW(self.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    UniqueFileHandle target;
    if (!source || folder.CreateNewFile(kUninstallerName, target) != S_OK)
        return false;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(source.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (!WriteFile(target.Get(), chunk.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

HANDLE HandleFromText(const wchar_t* text)
{
    wchar_t* end = nullptr;
    unsigned long long value = std::wcstoull(text, &end, 10);
    return end && *end == L'\0' && end != text ? reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value))
                                               : nullptr;
}

}  // namespace

int RunCopy(const std::wstring& programDir, bool silent)
{
    PrivateTempDir dir(kCopyFolderPrefix);
    if (!dir.Create(PayloadTempDir()) || !CopyOwnFile(dir.Folder()))
        return kExitCannotStart;

    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return kExitCannotStart;
    UniqueFileHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0))
        return kExitCannotStart;
    UniqueHandle parent(self);

    const std::wstring copy = dir.Path() + kUninstallerName;
    std::wstring command = L"\"" + copy + L"\" " + kCopyArgument + L" " +
                           std::to_wstring(reinterpret_cast<ULONG_PTR>(parent.Get())) + L" " +
                           std::to_wstring(reinterpret_cast<ULONG_PTR>(writer.Get())) + L" \"" +
                           programDir + L"\"" + (silent ? L" /S" : L"");
    // The copy inherits these two handles and nothing else: an inherited
    // handle on the program folder (this process's working directory is
    // one) would keep the folder from being deleted.
    HANDLE inherited[2] = {parent.Get(), writer.Get()};
    SIZE_T listBytes = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listBytes);
    std::vector<char> listMemory(listBytes);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &listBytes))
        return kExitCannotStart;
    bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                            sizeof(inherited), nullptr, nullptr) != FALSE;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = list;
    PROCESS_INFORMATION info{};
    // The copy works in its own folder, so that the program folder is
    // nobody's working directory.
    bool started = listed && CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, TRUE,
                                            EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                            dir.Path().c_str(), &startup.StartupInfo, &info);
    DeleteProcThreadAttributeList(list);
    if (!started)
        return kExitCannotStart;  // the folder goes with dir
    UniqueHandle process(info.hProcess), thread(info.hThread);
    writer.Reset();
    parent.Reset();
    int code = kExitCannotStart;
    DWORD read = 0;
    if (!ReadFile(reader.Get(), &code, sizeof(code), &read, nullptr) || read != sizeof(code))
        code = kExitCannotStart;
    if (code == kExitCancelled || code == kExitCannotStart) {
        // Nothing was removed: once the copy has ended, its folder goes with dir.
        WaitForSingleObject(process.Get(), kParentWaitMs);
        return code;
    }
    dir.Leave();  // the copy's now: it has it deleted at the next restart
    return code;
}

void CopyLink::Report(int exitCode)
{
    DWORD written = 0;
    if (!pipe)
        return;
    WriteFile(pipe.Get(), &exitCode, sizeof(exitCode), &written, nullptr);
    pipe.Reset();
    if (parent && exitCode != kExitCancelled)
        WaitForSingleObject(parent.Get(), kParentWaitMs);
}

bool ParseCopyArguments(const wchar_t* parent, const wchar_t* pipe, const wchar_t* dir,
                        CopyLink& link)
{
    HANDLE p = HandleFromText(parent);
    HANDLE w = HandleFromText(pipe);
    DWORD flags = 0;
    if (!p || !w || !GetHandleInformation(p, &flags) || !GetHandleInformation(w, &flags))
        return false;
    link.parent.Reset(p);
    link.pipe.Reset(w);
    link.programDir = dir;
    return true;
}

void ForgetCopyAtRestart()
{
    std::wstring self = OwnPath();
    size_t cut = self.find_last_of(L'\\');
    if (cut == std::wstring::npos)
        return;
    std::wstring folder = self.substr(0, cut);
    MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (PrivateTempDir::IsRunFolderName(folder.substr(folder.find_last_of(L'\\') + 1),
                                        kCopyFolderPrefix))
        MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
