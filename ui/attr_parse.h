#pragma once
// Readers for the attribute value forms of the layouts: colours, rectangles,
// sizes, booleans and attribute lists.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace DuiLib {

// "#AARRGGBB"; six digits mean an opaque colour.
DWORD ParseColor(const wchar_t* value);
// Up to four integers separated by commas or blanks; missing ones are 0.
RECT ParseRect(const wchar_t* value);
SIZE ParseSize(const wchar_t* value);
bool ParseBool(const wchar_t* value);
int ParseInt(const wchar_t* value);
// key="value" key2='value2' ... as written in Default elements.
std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const wchar_t* list);
bool EqualsNoCase(const wchar_t* a, const wchar_t* b);

}  // namespace DuiLib
