#pragma once
// Conversions at the program's edges: UTF-16 inside, UTF-8 / OEM bytes outside.
#include <cstddef>
#include <string>

// Null or unconvertible input gives an empty string. Characters the OEM code
// page lacks become its default character.
std::string WideToOem(const wchar_t* text);
std::string WideToUtf8(const wchar_t* text);
std::wstring Utf8ToWide(const char* text);

// Decodes the settings file's escape form: "\x" and four hexadecimal digits is
// one UTF-16 code unit (reading stops at the first non-digit); an escape of
// value 0 ends the result. Text between escapes is read as UTF-8, which is exact
// for ASCII and for the UTF-8 this program produces itself. An escape cut short
// by the end of the text stays as it is.
std::wstring DecodeHexEscapes(const char* text);

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char c);

// RFC 4648 base64 with "=" padding and no line breaks.
std::string Base64Encode(const unsigned char* data, size_t length);

// Keeps A-Z a-z 0-9 - _ . ~ and writes every other byte as %XX (upper case).
std::string UrlEncode(const std::string& text);
