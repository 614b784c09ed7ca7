#pragma once
// The small files the installer shares with the installed product:
// "setting.cfg" (read), "temp_userdata.txt" and "source.dat" (written).
#include <string>

#include "system/checked_dir.h"

// True for a drive path (X:\...) that is not an invalid name; the directory
// need not exist yet.
bool IsUsableDriveDir(const std::wstring& candidate);

// Default user-data directory, without a trailing backslash: the best data
// drive's root followed by RegName, else the roaming application-data folder.
std::wstring GetDefaultUserDataDir();

// The same rule for a given drive root (empty when no drive qualified).
std::wstring DefaultUserDataDirFor(const std::wstring& driveRoot);

// The user-data directory of the earlier installation in installDir (ending
// with a backslash, or empty for none), or the default. At most 259 characters
// of the stored value are used.
std::wstring ReadUserDataDir(const std::wstring& installDir);

// The same with the default given.
std::wstring ReadUserDataDirOr(const std::wstring& installDir, const std::wstring& fallback);

// Writes ChannelId as OEM bytes to "source.dat" in the program directory,
// replacing any older file. Failures are silent.
void WriteChannelFile(const CheckedDir& programDir);

// Writes userDataDir to installDir + "temp_userdata.txt" as UTF-16 LE with a
// byte-order mark and no line end. False when the file cannot be written.
bool WriteUserDataNote(const std::wstring& installDir, const std::wstring& userDataDir);
