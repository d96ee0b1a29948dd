#!/usr/bin/env bash
# Installs what is missing, then builds Voldix: the 32-bit program always, and the
# build that this host's Wine can run (with the tests) when that is another one.
# Also builds the Windows-free logic natively with sanitizers and the fuzz target
# (build/native, with clang).
# Prints the build folder of the runnable build last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base=${VOLDIX_BUILD:-$root/build}
bash "$root/tools/setup.sh"
. "$root/tools/wine-env.sh"
voldix_detect_wine
for arch in $(printf '%s\n' i686 "$VOLDIX_ARCH" | uniq); do
    tests=OFF
    [ "$arch" = "$VOLDIX_ARCH" ] && tests=ON
    cmake -S "$root" -B "$base/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/tools/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVOLDIX_TESTS=$tests >/dev/null
    cmake --build "$base/$arch" -j"$(nproc)" >&2
done
# The Windows-free logic, natively with sanitizers; clang for its libFuzzer (a tree
# configured with another compiler is configured anew).
native_cache="$base/native/CMakeCache.txt"
if [ -f "$native_cache" ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$native_cache"; then
    rm -rf "$native_cache" "$base/native/CMakeFiles"
fi
cmake -S "$root/tests/native" -B "$base/native" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$base/native" -j"$(nproc)" >&2
echo "$base/$VOLDIX_ARCH"
