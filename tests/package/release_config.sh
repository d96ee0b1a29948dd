#!/usr/bin/env bash
# A release (VOLDIX_RELEASE) is configured only with the maker's key, a point of the
# curve P-256, and an https:// update server, and makes no key of its own.
# Usage: release_config.sh SOURCE TOOLCHAIN-FILE
set -euo pipefail
source=$1
toolchain=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "release_config.sh: $*" >&2; status=1; }
configure() {
    cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVOLDIX_RELEASE=ON \
        -DUpdatePublicKey="$1" -DUpdateBaseUrl="$2" >"$work/out" 2>&1
}

openssl ecparam -name prime256v1 -genkey -noout -out "$work/maker.pem"
key=$(python3 "$source/tools/sign_update.py" public-key "$work/maker.pem")
configure "$key" https://updates.example.com/ || fail "the maker's release is refused: $(cat "$work/out")"
[ ! -e "$work/build/update-key.pem" ] || fail "a release made a key of its own"

other_digit=$([ "${key: -1}" = 0 ] && echo 1 || echo 0)
while IFS='|' read -r case_key url expected; do
    if configure "$case_key" "$url"; then
        fail "configured with key '$case_key' and $url"
    elif ! grep -q "$expected" "$work/out"; then
        fail "key '$case_key', $url: no '$expected' in $(cat "$work/out")"
    fi
done <<CASES
|https://updates.example.com/|needs the maker's key
${key:0:126}|https://updates.example.com/|128 hex digits
${key:0:127}$other_digit|https://updates.example.com/|not a public key of the curve P-256
$key|http://updates.example.com/|needs an https:// UpdateBaseUrl
CASES
exit $status
