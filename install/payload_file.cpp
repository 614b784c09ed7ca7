#include "install/payload_file.h"

#include "system/file_system.h"
#include "system/installer_constants.h"

bool PayloadDir::IsRunFolderName(const std::wstring& name)
{
    return PrivateTempDir::IsRunFolderName(name, kRunFolderPrefix);
}

bool PayloadDir::Create(const std::wstring& tempDir)
{
    Remove();
    return dir_.Create(tempDir);
}

bool PayloadDir::WriteArchive()
{
    if (!dir_.Folder().Valid())
        return false;
    // Read later through this same handle; nobody may write it meanwhile.
    if (dir_.Folder().CreateNewFile(PayloadFileName, archive_, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ) != S_OK)
        return false;
    archivePath_ = dir_.Path() + PayloadFileName;
    return WriteResourceToHandle(archive_.Get(), 101, L"7Z");
}

void PayloadDir::Remove()
{
    if (archive_) {
        DisposeOf(archive_.Get());
        archive_.Reset();
    }
    dir_.Remove();
    archivePath_.clear();
}
