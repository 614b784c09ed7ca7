#pragma once
// The usage report sent to the statistics server at the end of every
// installation attempt. Fire and forget: nothing is reported back.

// Sends one report; success tells the server whether the installation worked.
void SendUsageReport(bool success);
