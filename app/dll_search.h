#pragma once
// Installers are started from download folders, where a foreign DLL may lie
// beside them: the installer loads DLLs from the system directory only.
#include <string>

// Restricts every later DLL search of the process to the system directory.
// False when the system offers no such restriction.
bool RestrictDllSearchToSystem();

// The DLLs the installer (or the system for it) loads while it runs, by the
// names a planted copy would carry.
extern const wchar_t* const kRunTimeDllNames[];
extern const size_t kRunTimeDllCount;
