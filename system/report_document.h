#pragma once
// The report document's text as the statistics server reads it.
#include <json/value.h>

#include <string>

// The compact form of Json::FastWriter with its final line feed, strings
// carrying UTF-8 unchanged and other control characters as \u with four
// upper-case hexadecimal digits. (This JsonCpp escapes every non-ASCII
// character and writes lower-case digits; the server gets the bytes it has
// always been sent.)
std::string WriteReportDocument(const Json::Value& report);
