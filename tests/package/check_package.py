#!/usr/bin/env python3
"""The package opens and holds exactly what ships, in one folder: Voldix.exe, a 32-bit
program carrying the version of the package's name, the self-contained Anleitung.html
and LIESMICH.txt. A development package (Voldix-<version>-dev-win32.zip) says so in its
LIESMICH.txt; a release (Voldix-<version>-win32.zip) does not, and its program trusts
none of the keys that builds made for themselves (build/*/update-key.pem and the keys
given). Usage: check_package.py PACKAGE.zip [BUILD-KEY.pem...]"""
import pathlib
import re
import struct
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
import sign_update  # noqa: E402


def problems(path, build_keys):
    name = re.fullmatch(r"Voldix-(\d+\.\d+\.\d+\.\d+)(-dev)?-win32\.zip", path.name)
    if not name:
        return ["not named Voldix-<version>[-dev]-win32.zip"]
    with zipfile.ZipFile(path) as package:
        if package.testzip() is not None:
            return ["a member is damaged"]
        files = [pathlib.PurePosixPath(i.filename) for i in package.infolist() if not i.is_dir()]
        if sorted(f.name for f in files) != ["Anleitung.html", "LIESMICH.txt", "Voldix.exe"] or len(
            {f.parent for f in files}) != 1:
            return [f"holds {sorted(map(str, files))}"]
        exe = package.read(str(files[0].parent / "Voldix.exe"))
        manual = package.read(str(files[0].parent / "Anleitung.html")).decode("utf-8")
        readme = package.read(str(files[0].parent / "LIESMICH.txt")).decode("utf-8-sig")
    found = []
    if bool(name.group(2)) != ("ENTWICKLUNGSVERSION" in readme):
        found.append("LIESMICH.txt does not say what build it is")
    if not name.group(2):
        for key in build_keys:
            if sign_update.public_key(str(key)).encode() in exe.lower():
                found.append(f"Voldix.exe trusts the build's own key {key}")
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe : pe + 6] != b"PE\0\0\x4c\x01" or exe[pe + 24 : pe + 26] != b"\x0b\x01":
        found.append("Voldix.exe is not a 32-bit Windows program")
    # The fixed file information of the version resource: signature, then the numbers.
    at = exe.find(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<II", exe, at + 8) if at >= 0 else (0, 0)
    version = f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
    if version != name.group(1):
        found.append(f"Voldix.exe carries version {version}")
    if re.search(r'<img [^>]*src="(?!data:)', manual):
        found.append("Anleitung.html needs a picture that is not in it")
    return found


if __name__ == "__main__":
    keys = set(map(pathlib.Path, sys.argv[2:])) | set(ROOT.glob("build/*/update-key.pem"))
    found = problems(pathlib.Path(sys.argv[1]), sorted(keys))
    print("\n".join(f"{sys.argv[1]}: {p}" for p in found) or f"{sys.argv[1]}: as it ships")
    sys.exit(1 if found else 0)
