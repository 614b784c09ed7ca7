#pragma once
// Hands the skin package embedded in a module (resource ZIPRES 102) to the
// window framework; done once at start-up, before the first window.
#include <windows.h>

// Sets the framework's module, resource kind and path, and the package.
// False when the module carries no package (every layout then fails to load).
bool SetupSkinPackage(HINSTANCE instance);
