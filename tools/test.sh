#!/usr/bin/env bash
# The README's test command: builds, makes the Wine test environment and runs every
# test through CTest inside one Xvfb. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(bash "$root/tools/build.sh" | tail -n 1)
status=0
ctest --test-dir "$(dirname "$build")/native" --output-on-failure || status=1
# The release package, made as the README says, once.
package_build="$(dirname "$build")/i686"
rm -f "$package_build"/Voldix-*.zip
(cd "$package_build" && cpack -G ZIP >/dev/null) &&
    python3 "$root/tests/package/check_package.py" "$package_build"/Voldix-*-win32.zip || status=1
# The check itself refuses the same package with a manual that needs a picture outside it.
python3 -B - "$root/tests/package" "$package_build"/Voldix-*-win32.zip <<'EOF' || status=1
import pathlib, re, sys, tempfile, zipfile
sys.path.insert(0, sys.argv[1])
from check_package import problems
source = pathlib.Path(sys.argv[2])
with tempfile.TemporaryDirectory() as folder, zipfile.ZipFile(source) as package:
    copy = pathlib.Path(folder) / source.name
    with zipfile.ZipFile(copy, "w") as out:
        for member in package.infolist():
            data = package.read(member)
            if member.filename.endswith("Anleitung.html"):
                data = re.sub(rb'src="data:[^"]*"', b'src="bilder/fenster.png"', data, count=1)
            out.writestr(member, data)
    if "Anleitung.html needs a picture that is not in it" not in problems(copy):
        sys.exit("the package check passes a manual with a picture outside it")
EOF
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/tools/ctest-in-wine.sh" "$build" "$@" || status=1
exit $status
