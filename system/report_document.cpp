#include "system/report_document.h"

#include <json/writer.h>

#include "system/text_encoding.h"

namespace {

// The code unit of a "\uXXXX" escape starting at text[at], or -1.
long EscapedUnit(const std::string& text, size_t at)
{
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u')
        return -1;
    long unit = 0;
    for (size_t i = at + 2; i < at + 6; ++i) {
        int d = HexDigitValue(text[i]);
        if (d < 0)
            return -1;
        unit = unit * 16 + d;
    }
    return unit;
}

void AppendUtf8(std::string& out, unsigned long cp)
{
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

void AppendUpperEscape(std::string& out, long unit)
{
    static const char digits[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(unit >> shift) & 0xF];
}

}  // namespace

std::string WriteReportDocument(const Json::Value& report)
{
    Json::FastWriter writer;
    const std::string text = writer.write(report);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        long unit = EscapedUnit(text, i);
        if (unit < 0) {  // a two-character escape: kept with the character it escapes
            out += text[i];
            if (i + 1 < text.size())
                out += text[++i];
            continue;
        }
        long low = EscapedUnit(text, i + 6);
        if (unit >= 0xD800 && unit < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
            AppendUtf8(out, 0x10000 + ((static_cast<unsigned long>(unit) - 0xD800) << 10) +
                                (static_cast<unsigned long>(low) - 0xDC00));
            i += 11;
        } else if (unit >= 0x80 && (unit < 0xD800 || unit >= 0xE000)) {
            AppendUtf8(out, static_cast<unsigned long>(unit));
            i += 5;
        } else {  // a control character (or an unpaired surrogate) stays escaped
            AppendUpperEscape(out, unit);
            i += 5;
        }
    }
    return out;
}
