#include "install/uninstall_manifest.h"

#include <cstdio>
#include <memory>

#include <pugixml.hpp>

#include "system/file_system.h"

namespace {

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

void AppendEntries(pugi::xml_node parent, const wchar_t* element, const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        parent.append_child(element).append_attribute(L"path").set_value(path.c_str());
}

}  // namespace

bool WriteUninstallManifestOf(const CheckedDir& programDir, const std::vector<std::wstring>& files,
                              const std::vector<std::wstring>& dirs)
{
    pugi::xml_document doc;
    pugi::xml_node internal = doc.append_child(L"Uninstall").append_child(L"Internal");
    // The uninstaller reads files first, then the directories they leave empty.
    AppendEntries(internal, L"File", files);
    AppendEntries(internal, L"Dir", dirs);

    StringWriter writer;
    // UTF-8 without byte-order mark or declaration, a tab per depth, LF ends:
    // the form the product's uninstaller reads.
    doc.save(writer, L"\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return WriteNewFile(programDir, kManifestFileName, writer.text);
}
