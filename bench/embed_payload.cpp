#include "bench/embed_payload.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "system/win_handles.h"

namespace {

// The archive goes through a buffer of this size, however large it is.
constexpr DWORD kChunk = 1 << 20;
// The new section starts on a page, so that Wine maps it from the file
// instead of reading a payload of a gigabyte into memory at the start.
constexpr DWORD kPage = 0x1000;

DWORD AlignUp(DWORD value, DWORD alignment) { return (value + alignment - 1) / alignment * alignment; }

bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD size)
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &got, nullptr) &&
           got == size;
}

bool WriteAt(HANDLE file, uint64_t offset, const void* buffer, DWORD size)
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD put = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && WriteFile(file, buffer, size, &put, nullptr) &&
           put == size;
}

// A resource directory entry's key: a name, or an id when the name is empty.
struct Key {
    std::wstring name;
    WORD id = 0;
};

bool operator<(const Key& a, const Key& b)
{
    // Named entries come first, by name as the loader compares them, then ids.
    if (a.name.empty() != b.name.empty())
        return !a.name.empty();
    if (a.name.empty())
        return a.id < b.id;
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](wchar_t x, wchar_t y) { return towupper(x) < towupper(y); });
}
bool operator==(const Key& a, const Key& b) { return !(a < b) && !(b < a); }

struct Leaf {
    Key type, name, lang;
    IMAGE_RESOURCE_DATA_ENTRY data{};
};

// The resource tree of an image, read from the bytes of its resource
// directory (base is the directory's RVA).
class TreeReader {
public:
    TreeReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool Read(std::vector<Leaf>& leaves) { return Walk(0, 0, Leaf{}, leaves); }

private:
    template <class T>
    bool At(DWORD offset, T& value) const
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T))
            return false;
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return true;
    }

    bool KeyOf(const IMAGE_RESOURCE_DIRECTORY_ENTRY& entry, Key& key) const
    {
        if (!entry.NameIsString) {
            key.id = entry.Id;
            return true;
        }
        WORD length = 0;
        if (!At(entry.NameOffset, length) || entry.NameOffset + 2 + length * 2u > m_bytes.size())
            return false;
        key.name.assign(reinterpret_cast<const wchar_t*>(m_bytes.data() + entry.NameOffset + 2), length);
        return !key.name.empty();
    }

    bool Walk(DWORD offset, int level, Leaf path, std::vector<Leaf>& leaves) const
    {
        IMAGE_RESOURCE_DIRECTORY dir{};
        if (level > 2 || !At(offset, dir))
            return false;
        DWORD count = dir.NumberOfNamedEntries + dir.NumberOfIdEntries;
        for (DWORD i = 0; i < count; ++i) {
            IMAGE_RESOURCE_DIRECTORY_ENTRY entry{};
            if (!At(offset + sizeof(dir) + i * sizeof(entry), entry))
                return false;
            Key& key = level == 0 ? path.type : level == 1 ? path.name : path.lang;
            if (!KeyOf(entry, key))
                return false;
            if (entry.DataIsDirectory) {
                if (!Walk(entry.OffsetToDirectory, level + 1, path, leaves))
                    return false;
            } else {
                if (level != 2 || !At(entry.OffsetToData, path.data))
                    return false;
                leaves.push_back(path);
            }
        }
        return true;
    }

    const std::vector<uint8_t>& m_bytes;
};

// Writes the tree of leaves (sorted) as a resource directory placed at RVA
// base: tables, then data entries, then names.
std::vector<uint8_t> WriteTree(const std::vector<Leaf>& leaves)
{
    struct Node {
        Key key;
        std::vector<Node> children;
        size_t leaf = 0;
        DWORD offset = 0;
    };
    Node root;
    for (size_t i = 0; i < leaves.size(); ++i) {
        Node* node = &root;
        for (const Key* key : {&leaves[i].type, &leaves[i].name, &leaves[i].lang}) {
            if (node->children.empty() || !(node->children.back().key == *key))
                node->children.push_back(Node{*key, {}, i, 0});
            node = &node->children.back();
        }
    }
    // Offsets: every table (breadth first, as linkers lay them out), then
    // the data entries, then the names.
    std::vector<Node*> tables{&root};
    for (size_t i = 0; i < tables.size(); ++i)
        for (Node& child : tables[i]->children)
            if (!child.children.empty())
                tables.push_back(&child);
    DWORD size = 0;
    for (Node* table : tables) {
        table->offset = size;
        size += sizeof(IMAGE_RESOURCE_DIRECTORY) + table->children.size() * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY);
    }
    const DWORD dataStart = size;
    size += leaves.size() * sizeof(IMAGE_RESOURCE_DATA_ENTRY);
    std::vector<uint8_t> out(size);
    auto addName = [&](const std::wstring& name) {
        DWORD at = static_cast<DWORD>(out.size());
        WORD length = static_cast<WORD>(name.size());
        out.resize(at + 2 + name.size() * 2);
        std::memcpy(out.data() + at, &length, 2);
        std::memcpy(out.data() + at + 2, name.data(), name.size() * 2);
        return at;
    };
    for (Node* table : tables) {
        IMAGE_RESOURCE_DIRECTORY dir{};
        for (const Node& child : table->children)
            ++(child.key.name.empty() ? dir.NumberOfIdEntries : dir.NumberOfNamedEntries);
        std::memcpy(out.data() + table->offset, &dir, sizeof(dir));
        DWORD at = table->offset + sizeof(dir);
        for (const Node& child : table->children) {
            IMAGE_RESOURCE_DIRECTORY_ENTRY entry{};
            if (child.key.name.empty())
                entry.Name = child.key.id;
            else
                entry.Name = IMAGE_RESOURCE_NAME_IS_STRING | addName(child.key.name);
            if (child.children.empty())
                entry.OffsetToData = dataStart + child.leaf * sizeof(IMAGE_RESOURCE_DATA_ENTRY);
            else
                entry.OffsetToData = IMAGE_RESOURCE_DATA_IS_DIRECTORY | child.offset;
            std::memcpy(out.data() + at, &entry, sizeof(entry));
            at += sizeof(entry);
        }
    }
    for (size_t i = 0; i < leaves.size(); ++i)
        std::memcpy(out.data() + dataStart + i * sizeof(IMAGE_RESOURCE_DATA_ENTRY), &leaves[i].data,
                    sizeof(IMAGE_RESOURCE_DATA_ENTRY));
    out.resize(AlignUp(static_cast<DWORD>(out.size()), 8));
    return out;
}

bool Fail(const char* what)
{
    std::fprintf(stderr, "embed: %s\n", what);
    return false;
}

}  // namespace

bool EmbedPayload(const wchar_t* image, const wchar_t* archive, const wchar_t* out, const wchar_t* type,
                  WORD id)
{
    UniqueFileHandle source(CreateFileW(image, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    UniqueFileHandle input(CreateFileW(archive, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source || !input)
        return Fail("cannot open the program or the archive");
    LARGE_INTEGER imageSize{}, archiveSize{};
    if (!GetFileSizeEx(source.Get(), &imageSize) || !GetFileSizeEx(input.Get(), &archiveSize))
        return Fail("cannot size the program or the archive");

    // The headers: DOS stub, NT headers (PE32) and the section table.
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS32 nt{};
    if (!ReadAt(source.Get(), 0, &dos, sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !ReadAt(source.Get(), dos.e_lfanew, &nt, sizeof(nt)) || nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        return Fail("the program is no PE32 image");
    const DWORD tableAt = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                          nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections + 1);
    if (!ReadAt(source.Get(), tableAt, sections.data(), (sections.size() - 1) * sizeof(IMAGE_SECTION_HEADER)))
        return Fail("cannot read the section table");
    sections.pop_back();
    DWORD firstRaw = nt.OptionalHeader.SizeOfHeaders;
    for (const auto& s : sections)
        if (s.SizeOfRawData)
            firstRaw = std::min(firstRaw, s.PointerToRawData);
    if (tableAt + (sections.size() + 1) * sizeof(IMAGE_SECTION_HEADER) > firstRaw)
        return Fail("no room for one more section header");

    // The old resource tree, read from the section that holds it.
    std::vector<Leaf> leaves;
    IMAGE_DATA_DIRECTORY& resources = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    if (resources.VirtualAddress) {
        auto holder = std::find_if(sections.begin(), sections.end(), [&](const IMAGE_SECTION_HEADER& s) {
            return resources.VirtualAddress >= s.VirtualAddress &&
                   resources.VirtualAddress < s.VirtualAddress + s.SizeOfRawData;
        });
        if (holder == sections.end())
            return Fail("the resource directory lies in no section");
        std::vector<uint8_t> bytes(holder->SizeOfRawData - (resources.VirtualAddress - holder->VirtualAddress));
        if (!ReadAt(source.Get(), holder->PointerToRawData + (resources.VirtualAddress - holder->VirtualAddress),
                    bytes.data(), static_cast<DWORD>(bytes.size())) ||
            !TreeReader(bytes).Read(leaves))
            return Fail("cannot read the resource directory");
    }
    // The payload replaces a resource of the same type and id.
    Leaf payload;
    payload.type.name = type;
    payload.name.id = id;
    payload.lang.id = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    std::erase_if(leaves, [&](const Leaf& l) { return l.type == payload.type && l.name == payload.name; });

    // The new section: the whole tree, then the archive's bytes.
    const IMAGE_SECTION_HEADER& last = sections.back();
    const DWORD align = nt.OptionalHeader.SectionAlignment;
    const DWORD rva = AlignUp(last.VirtualAddress + std::max(last.Misc.VirtualSize, last.SizeOfRawData), align);
    leaves.push_back(payload);
    std::sort(leaves.begin(), leaves.end(), [](const Leaf& a, const Leaf& b) {
        return a.type < b.type || (a.type == b.type && (a.name < b.name || (a.name == b.name && a.lang < b.lang)));
    });
    const DWORD treeSize = static_cast<DWORD>(WriteTree(leaves).size());  // its size does not depend on the RVA
    for (Leaf& leaf : leaves)
        if (leaf.type == payload.type && leaf.name == payload.name) {
            leaf.data.OffsetToData = rva + treeSize;
            leaf.data.Size = static_cast<DWORD>(archiveSize.QuadPart);
        }
    const std::vector<uint8_t> tree = WriteTree(leaves);
    const uint64_t total = tree.size() + static_cast<uint64_t>(archiveSize.QuadPart);
    if (archiveSize.QuadPart > 0x7fff0000LL || rva + total > 0xfff00000ULL)
        return Fail("the archive is too large for a 32-bit image");

    IMAGE_SECTION_HEADER section{};
    std::memcpy(section.Name, ".kxpay", 6);
    section.VirtualAddress = rva;
    section.Misc.VirtualSize = static_cast<DWORD>(total);
    section.PointerToRawData = AlignUp(static_cast<DWORD>(imageSize.QuadPart), kPage);
    section.SizeOfRawData = AlignUp(static_cast<DWORD>(total), nt.OptionalHeader.FileAlignment);
    section.Characteristics = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ;
    static_assert((IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ) == 0x40000040);
    nt.FileHeader.NumberOfSections += 1;
    nt.OptionalHeader.SizeOfImage = AlignUp(rva + section.Misc.VirtualSize, align);
    nt.OptionalHeader.SizeOfInitializedData += section.SizeOfRawData;
    nt.OptionalHeader.CheckSum = 0;
    resources.VirtualAddress = rva;
    resources.Size = static_cast<DWORD>(tree.size());

    // The copy: the program's bytes, the new headers, then the section,
    // the archive streamed through one buffer.
    if (!CopyFileW(image, out, FALSE))
        return Fail("cannot copy the program");
    UniqueFileHandle target(CreateFileW(out, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!target || !WriteAt(target.Get(), dos.e_lfanew, &nt, sizeof(nt)) ||
        !WriteAt(target.Get(), tableAt + sections.size() * sizeof(section), &section, sizeof(section)) ||
        !WriteAt(target.Get(), section.PointerToRawData, tree.data(), static_cast<DWORD>(tree.size())))
        return Fail("cannot write the copy's headers");
    std::vector<uint8_t> buffer(kChunk);
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(input.Get(), start, nullptr, FILE_BEGIN))
        return Fail("cannot read the archive");
    for (uint64_t left = archiveSize.QuadPart; left > 0;) {
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(left, kChunk));
        DWORD got = 0, put = 0;
        if (!ReadFile(input.Get(), buffer.data(), chunk, &got, nullptr) || got != chunk ||
            !WriteFile(target.Get(), buffer.data(), chunk, &put, nullptr) || put != chunk)
            return Fail("cannot copy the archive");
        left -= chunk;
    }
    // The section's raw size is a whole number of file-alignment units.
    std::vector<uint8_t> zeros(section.SizeOfRawData - section.Misc.VirtualSize);
    DWORD put = 0;
    if (!zeros.empty() && (!WriteFile(target.Get(), zeros.data(), static_cast<DWORD>(zeros.size()), &put, nullptr) ||
                           put != zeros.size()))
        return Fail("cannot write the copy");
    return true;
}
