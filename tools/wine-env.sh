#!/usr/bin/env bash
# The Wine test environment: a prefix of its own, test drives mapped to fixture
# folders with their types and labels. Source it, then call the functions.
#   voldix_detect_wine          picks the Wine this host can run and the build for it
#   voldix_wine_env PREFIX      exports the Wine settings for PREFIX
#   voldix_prefix               makes the prefix if missing (needs a display)
#   voldix_test_drives FIXTURES maps P: Q: R: S: N: to empty fixture folders

# The 32-bit Wine where the kernel runs 32-bit programs; otherwise the 64-bit Wine
# and the 64-bit build of the same sources.
voldix_detect_wine() {
    if [ -z "${VOLDIX_ARCH:-}" ]; then
        if /usr/lib/wine/wine --version >/dev/null 2>&1; then
            VOLDIX_ARCH=i686
        else
            VOLDIX_ARCH=x86_64
        fi
    fi
    if [ "$VOLDIX_ARCH" = i686 ]; then
        VOLDIX_WINE=/usr/lib/wine/wine
        WINEARCH=win32
    else
        VOLDIX_WINE=/usr/lib/wine/wine64
        WINEARCH=win64
    fi
    export VOLDIX_ARCH VOLDIX_WINE WINEARCH WINELOADER=$VOLDIX_WINE
}

voldix_wine_env() {
    voldix_detect_wine
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export http_proxy= https_proxy= HTTP_PROXY= HTTPS_PROXY= no_proxy=
}

voldix_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        "$VOLDIX_WINE" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # The 64-bit Wine of Debian does not find its own Marlett font, which draws the
    # caption buttons; without it they show as "0 1 r".
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    # Without a window manager, Wine would wait on every hidden window.
    "$VOLDIX_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

voldix_test_drives() {
    local fixtures="$1" letter type dev="$WINEPREFIX/dosdevices"
    # A test that bind-mounts a fixture folder undoes it; one that crashed may not have.
    awk -v dir="$fixtures/" 'index($2, dir) == 1 {print $2}' /proc/mounts | sort -r |
        xargs -r -n1 umount -l 2>/dev/null || true
    # So may a test that made files immutable.
    if [ -d "$fixtures" ]; then chattr -R -i "$fixtures" 2>/dev/null || true; fi
    rm -rf "$fixtures"
    # Only C: (the prefix's own) and Z: (the Unix root) stay; everything else is ours.
    for link in "$dev"/?:; do
        case "$(basename "$link")" in c: | z:) ;; *) rm -f "$link" ;; esac
    done
    for drive in p:hd q:hd r:floppy s:cdrom n:network; do
        letter=${drive%%:*}
        type=${drive#*:}
        mkdir -p "$fixtures/$letter"
        ln -sfn "$fixtures/$letter" "$dev/$letter:"
        "$VOLDIX_WINE" reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$type" /f >/dev/null 2>&1
    done
    printf 'DATEN\n' >"$fixtures/p/.windows-label"
    printf '1234ABCD\n' >"$fixtures/p/.windows-serial"
    # Drive types take effect when the wineserver starts anew.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
