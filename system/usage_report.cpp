#include "system/usage_report.h"

#include <shlwapi.h>
#include <windows.h>

#include <json/value.h>

#include <cstdio>
#include <string>

#include "system/installer_constants.h"
#include "system/report_cipher.h"
#include "system/report_document.h"
#include "system/system_info.h"
#include "system/text_encoding.h"
#include "system/win_handles.h"
#include "system/wininet_library.h"

#ifndef KX_REPORT_HOST
#error "KX_REPORT_HOST names the statistics server (a build setting)"
#endif

namespace {

constexpr int kReportType = 2;  // the statistics server's type for installer reports
constexpr char kReportPath[] = "/log/info/uploadLog.go?type=";
constexpr unsigned short kReportPort = 80;
constexpr DWORD kTimeoutMs = 10000;  // connect, send and receive each
constexpr size_t kKeyPathChars = 129;  // product key path, with its terminating zero
constexpr size_t kGuidBufferChars = 260;
constexpr wchar_t kGuidValue[] = L"Guid";
// The header the statistics server reads the body's type from, sent without a line end.
constexpr wchar_t kContentType[] = L"Content-Type: text/plain";
constexpr DWORD kContentTypeChars = sizeof(kContentType) / sizeof(wchar_t) - 1;
static_assert(kContentTypeChars == 24);
constexpr REGSAM kGuidKeyAccess = KEY_READ | KEY_WRITE;
static_assert(kGuidKeyAccess == 0x2001F);

// Set only by the test seam.
std::string g_testHost;
unsigned short g_testPort = 0;

bool OpenProductKey(UniqueRegKey& key)
{
    std::wstring path = L"Software\\" + RegName;
    if (path.size() >= kKeyPathChars)
        return false;
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, kGuidKeyAccess, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return false;
    key.Reset(opened);
    return true;
}

// The installer's own file name, without its directory; empty when the path
// does not fit its buffer.
std::wstring OwnFileName()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    return PathFindFileNameW(path);
}

std::string SystemDescription()
{
    bool isServer = false;
    std::string version = WideToUtf8(GetSystemVersion(isServer).c_str());
    char text[64];
    std::snprintf(text, sizeof(text), "%s_%d_%d", version.c_str(), isServer ? 1 : 0,
                  Is64BitSystem() ? 64 : 32);
    return text;
}

std::string ReportDocument(bool success, const std::wstring& guid)
{
    Json::Value report(Json::objectValue);
    report["buildver"] = "";
    report["instname"] = WideToUtf8(OwnFileName().c_str());
    report["ios"] = "";
    report["menuid"] = 10087;
    report["model"] = "";
    report["pccid"] = WideToUtf8(ChannelId.c_str());
    report["pcclient "] = 60;  // the server's member name ends with a blank
    report["pcguid"] = guid.empty() ? std::string() : WideToUtf8(guid.c_str());
    report["pcos"] = SystemDescription();
    report["pcvs"] = WideToUtf8(AppVersion.c_str());
    report["sernum"] = "";
    report["success"] = success ? "1" : "0";
    report["type"] = kReportType;
    report["udid"] = "";
    return WriteReportDocument(report);
}

void SetTimeouts(const WinInet& api, HINTERNET handle)
{
    DWORD timeout = kTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        api.internetSetOption(handle, option, &timeout, sizeof(timeout));
}

// Posts body to the object name on host; every failure ends it silently.
void Post(const std::wstring& host, unsigned short port, const std::wstring& object,
          const std::string& body)
{
    const WinInet* api = LoadWinInet();
    if (!api)
        return;
    UniqueInternetHandle internet(
        *api, api->internetOpen(L"KXHTTP 5.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet)
        return;
    SetTimeouts(*api, internet.Get());
    UniqueInternetHandle connection(
        *api, api->internetConnect(internet.Get(), host.c_str(), port, nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection)
        return;
    const wchar_t* accept[] = {L"*/*", nullptr};
    UniqueInternetHandle request(*api, api->httpOpenRequest(connection.Get(), L"POST", object.c_str(),
                                                            nullptr, nullptr, accept, 0, 1));
    if (!request)
        return;
    SetTimeouts(*api, request.Get());  // not every client hands them down to requests
    // The answer is not read: the report is fire and forget.
    api->httpSendRequest(request.Get(), kContentType, kContentTypeChars, const_cast<char*>(body.data()),
                         static_cast<DWORD>(body.size()));
}

}  // namespace

bool ReadMachineGuid(std::wstring& guid)
{
    UniqueRegKey key;
    if (!OpenProductKey(key))
        return false;
    wchar_t buffer[kGuidBufferChars];
    DWORD type = 0;
    DWORD bytes = sizeof(buffer);
    if (RegQueryValueExW(key.Get(), kGuidValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // Stored without a terminating zero; one that is there is not part of it.
    size_t chars = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0')
        ++length;
    if (length >= kGuidBufferChars)  // no room for the zero: too long
        return false;
    guid.assign(buffer, length);
    return true;
}

bool WriteMachineGuid(const std::wstring& guid)
{
    UniqueRegKey key;
    if (!OpenProductKey(key) || guid.size() >= MAXDWORD / sizeof(wchar_t))
        return false;
    return RegSetValueExW(key.Get(), kGuidValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(guid.data()),
                          static_cast<DWORD>(guid.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void SetReportServerForTesting(const std::wstring& host, unsigned short port)
{
    g_testHost = WideToUtf8(host.c_str());
    g_testPort = port;
}

void SendUsageReport(bool success)
{
    std::wstring guid;
    if (!ReadMachineGuid(guid) && guid.empty()) {
        guid = CreateGuidText();
        WriteMachineGuid(guid);
    }
    std::string body = EncodeReport(ReportDocument(success, guid).c_str());

    bool testing = !g_testHost.empty();
    std::string url = "http://" + (testing ? g_testHost : std::string(KX_REPORT_HOST)) + kReportPath +
                      std::to_string(kReportType);
    std::wstring address = Utf8ToWide(url.c_str());
    size_t scheme = address.find(L"://");
    if (scheme == std::wstring::npos)
        return;
    size_t hostStart = scheme + 3;
    size_t slash = address.find(L'/', hostStart);
    if (slash == std::wstring::npos)
        return;
    Post(address.substr(hostStart, slash - hostStart), testing ? g_testPort : kReportPort,
         address.substr(slash), body);
}
