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
    // The system deletes it with the last handle, so it leaves with the
    // process however that ends: closed, failed or killed.
    if (dir_.Folder().CreateTemporaryFile(PayloadFileName, archive_, GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ) != S_OK)
        return false;
    archivePath_ = dir_.Path() + PayloadFileName;
    return WriteResourceToHandle(archive_.Get(), 101, L"7Z");
}

void PayloadDir::Remove()
{
    archive_.Reset();  // the system deletes the archive with its last handle
    dir_.Remove();
    archivePath_.clear();
}
