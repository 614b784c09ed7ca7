#include "system/installer_constants.h"

#include "app/string_bundle.h"
#include "kx_version.h"

// The first lookup loads the bundle, so it exists before the entry point runs.
const std::wstring RegName = GetString(L"RegName");
const std::wstring AppVersion = KX_VERSION_TEXT;
const std::wstring ClientName = GetString(L"ClientName");
const std::wstring CompanyName = GetString(L"CompanyName");
const std::wstring CompanyUrl = GetString(L"CompanyUrl");
const std::wstring PayloadFileName = L"resource.7z";
const std::wstring SettingsFileName = L"setting.cfg";
const std::wstring UserDataNoteFileName = L"temp_userdata.txt";
const std::wstring UpdaterExeName = L"updater.exe";
const std::wstring UninstallerExeName = L"Uninstall.exe";
const std::wstring MainExeName = GetString(L"ExeName") + L".exe";
const std::wstring LauncherExeName = L"launcher.exe";
const std::wstring ChannelId = L"700001";
