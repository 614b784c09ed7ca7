"""Reads the parts of a 32-bit Windows executable (PE32): header fields,
sections, the certificate table's place and every resource's data, and names
the part that holds a given byte."""
import struct

RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                  10: "RCDATA", 12: "GROUP_CURSOR", 14: "GROUP_ICON", 16: "VERSION",
                  24: "MANIFEST"}
SECURITY_DIR = 4
DIRECTORY_NAMES = ["export", "import", "resource", "exception", "certificate table",
                   "base relocation", "debug", "architecture", "global pointer", "TLS",
                   "load config", "bound import", "IAT", "delay import", "CLR", "reserved"]
# PE32 optional header fields: (offset from the optional header, size, name).
OPTIONAL_FIELDS = [
    (0, 2, "Magic"), (2, 1, "MajorLinkerVersion"), (3, 1, "MinorLinkerVersion"),
    (4, 4, "SizeOfCode"), (8, 4, "SizeOfInitializedData"), (12, 4, "SizeOfUninitializedData"),
    (16, 4, "AddressOfEntryPoint"), (20, 4, "BaseOfCode"), (24, 4, "BaseOfData"),
    (28, 4, "ImageBase"), (32, 4, "SectionAlignment"), (36, 4, "FileAlignment"),
    (40, 16, "OS, image and subsystem versions"), (56, 4, "SizeOfImage"),
    (60, 4, "SizeOfHeaders"), (64, 4, "CheckSum"), (68, 2, "Subsystem"),
    (70, 2, "DllCharacteristics"), (72, 16, "stack and heap sizes"), (88, 4, "LoaderFlags"),
    (92, 4, "NumberOfRvaAndSizes")]
COFF_FIELDS = [(0, 2, "Machine"), (2, 2, "NumberOfSections"), (4, 4, "TimeDateStamp"),
               (8, 4, "PointerToSymbolTable"), (12, 4, "NumberOfSymbols"),
               (16, 2, "SizeOfOptionalHeader"), (18, 2, "Characteristics")]


class NotPE(Exception):
    pass


class PE:
    def __init__(self, data):
        self.data = data
        if len(data) < 64 or data[:2] != b"MZ":
            raise NotPE("no MZ header")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise NotPE("no PE signature")
        self.coff = self.pe + 4
        nsect, optsize = struct.unpack_from("<H12xH", data, self.coff + 2)
        self.opt = self.coff + 20
        if struct.unpack_from("<H", data, self.opt)[0] != 0x10B:
            raise NotPE("not a PE32 image")
        self.checksum_at = self.opt + 64
        self.dirs_at = self.opt + 96
        ndirs = struct.unpack_from("<I", data, self.opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, self.dirs_at + 8 * i) for i in range(ndirs)]
        self.sect_at = self.opt + optsize
        self.sections = []
        for i in range(nsect):
            at = self.sect_at + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((name, va, vsize, rawptr, rawsize))
        self.resources = self._resources()

    def rva_to_offset(self, rva):
        for _, va, vsize, rawptr, rawsize in self.sections:
            if va <= rva < va + max(vsize, rawsize):
                return rawptr + rva - va
        return None

    def _resources(self):
        """(file offset, size, "TYPE/NAME", language) of every resource's data."""
        if len(self.dirs) <= 2 or not self.dirs[2][0]:
            return []
        base = self.rva_to_offset(self.dirs[2][0])
        out = []

        def label(entry_name, level_names):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                n = struct.unpack_from("<H", self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * n].decode("utf-16-le", "replace")
            return level_names.get(entry_name, str(entry_name))

        def walk(dir_off, path, depth):
            named, ids = struct.unpack_from("<HH", self.data, dir_off + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, dir_off + 16 + 8 * i)
                here = path + [label(name, RESOURCE_TYPES if depth == 0 else {})]
                if target & 0x80000000:
                    if depth < 3:
                        walk(base + (target & 0x7FFFFFFF), here, depth + 1)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    off = self.rva_to_offset(rva)
                    if off is not None:
                        out.append((off, size, "/".join(here[:2]), here[2]))

        walk(base, [], 0)
        return out

    def where(self, off):
        """Names the part of the file that holds byte OFF."""
        if off < self.coff:
            return "the DOS header and stub"
        for fields, start, what in ((COFF_FIELDS, self.coff, "COFF header"),
                                    (OPTIONAL_FIELDS, self.opt, "optional header")):
            for at, size, name in fields:
                if start + at <= off < start + at + size:
                    return f"the {what} field {name}"
        if self.dirs_at <= off < self.dirs_at + 8 * len(self.dirs):
            i = (off - self.dirs_at) // 8
            return f"the data directory entry of the {DIRECTORY_NAMES[i]}"
        if self.sect_at <= off < self.sect_at + 40 * len(self.sections):
            return f"the section table entry of {self.sections[(off - self.sect_at) // 40][0]}"
        for start, size, name, lang in self.resources:
            if start <= off < start + size:
                return f"resource {name} (language {lang}), byte {off - start} of {size}"
        rsrc = self.rva_to_offset(self.dirs[2][0]) if len(self.dirs) > 2 and self.dirs[2][0] else None
        if rsrc is not None and self.resources and rsrc <= off < min(r[0] for r in self.resources):
            return f"the resource directory (names, sizes and places of the resources), byte {off - rsrc}"
        for name, _, _, rawptr, rawsize in self.sections:
            if rawptr <= off < rawptr + rawsize:
                return f"section {name}, byte {off - rawptr} of {rawsize}"
        return "bytes outside every section"

    def resource(self, name):
        """The data of the first resource called NAME ("TYPE/NAME"), or None."""
        for start, size, rname, _ in self.resources:
            if rname == name:
                return self.data[start:start + size]
        return None
