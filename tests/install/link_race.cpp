// One step of an installation, run while a host program swaps a directory
// it uses for a link to a folder outside (race_links.py drives both):
//   link_race extract ROOT   writes the payload to ROOT\temp\ and unpacks it
//                            into ROOT\prog\ as the install job does
//   link_race remove ROOT    removes the earlier installation ROOT\old
//   link_race planted ROOT   unpacks as extract, then writes the side files
//                            "Uninstall.xml", "source.dat", "temp_userdata.txt"
//   link_race uninstall ROOT unpacks as extract, writes the manifest, and
//                            removes what it lists as the uninstaller does"
// What counts is what the host finds outside afterwards; the exit code only
// says whether the step could start.
#include <windows.h>

#include <cstdio>
#include <string>

#include "install/earlier_installation.h"
#include "install/payload_file.h"
#include "install/seven_zip_extractor.h"
#include "install/uninstall_manifest.h"
#include "install/uninstall_plan.h"
#include "install/uninstall_removal.h"
#include "system/settings_files.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::string mode = argv[1];
    std::wstring root(argv[2], argv[2] + std::char_traits<char>::length(argv[2]));
    if (mode == "remove") {
        DeleteDirectoryTree(root + L"old\\");
        return 0;
    }
    if (mode != "extract" && mode != "planted" && mode != "uninstall")
        return 2;
    PayloadDir payload;
    if (!payload.Create(root + L"temp\\") || !payload.WriteArchive()) {
        std::printf("payload not written\n");
        return 0;  // the folder was a link when it was opened: refused
    }
    SevenZip::SevenZipExtractor extractor;
    extractor.UseArchiveFile(payload.ArchivePath());
    extractor.UseArchiveHandle(payload.Archive());
    std::printf("extraction: %d\n", extractor.ExtractTo(root + L"prog\\", nullptr));
    if (mode == "planted") {
        const std::wstring prog = root + L"prog\\";
        CheckedDir progDir;  // as the job opens it once after the extraction
        CheckedDir::Open(prog, progDir);
        std::printf("manifest %d note %d\n", WriteUninstallManifestOf(progDir, {}, {}),
                    WriteUserDataNote(prog, L"D:\\kxVistral3"));
        WriteChannelFile(progDir);
    }
    if (mode == "uninstall") {
        const std::wstring prog = root + L"prog\\";
        CheckedDir folder;
        if (CheckedDir::Open(prog, folder) == S_OK)
            WriteUninstallManifestOf(folder, {}, {});
        std::string manifest;
        UninstallPlan plan;
        if (CheckedDir::Open(prog, folder) != S_OK || !ReadUninstallManifest(folder, manifest) ||
            !ParseUninstallManifest(manifest, folder.FinalPath(), plan)) {
            std::printf("no manifest\n");
            return 0;
        }
        RemovalReport report;
        RemoveListedItems(folder, plan, L"", report);
        RemoveSideFiles(folder, report);
        std::printf("uninstalled\n");  // how much stayed varies with the racer
    }
    return 0;
}
