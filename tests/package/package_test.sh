#!/usr/bin/env bash
# The package as the README makes it, its program signed by a throwaway CA's certificate:
# the package check passes, the signature verifies against that CA and breaks with one
# changed byte; under a release's name the package is refused (it trusts the build's own
# key); the signing tool refuses a download name that the program refuses.
# Usage: package_test.sh BUILD (a configured and built 32-bit build folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
fail() { echo "package_test.sh: $*" >&2; status=1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
    -subj "/CN=Voldix Test CA" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -new -newkey rsa:2048 -nodes -keyout sign.key -out sign.csr -subj "/CN=Pelka" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >sign.ext
openssl x509 -req -in sign.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile sign.ext -out sign.pem 2>/dev/null

rm -f "$build"/Voldix-*.zip
(cd "$build" && VOLDIX_SIGN_CERT="$work/sign.pem" VOLDIX_SIGN_KEY="$work/sign.key" cpack -G ZIP >/dev/null)
package=$(echo "$build"/Voldix-*-dev-win32.zip)
python3 "$root/tests/package/check_package.py" "$package" "$build/update-key.pem" || status=1
# The check itself refuses the same package with a manual that needs a picture outside it.
python3 -B - "$root/tests/package" "$package" <<'EOF' || status=1
import pathlib, re, sys, zipfile
sys.path.insert(0, sys.argv[1])
from check_package import problems
copy = pathlib.Path("outside", pathlib.Path(sys.argv[2]).name)
copy.parent.mkdir()
with zipfile.ZipFile(sys.argv[2]) as package, zipfile.ZipFile(copy, "w") as out:
    for member in package.infolist():
        data = package.read(member)
        if member.filename.endswith("Anleitung.html"):
            data = re.sub(rb'src="data:[^"]*"', b'src="bilder/fenster.png"', data, count=1)
        out.writestr(member, data)
if "Anleitung.html needs a picture that is not in it" not in problems(copy, []):
    sys.exit("the package check passes a manual with a picture outside it")
EOF

python3 -m zipfile -e "$package" unpacked
program=$(find unpacked -name Voldix.exe)
osslsigncode verify -CAfile ca.pem -in "$program" >verify.log 2>&1 ||
    fail "the signed Voldix.exe does not verify: $(cat verify.log)"
python3 -c 'import sys; p = sys.argv[1]; d = bytearray(open(p, "rb").read())
d[len(d) // 2] ^= 1; open(p, "wb").write(d)' "$program"
! osslsigncode verify -CAfile ca.pem -in "$program" >/dev/null 2>&1 ||
    fail "a Voldix.exe with one byte changed still verifies"

printf 'voldix;1;0;0;22;2007.3.15;1;1;Updates/;Voldix.log;\n' >list.txt
! python3 "$root/tools/sign_update.py" sign "$build/update-key.pem" list.txt . 2>/dev/null ||
    fail "sign_update.py signs a download named Voldix.log"

release="$work/$(basename "$package" | sed 's/-dev-win32/-win32/')"
cp "$package" "$release"
python3 "$root/tests/package/check_package.py" "$release" "$build/update-key.pem" >refused.log || true
grep -q "trusts the build's own key" refused.log ||
    fail "a release package with the build's own key passes: $(cat refused.log)"
exit $status
