#!/usr/bin/env python3
"""Reads a Windows executable's import and delay-import tables, without running it, and checks
that every DLL it calls can be reached:

- every import descriptor names its DLL and lists entry points that resolve inside the image;
- every delay-import descriptor is listed in the delay-import directory, and each of its slots
  points at the image's own code until the first call replaces it (a slot left at 0 jumps to
  address 0 on that call);
- the DLLs given with --on-first-use are not imported at start at all: the executable loads
  them itself by name (their names are in it as UTF-16 text).

Usage: check_imports.py EXE [--on-first-use DLL ...]. Exit code 0 when all holds, 1 otherwise,
with one line per fault.
"""
import argparse
import struct
import sys

IMAGE_SCN_MEM_EXECUTE = 0x20000000
DIR_IMPORT, DIR_DELAY_IMPORT = 1, 13


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an executable (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError(f"unknown optional header magic {magic:#x}")
        self.pe32 = magic == 0x10B
        self.word = 4 if self.pe32 else 8
        self.base = struct.unpack_from("<I", data, opt + 28)[0] if self.pe32 else struct.unpack_from("<Q", data, opt + 24)[0]
        dirs = opt + (96 if self.pe32 else 112)
        count = struct.unpack_from("<I", data, dirs - 4)[0]
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        for i in range(sections):
            o = opt + optional_size + 40 * i
            name = data[o:o + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, va, rsize, raw = struct.unpack_from("<IIII", data, o + 8)
            flags = struct.unpack_from("<I", data, o + 36)[0]
            self.sections.append((name, va, max(vsize, rsize), raw, rsize, flags))

    def section(self, rva):
        for s in self.sections:
            if s[1] <= rva < s[1] + s[2]:
                return s
        return None

    def offset(self, rva):
        s = self.section(rva)
        if not s or rva - s[1] >= s[4]:
            return None
        return s[3] + rva - s[1]

    def u32(self, rva):
        o = self.offset(rva)
        return None if o is None or o + 4 > len(self.data) else struct.unpack_from("<I", self.data, o)[0]

    def slot(self, rva):
        o = self.offset(rva)
        if o is None or o + self.word > len(self.data):
            return None
        return struct.unpack_from("<I" if self.pe32 else "<Q", self.data, o)[0]

    def text(self, rva):
        o = self.offset(rva)
        if o is None:
            return None
        end = self.data.find(b"\0", o, o + 512)
        return None if end < 0 else self.data[o:end].decode("ascii", "replace")

    def executable(self, rva):
        s = self.section(rva)
        return bool(s and s[5] & IMAGE_SCN_MEM_EXECUTE)

    def thunk_names(self, rva, faults, where):
        """The entry points of one name table, each 'name' or '#ordinal'."""
        names, ordinal_bit = [], 1 << (8 * self.word - 1)
        for i in range(100000):
            entry = self.slot(rva + i * self.word)
            if entry is None:
                faults.append(f"{where}: its name table runs outside the image")
                break
            if entry == 0:
                break
            if entry & ordinal_bit:
                names.append(f"#{entry & 0xFFFF}")
                continue
            name = self.text(entry + 2) if entry < 1 << 32 else None
            if not name:
                faults.append(f"{where}: entry {i} names nothing in the image")
                break
            names.append(name)
        return names


def import_descriptors(image, faults):
    rva, size = image.dirs[DIR_IMPORT]
    dlls = {}
    for i in range(size // 20 if rva else 0):
        original, _, _, name, first = struct.unpack_from("<IIIII", image.data, image.offset(rva + 20 * i) or 0)
        if name == 0:
            break
        dll = image.text(name)
        if not dll:
            faults.append(f"import descriptor {i}: its DLL name is not in the image")
            continue
        names = image.thunk_names(original or first, faults, f"import of {dll}")
        if not names:
            faults.append(f"import of {dll}: no entry points")
        dlls[dll.lower()] = names
    return dlls


def delay_descriptor_at(image, rva):
    """The fields of a delay-import descriptor at rva, or None when none is there."""
    if image.offset(rva) is None or image.offset(rva + 31) is None:
        return None
    attributes, name, module, iat, names, _, _, _ = struct.unpack_from("<8I", image.data, image.offset(rva))
    return attributes, name, module, iat, names


def delay_descriptors(image, faults):
    rva, size = image.dirs[DIR_DELAY_IMPORT] if len(image.dirs) > DIR_DELAY_IMPORT else (0, 0)
    listed = []
    for i in range(size // 32 if rva else 0):
        fields = delay_descriptor_at(image, rva + 32 * i)
        if not fields or fields[1] == 0:
            break
        listed.append(rva + 32 * i)
    # Descriptors the linker wrote without listing them: tools and the loader never see them.
    unlisted = []
    for s in image.sections:
        for pos in range(s[3], s[3] + s[4] - 32, 4):
            if image.data[pos:pos + 4] != b"\1\0\0\0":
                continue
            desc = s[1] + pos - s[3]
            fields = delay_descriptor_at(image, desc)
            dll = image.text(fields[1]) if fields and fields[1] else None
            if (desc not in listed and dll and len(dll) > 4 and dll.lower().endswith(".dll")
                    and image.offset(fields[3]) is not None and image.offset(fields[4]) is not None):
                unlisted.append(desc)
    dlls = {}
    for desc in listed + unlisted:
        attributes, name, module, iat, names = delay_descriptor_at(image, desc)
        dll = image.text(name)
        where = f"delay import of {dll or '?'}"
        if desc in unlisted:
            faults.append(f"{where}: its descriptor is not in the delay-import directory")
        if attributes != 1 or not dll or image.offset(module) is None:
            faults.append(f"{where}: malformed descriptor")
            continue
        entries = image.thunk_names(names, faults, where)
        for k, entry in enumerate(entries):
            target = image.slot(iat + k * image.word)
            if not target or target < image.base or not image.executable(target - image.base):
                faults.append(f"{where}: the slot of {entry} holds {target or 0:#x}, not the image's code: "
                              "its first call jumps there")
        dlls[dll.lower()] = entries
    return dlls


def check(path, on_first_use):
    with open(path, "rb") as f:
        image = Image(f.read())
    faults = []
    imported = import_descriptors(image, faults)
    delayed = delay_descriptors(image, faults)
    for dll in on_first_use:
        key = dll.lower()
        if key in imported:
            faults.append(f"{dll} is imported at start ({', '.join(imported[key][:4])}...): "
                          "it should load on first use")
        elif key not in delayed and dll.encode("utf-16-le").lower() not in image.data.lower():
            faults.append(f"{dll} is neither imported nor named in the image: nothing can load it")
    return image, imported, delayed, faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--on-first-use", nargs="*", default=[])
    args = parser.parse_args()
    try:
        image, imported, delayed, faults = check(args.exe, args.on_first_use)
    except (OSError, ValueError, struct.error) as e:
        print(f"{args.exe}: {e}")
        return 1
    arch = "i686" if image.pe32 else "x86_64"
    print(f"{args.exe} ({arch}): imports {', '.join(sorted(imported))}"
          + (f"; delay imports {', '.join(sorted(delayed))}" if delayed else ""))
    for fault in faults:
        print(f"{args.exe}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
