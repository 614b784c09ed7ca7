#pragma once
// What a Wine prefix holds, to compare before an installation and after its
// uninstallation: every file and folder of C: with its size, and every
// registry key and value of HKLM (its 64-bit view, which holds the
// 32-bit one) and HKCU as "reg export"
// writes them.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace e2e {

struct PrefixSnapshot {
    std::map<std::wstring, long long> files;  // path: size, -1 for a folder
    std::set<std::wstring> registry;          // "key\nvalue line" and "key" alone
};

PrefixSnapshot TakeSnapshot();

// The differences, one line each ("+ path", "- path", "~ path size a -> b"),
// leaving out paths that start with an ignored prefix (letter case aside).
std::vector<std::wstring> Differences(const PrefixSnapshot& before, const PrefixSnapshot& after,
                                      const std::vector<std::wstring>& ignored);

}  // namespace e2e
