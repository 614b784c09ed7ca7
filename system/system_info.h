#pragma once
// Questions about the machine: architecture, Windows version, a fresh GUID.
#include <windows.h>

#include <string>

// True for an x64 or Itanium processor; ARM64 and x86 give false.
bool IsArchitecture64Bit(WORD processorArchitecture);

// True when the native processor is 64-bit, seen through WOW64 as well.
bool Is64BitSystem();

// "major.minor" of the running Windows (e.g. "10.0"); empty on failure.
// isServer is true exactly for server editions.
std::wstring GetSystemVersion(bool& isServer);

// A new GUID as 38 upper-case characters in braces; empty on failure.
std::wstring CreateGuidText();
