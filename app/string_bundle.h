#pragma once
// The installer's table of user-visible texts and identity strings, carried
// as resource LANG/104 and loaded once per process.
#include <map>
#include <string>
#include <string_view>

class CStringBundle {
public:
    // The one bundle of the process, created and loaded on first use.
    static CStringBundle& Instance();

    std::wstring GetString(const std::wstring& id) const;
    std::wstring GetLanguageCode();

    // Parses a bundle document (UTF-8 bytes, read up to the first zero byte)
    // into a table; an unusable document gives an empty table.
    static std::map<std::wstring, std::wstring> ParseTable(std::string_view utf8);

    // Trims the characters a bundle text may be indented with.
    static std::wstring Trim(const std::wstring& text);

    size_t Size() const { return table_.size(); }

private:
    CStringBundle();
    void Load();

    std::wstring languageCode_;
    int languageIndex_ = 0;  // 0 is "zh_CN", 1 is "en_US"
    std::map<std::wstring, std::wstring> table_;
};

std::wstring GetString(const std::wstring& id);
std::wstring GetLanguageCode();
