#!/usr/bin/env bash
# The README's test command: builds, makes the Wine test environment and runs every
# test through CTest inside one Xvfb. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(bash "$root/tools/build.sh" | tail -n 1)
status=0
ctest --test-dir "$(dirname "$build")/native" --output-on-failure || status=1
# The package, made as the README says, once (a development package, signed with a
# throwaway certificate).
bash "$root/tests/package/package_test.sh" "$(dirname "$build")/i686" || status=1
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/tools/ctest-in-wine.sh" "$build" "$@" || status=1
exit $status
