#pragma once
// The usage report sent to the statistics server at the end of every
// installation attempt. Fire and forget: nothing is reported back.
#include <string>

// Sends one report; success tells the server whether the installation worked.
void SendUsageReport(bool success);

// The machine's identifier, "Guid" under the product's key in
// HKEY_CURRENT_USER. Read fills guid and gives true only for a REG_SZ value of
// at most 259 characters; Write stores it as REG_SZ without a terminating zero.
bool ReadMachineGuid(std::wstring& guid);
bool WriteMachineGuid(const std::wstring& guid);

// Test seam, for tests only (the installer never calls it): later reports go
// to host (a name or an address such as "127.0.0.1") on port instead of the
// statistics server on port 80. An empty host restores the statistics server.
void SetReportServerForTesting(const std::wstring& host, unsigned short port);
