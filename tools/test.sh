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
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/tools/ctest-in-wine.sh" "$build" "$@" || status=1
exit $status
