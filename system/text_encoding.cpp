#include "system/text_encoding.h"

#include <windows.h>

#include <climits>
#include <cstdint>

namespace {

std::string WideToCodePage(UINT codePage, const wchar_t* text)
{
    if (!text)
        return {};
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, 0, text, -1, out.data(), n, nullptr, nullptr);
    if (n <= 0)
        return {};
    out.resize(static_cast<size_t>(n) - 1);  // the terminating zero
    return out;
}

// Counted UTF-8 to UTF-16 (the text may hold no terminating zero).
void AppendUtf8(std::wstring& out, const char* bytes, size_t length)
{
    if (length == 0 || length > static_cast<size_t>(INT_MAX))
        return;
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return;
    size_t at = out.size();
    out.resize(at + static_cast<size_t>(n));
    n = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), out.data() + at, n);
    out.resize(at + static_cast<size_t>(n > 0 ? n : 0));
}

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kUpperHex[] = "0123456789ABCDEF";

}  // namespace

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string WideToOem(const wchar_t* text)
{
    return WideToCodePage(CP_OEMCP, text);
}

std::string WideToUtf8(const wchar_t* text)
{
    return WideToCodePage(CP_UTF8, text);
}

std::wstring Utf8ToWide(const char* text)
{
    if (!text)
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    if (n <= 0)
        return {};
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}

std::wstring DecodeHexEscapes(const char* text)
{
    std::wstring out;
    if (!text)
        return out;

    constexpr size_t kEscapeLength = 6;  // '\', 'x' and four digits
    const char* run = text;              // start of the literal text not yet converted
    const char* p = text;
    while (*p) {
        if (p[0] != '\\' || p[1] != 'x') {
            ++p;
            continue;
        }
        // All four characters after the "x" must be there before reading any;
        // a shorter tail is not an escape and stays literal.
        if (!p[2] || !p[3] || !p[4] || !p[5]) {
            ++p;
            continue;
        }
        AppendUtf8(out, run, static_cast<size_t>(p - run));
        unsigned value = 0;
        for (size_t i = 2; i < kEscapeLength; ++i) {
            int digit = HexDigitValue(p[i]);
            if (digit < 0)
                break;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        if (value == 0)
            return out;  // a zero code unit ends the text
        out += static_cast<wchar_t>(value & 0xFFFFu);
        p += kEscapeLength;
        run = p;
    }
    AppendUtf8(out, run, static_cast<size_t>(p - run));
    return out;
}

std::string Base64Encode(const unsigned char* data, size_t length)
{
    std::string out;
    if (!data || length == 0)
        return out;
    out.reserve((length + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    size_t rest = length - i;
    if (rest > 0) {
        uint32_t v = uint32_t(data[i]) << 16;
        if (rest == 2)
            v |= uint32_t(data[i + 1]) << 8;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string UrlEncode(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.' || c == '~';
        if (keep) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kUpperHex[c >> 4];
            out += kUpperHex[c & 15];
        }
    }
    return out;
}
