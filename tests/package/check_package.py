#!/usr/bin/env python3
"""The release package opens and holds exactly what ships: the 32-bit Voldix.exe that
carries the version of the package's name, Anleitung.html and LIESMICH.txt.
Usage: check_package.py Voldix-<version>-win32.zip"""
import pathlib
import re
import struct
import sys
import zipfile


def file_version(exe):
    """The four numbers of the fixed file version of the version resource."""
    at = exe.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    high, low = struct.unpack_from("<II", exe, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def problems(path):
    name = re.fullmatch(r"Voldix-(\d+\.\d+\.\d+\.\d+)-win32\.zip", path.name)
    if not name:
        return [f"{path.name} is not named Voldix-<version>-win32.zip"]
    with zipfile.ZipFile(path) as package:
        if package.testzip() is not None:
            return ["a member of the package is damaged"]
        files = {pathlib.PurePosixPath(i.filename) for i in package.infolist() if not i.is_dir()}
        expected = {"Voldix.exe", "Anleitung.html", "LIESMICH.txt"}
        if {f.name for f in files} != expected or len({f.parent for f in files}) != 1:
            return [f"the package holds {sorted(map(str, files))}, not {sorted(expected)} in one folder"]
        folder = next(iter(files)).parent
        exe = package.read(str(folder / "Voldix.exe"))
        manual = package.read(str(folder / "Anleitung.html")).decode("utf-8")
    found = []
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    machine, magic = struct.unpack_from("<H", exe, pe + 4)[0], struct.unpack_from("<H", exe, pe + 24)[0]
    if exe[pe : pe + 4] != b"PE\0\0" or machine != 0x14C or magic != 0x10B:
        found.append(f"Voldix.exe is not a 32-bit Windows program (machine {machine:#x})")
    if file_version(exe) != name.group(1):
        found.append(f"Voldix.exe carries version {file_version(exe)}, the name {name.group(1)}")
    if re.search(r'<img [^>]*src="(?!data:)', manual):
        found.append("Anleitung.html needs a picture that is not in it")
    return found


if __name__ == "__main__":
    found = problems(pathlib.Path(sys.argv[1]))
    for problem in found:
        print(f"{sys.argv[1]}: {problem}")
    print(f"{sys.argv[1]}: {'not right' if found else 'opens and holds what ships'}")
    sys.exit(1 if found else 0)
