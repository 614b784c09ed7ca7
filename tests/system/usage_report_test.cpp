#include "system/usage_report.h"

#include <gtest/gtest.h>
#include <json/value.h>
#include <openssl/des.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "system/report_document.h"
#include "system/system_info.h"
#include "system/win_handles.h"
#include "tests/system/loopback_http_server.h"
#include "tests/system/report_decrypt.h"

namespace {

const wchar_t kProductKey[] = L"Software\\kxVistral3";
struct Stored {
    bool found = false;
    DWORD type = REG_NONE;
    std::string bytes;
};

// The value's text. Wine's registry stores every REG_SZ with a terminating
// zero, even when the writer (as the report does) leaves it out; that one is
// not part of the text.
Stored QueryGuid()
{
    Stored v;
    UniqueRegKey key;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return v;
    key.Reset(raw);
    std::vector<char> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExW(key.Get(), L"Guid", nullptr, &v.type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return v;
    v.found = true;
    v.bytes.assign(data.data(), size);
    if (v.type == REG_SZ && v.bytes.size() >= 2 && v.bytes.compare(v.bytes.size() - 2, 2, "\0\0", 2) == 0)
        v.bytes.resize(v.bytes.size() - 2);
    return v;
}

void SetGuid(DWORD type, const void* data, DWORD bytes)
{
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    UniqueRegKey key;
    key.Reset(raw);
    ASSERT_EQ(RegSetValueExW(key.Get(), L"Guid", 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
}

std::string Utf8(const std::string& utf16le)
{
    std::string out;
    for (size_t i = 0; i + 1 < utf16le.size(); i += 2)
        out += utf16le[i];  // the identifiers here are ASCII
    return out;
}

// The document every report of this test program carries, for one identifier.
std::string ExpectedDocument(const std::string& guid, const char* success)
{
    bool server = false;
    std::wstring version = GetSystemVersion(server);
    std::string pcos = std::string(version.begin(), version.end()) + (server ? "_1_" : "_0_") +
                       (Is64BitSystem() ? "64" : "32");
    return std::string("{\"buildver\":\"\",\"instname\":\"report_tests.exe\",\"ios\":\"\",\"menuid\":10087,"
                       "\"model\":\"\",\"pccid\":\"700001\",\"pcclient \":60,\"pcguid\":\"") +
           guid + "\",\"pcos\":\"" + pcos + "\",\"pcvs\":\"3.01.35\",\"sernum\":\"\",\"success\":\"" + success +
           "\",\"type\":2,\"udid\":\"\"}\n";
}

class UsageReport : public testing::Test {
protected:
    void SetUp() override
    {
        Clean();
        ASSERT_TRUE(server_.Listening());
        SetReportServerForTesting(L"127.0.0.1", server_.Port());
    }
    void TearDown() override
    {
        SetReportServerForTesting(L"", 0);
        Clean();
    }
    static void Clean() { RegDeleteKeyExW(HKEY_CURRENT_USER, kProductKey, 0, 0); }

    // Sends one report and gives the request the server received.
    HttpRequest Send(bool success)
    {
        SendUsageReport(success);
        auto request = server_.WaitForRequest(5000);
        EXPECT_TRUE(request.has_value());
        return request.value_or(HttpRequest{});
    }

    LoopbackHttpServer server_;
};

}  // namespace

TEST_F(UsageReport, PostsTheEncryptedDocumentAndKeepsTheIdentifier)
{
    HttpRequest first = Send(true);
    EXPECT_EQ(first.requestLine, "POST /log/info/uploadLog.go?type=2 HTTP/1.1");
    EXPECT_EQ(first.Header("Accept"), "*/*");
    EXPECT_EQ(first.Header("User-Agent"), "KXHTTP 5.0");
    EXPECT_EQ(first.Header("Content-Type"), "text/plain");
    EXPECT_EQ(first.Header("Host"), "127.0.0.1:" + std::to_string(server_.Port()));
    EXPECT_EQ(first.Header("Content-Length"), std::to_string(first.body.size()));
    EXPECT_EQ(first.body.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"),
              std::string::npos)
        << first.body;

    // The first report stores a new identifier: REG_SZ, 38 characters, no zero.
    Stored stored = QueryGuid();
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(stored.bytes.size(), 76u);
    std::string guid = Utf8(stored.bytes);
    EXPECT_EQ(guid.front(), '{');
    EXPECT_EQ(DecryptBody(first.body), ExpectedDocument(guid, "1"));

    // A later, failed installation sends the same identifier and "0".
    HttpRequest second = Send(false);
    EXPECT_EQ(DecryptBody(second.body), ExpectedDocument(guid, "0"));
    EXPECT_EQ(QueryGuid().bytes, stored.bytes);
}

TEST_F(UsageReport, StoredIdentifierIsUsedOnlyWhenItIsAShortString)
{
    const DWORD number = 7;
    const std::wstring longest(259, L'a'), tooLong(260, L'b'), farTooLong(600, L'c');
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD bytes;
        bool kept;
    } cases[] = {
        {"REG_DWORD", REG_DWORD, &number, sizeof(number), false},
        {"260 characters", REG_SZ, tooLong.data(), 520, false},
        {"600 characters", REG_SZ, farTooLong.data(), 1200, false},
        {"259 characters", REG_SZ, longest.data(), 518, true},
        {"empty", REG_SZ, L"", 0, true},
    };
    for (const Case& c : cases) {
        SetGuid(c.type, c.data, c.bytes);
        std::string document = DecryptBody(Send(true).body);
        Stored after = QueryGuid();
        EXPECT_EQ(after.type, static_cast<DWORD>(REG_SZ)) << c.name;
        if (c.kept) {
            EXPECT_EQ(after.bytes, std::string(static_cast<const char*>(c.data), c.bytes)) << c.name;
        } else {
            EXPECT_EQ(after.bytes.size(), 76u) << c.name;  // a new identifier replaced it
        }
        EXPECT_EQ(document, ExpectedDocument(Utf8(after.bytes), "1")) << c.name;
        std::wstring read;
        EXPECT_EQ(ReadMachineGuid(read), true) << c.name;
    }
}

TEST_F(UsageReport, UnreachableOrSilentServerEndsTheReportWithinItsTimeOuts)
{
    unsigned short closedPort = 0;
    {
        LoopbackHttpServer gone;
        closedPort = gone.Port();
    }
    using Clock = std::chrono::steady_clock;
    SetReportServerForTesting(L"127.0.0.1", closedPort);
    auto start = Clock::now();
    SendUsageReport(true);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

    // A server that takes the request and never answers: the 10 s receive
    // time-out ends the wait, not the client's default.
    LoopbackHttpServer silent(false);
    SetReportServerForTesting(L"127.0.0.1", silent.Port());
    start = Clock::now();
    SendUsageReport(true);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(25));
    EXPECT_TRUE(silent.WaitForRequest(1000).has_value());
}

TEST(ReportDocument, KeepsUtf8AndEscapesControlCharactersInUpperCase)
{
    Json::Value report(Json::objectValue);
    report["b"] = "\xE5\xAE\x89\xE8\xA3\x85/\"\\\x01\x1F\n\t\xF0\x9F\x98\x80";  // 安装, an emoji
    report["a"] = 1;
    EXPECT_EQ(WriteReportDocument(report),
              "{\"a\":1,\"b\":\"\xE5\xAE\x89\xE8\xA3\x85/\\\"\\\\\\u0001\\u001F\\n\\t\xF0\x9F\x98\x80\"}\n");
}
