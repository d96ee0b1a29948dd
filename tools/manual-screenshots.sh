#!/usr/bin/env bash
# Makes the pictures of the user manual (docs/bilder/*.png) from the real program: builds
# Voldix.exe, starts it under Wine in Xvfb on a fixed sample tree mapped as drive D:
# with a sample error log beside it, and captures each window that manual_shots opens.
# Runs on request; commit the pictures it writes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${VOLDIX_SHOTS_DISPLAY:-}" ]; then
    build=$(bash "$root/tools/build.sh" | tail -n 1)
    cmake --build "$build" --target manual_shots >&2
    exec env VOLDIX_SHOTS_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
build=$(cd "$1" && pwd)
work="$build/manual"
. "$root/tools/wine-env.sh"
voldix_wine_env "$work/prefix"
wineserver -k 2>/dev/null || true
voldix_prefix

# The sample tree: sizes and times fixed, so that the pictures only change with the program.
sample="$work/sample"
rm -rf "$sample"
mkdir -p "$sample"
while read -r size path; do
    mkdir -p "$sample/$(dirname "$path")"
    truncate -s "$size" "$sample/$path"
done <<'TREE'
734003200 Filme/Urlaub 2023.mp4
524288000 Filme/Hochzeit.mp4
4718592 Fotos/2024/IMG_0001.jpg
5242880 Fotos/2024/IMG_0002.jpg
3670016 Fotos/2023/IMG_0815.jpg
104857600 Musik/Konzert.flac
62914560 Musik/Hörbuch.mp3
1048576 Dokumente/Vertrag.pdf
24576 Dokumente/Brief an Oma.docx
12288 Dokumente/Steuer 2023.xlsx
2048 notizen.txt
TREE
find "$sample" -exec touch -d '2024-03-14 10:30' {} +
dev="$WINEPREFIX/dosdevices"
rm -f "$dev/d:"
ln -sfn "$sample" "$dev/d:"
"$VOLDIX_WINE" reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >/dev/null 2>&1
"$VOLDIX_WINE" attrib +r 'D:\Dokumente\Vertrag.pdf' >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# The program in a folder of its own, with a sample error log beside it.
program="$WINEPREFIX/drive_c/Voldix"
mkdir -p "$program"
cp "$build/bin/Voldix.exe" "$program/"
printf '%s\r\n' \
    '<14.03.2024 10:31:02>: <The file could not be accessed.> "D:\Dokumente\Vertrag.pdf".' \
    '<14.03.2024 10:31:02>: <The file could not be accessed.> "D:\Dokumente\Steuer 2023.xlsx".' \
    >"$program/Voldix.log"

out="$root/docs/bilder"
mkdir -p "$out"
rm -f "$out"/*.png
shots="$work/shots"
rm -rf "$shots"
mkdir -p "$shots"
wineserver -p >/dev/null 2>&1 </dev/null
# German buttons in the system's message boxes, as on a German Windows.
env LC_ALL=de_DE.UTF-8 "$VOLDIX_WINE" "$build/bin/manual_shots.exe" 'C:\Voldix\Voldix.exe' \
    "Z:${shots//\//\\}" |
    while read -r word name left top right bottom; do
        [ "$word" = SHOT ] || continue
        bottom=${bottom%$'\r'}
        import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
            -strip "PNG8:$shots/$name.tmp.png"
        mv "$shots/$name.tmp.png" "$shots/$name.png"
        cp "$shots/$name.png" "$out/$name.png"
        echo "$out/$name.png"
    done
status=${PIPESTATUS[0]}
wineserver -k 2>/dev/null || true
exit "$status"
