#pragma once
// Whether only administrators can have made, or can change, a file or
// folder: the one rule by which a folder named by the per-user "AppPath"
// may count as the product's own.
#include <windows.h>

// Whether a descriptor's owner is Administrators, SYSTEM or TrustedInstaller.
bool IsOwnedBySystem(PSECURITY_DESCRIPTOR descriptor);

// Whether the descriptor's owner is one of those, and its DACL lets nobody
// else change the object: no allow entry gives another SID (Users,
// Authenticated Users, Everyone, INTERACTIVE, a user, the current one
// included) a right to write, add a file or folder, delete, or change the
// DACL or the owner. Entries only for children count too: the product's
// files get them. A missing or null DACL lets everybody.
bool OnlyAdministratorsMayChange(PSECURITY_DESCRIPTOR descriptor);

// The same for the file or folder handle is open on (it needs READ_CONTROL); false when
// its descriptor can't be read.
bool OnlyAdministratorsMayChangeFile(HANDLE handle);
