#pragma once
// The product's identity, folders, programs and side files. Built once while
// the process starts (five of them from the string bundle) and never changed;
// read them only after start-up, not from other static initialisers.
#include <string>

extern const std::wstring RegName;             // registry key and product folder name
extern const std::wstring AppVersion;          // "3.01.35"
extern const std::wstring ClientName;          // display name
extern const std::wstring CompanyName;         // publisher
extern const std::wstring CompanyUrl;          // product web page
extern const std::wstring PayloadFileName;     // "resource.7z"
extern const std::wstring SettingsFileName;    // "setting.cfg"
extern const std::wstring UserDataNoteFileName;  // "temp_userdata.txt"
extern const std::wstring UpdaterExeName;      // "updater.exe"
extern const std::wstring UninstallerExeName;  // "Uninstall.exe"
extern const std::wstring MainExeName;         // ExeName + ".exe"
extern const std::wstring LauncherExeName;     // "launcher.exe"
extern const std::wstring ChannelId;           // "700001"
