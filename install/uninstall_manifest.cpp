#include "install/uninstall_manifest.h"

#include <cstdio>
#include <memory>

#include <pugixml.hpp>

#include "install/install_progress.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

class StreamWriter : public pugi::xml_writer {
public:
    explicit StreamWriter(FILE* f) : f_(f) {}
    void write(const void* data, size_t size) override { std::fwrite(data, 1, size, f_); }

private:
    FILE* f_;
};

void AppendEntries(pugi::xml_node parent, const wchar_t* element, const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        parent.append_child(element).append_attribute(L"path").set_value(path.c_str());
}

}  // namespace

bool WriteUninstallManifestOf(const std::wstring& filePath, const std::vector<std::wstring>& files,
                              const std::vector<std::wstring>& dirs)
{
    pugi::xml_document doc;
    pugi::xml_node internal = doc.append_child(L"Uninstall").append_child(L"Internal");
    // The uninstaller reads files first, then the directories they leave empty.
    AppendEntries(internal, L"File", files);
    AppendEntries(internal, L"Dir", dirs);

    UniqueFile stream(_wfopen(filePath.c_str(), L"wb"));
    if (!stream)
        return false;
    StreamWriter writer(stream.get());
    // UTF-8 without byte-order mark or declaration, a tab per depth, LF ends:
    // the form the product's uninstaller reads.
    doc.save(writer, L"\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    // Buffered bytes that cannot be written show up only at the flush.
    bool ok = std::fflush(stream.get()) == 0 && !std::ferror(stream.get());
    return std::fclose(stream.release()) == 0 && ok;
}

bool WriteUninstallManifest(const std::wstring& filePath)
{
    return WriteUninstallManifestOf(filePath, g_installedFiles, g_installedDirs);
}
