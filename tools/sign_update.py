#!/usr/bin/env python3
"""Signs the downloads of an update list (ECDSA P-256 with SHA-256, through the openssl
command; the standard library does the rest).

    sign_update.py public-key KEY.pem          prints the public key for UpdatePublicKey
    sign_update.py sign KEY.pem LIST [ROOT]    writes the eleventh field of every record
                                               whose download ROOT/<folder><file> exists

ROOT is the folder that the base URL stands for, by default the folder above the one
that holds LIST (server/ for server/Updates/_updates.txt). The signed message and the
field's format are written down in the README and in update/UpdateSignature.h.
"""
import hashlib
import os
import re
import subprocess
import sys


def public_key(key_path):
    """The point X‖Y of the key's public half as 128 hex digits."""
    der = subprocess.run(["openssl", "ec", "-in", key_path, "-pubout", "-outform", "DER"],
                         check=True, capture_output=True).stdout
    if len(der) < 65 or der[-65] != 4:
        sys.exit("sign_update.py: %s is not a P-256 key" % key_path)
    return der[-64:].hex()


def atoi(text):
    """The number of a list field, by the rule the program reads it with."""
    match = re.match(r"[ \t\n\v\f\r]*([+-]?)([0-9]*)", text)
    value = int(match.group(2) or "0")
    value = -value if match.group(1) == "-" else value
    return max(-2**31, min(2**31 - 1, value))


def name_fault(file_name):
    """Why the program refuses file_name as a download's name, or None: it takes only
    plain zip names (1 to 64 ASCII letters, digits, ".", "_" and "-", a letter or digit
    first, ".zip" last in any case) that are no device name."""
    if not re.fullmatch(r"[A-Za-z0-9][A-Za-z0-9._-]{0,59}\.[Zz][Ii][Pp]", file_name):
        return "not a plain zip file name"
    if re.match(r"(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])(\.|$)", file_name, re.IGNORECASE):
        return "a device name"
    return None


def message(program_key, version, file_name, data):
    """The bytes that the signature covers; ValueError for a name the program refuses."""
    if name_fault(file_name):
        raise ValueError("%r is %s" % (file_name, name_fault(file_name)))
    lines = ["Voldix-Update-Signatur 1", program_key, "%d.%d.%d.%d" % tuple(version), file_name,
             hashlib.sha256(data).hexdigest()]
    if any("\n" in line or "\r" in line for line in lines):
        raise ValueError("a key or file name with a line break cannot be signed")
    return ("\n".join(lines) + "\n").encode("utf-8")


def signature(key_path, program_key, version, file_name, data):
    """The eleventh field for a download: r‖s as 128 hex digits."""
    der = subprocess.run(["openssl", "dgst", "-sha256", "-sign", key_path],
                         input=message(program_key, version, file_name, data), check=True,
                         capture_output=True).stdout
    # SEQUENCE { INTEGER r, INTEGER s }, every length below 128 for P-256.
    if der[0] != 0x30 or der[2] != 0x02:
        raise ValueError("unexpected signature from openssl")
    r = der[4:4 + der[3]]
    rest = der[4 + der[3]:]
    s = rest[2:2 + rest[1]]
    return (int.from_bytes(r, "big").to_bytes(32, "big")
            + int.from_bytes(s, "big").to_bytes(32, "big")).hex()


def sign_list(key_path, list_path, root):
    with open(list_path, "rb") as source:
        lines = source.read().decode("utf-8").split("\n")
    signed = 0
    for number, line in enumerate(lines):
        ending = "\r" if line.endswith("\r") else ""
        fields = line[: len(line) - len(ending)].split(";")
        if line.startswith("#") or len(fields) < 11:
            continue
        path = os.path.join(root, fields[8] + fields[9])
        if name_fault(fields[9]):
            sys.exit("sign_update.py: line %d: the program refuses the name %r (%s)"
                     % (number + 1, fields[9], name_fault(fields[9])))
        if not fields[9] or not os.path.isfile(path):
            print("sign_update.py: no file %s for line %d" % (path, number + 1), file=sys.stderr)
            continue
        with open(path, "rb") as download:
            data = download.read()
        version = [atoi(field) for field in fields[1:5]]
        fields = fields[:10] + [signature(key_path, fields[0], version, fields[9], data), ""]
        lines[number] = ";".join(fields) + ending
        signed += 1
    with open(list_path, "wb") as target:
        target.write("\n".join(lines).encode("utf-8"))
    print("sign_update.py: %d download(s) signed in %s" % (signed, list_path), file=sys.stderr)


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "public-key":
        print(public_key(args[1]))
    elif len(args) in (3, 4) and args[0] == "sign":
        root = args[3] if len(args) == 4 else os.path.dirname(os.path.dirname(
            os.path.abspath(args[2])))
        sign_list(args[1], args[2], root)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
