#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: MinGW-w64, Wine with
# its 32-bit half, Xvfb, ImageMagick, the GoogleTest sources, clang with libFuzzer
# for the native builds, openssl for the update signatures and the test certificates,
# osslsigncode for the program's Authenticode signature,
# and GnuTLS in both halves, through which Wine's CNG checks signatures and its
# schannel speaks HTTPS (Wine's packages only recommend it). Skips the work when
# everything is already there. Both MinGW-w64 compilers: Voldix ships as a 32-bit program, and where the kernel cannot run 32-bit
# code, Wine runs a 64-bit build.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
dpkg -s wine >/dev/null 2>&1 || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
command -v xvfb-run >/dev/null || need+=(xvfb xauth)
dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v cmake >/dev/null || need+=(cmake)
command -v python3 >/dev/null || need+=(python3)
command -v setfattr >/dev/null || need+=(attr)
# The user manual, Markdown made into HTML by the build.
/usr/bin/python3 -c 'import markdown' 2>/dev/null || need+=(python3-markdown)
command -v openssl >/dev/null || need+=(openssl)
# Authenticode signatures of the packaged program, and their check in the tests.
command -v osslsigncode >/dev/null || need+=(osslsigncode)
dpkg -s "libgnutls30:$(dpkg --print-architecture)" >/dev/null 2>&1 || need+=(libgnutls30)
dpkg -s libgnutls30:i386 >/dev/null 2>&1 || need+=(libgnutls30:i386)
# The native sanitizer build and the fuzz target: clang with its libFuzzer runtime.
command -v clang++ >/dev/null || need+=(clang)
if ! command -v clang++ >/dev/null ||
    [ ! -f "$(clang++ -print-runtime-dir)/libclang_rt.fuzzer-$(uname -m).a" ]; then
    need+=(libclang-rt-dev)
fi

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
