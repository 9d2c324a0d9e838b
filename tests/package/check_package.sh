#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, unpacks it into a scratch root and checks that the programs run from
# there and that the desktop finds what it looks for: check_package.sh BUILD VERSION APP_ID SIZES
set -euo pipefail
build=$1 version=$2 id=$3 sizes=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --build "$build" --target package >/dev/null
deb=$build/skarvel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends misses the Qt libraries"
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || fail "installed outside /usr: $outside"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

out=$("$root/usr/bin/skarvel-cli" --version) || fail "skarvel-cli --version failed"
grep -qF "$version" <<<"$out" || fail "--version says '$out', not $version"
head -c 100000 /dev/urandom >"$scratch/data.bin"
(cd "$scratch" && "$root/usr/bin/skarvel-cli" cut --count 3 data.bin \
    && "$root/usr/bin/skarvel-cli" unite -o joined.bin data1.bin data2.bin data3.bin) || fail "cut/unite failed"
cmp -s "$scratch/data.bin" "$scratch/joined.bin" || fail "unite did not give back what cut took apart"
# The window starts and keeps running until stopped (124: stopped by the timeout).
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/skarvel" 2>/dev/null || status=$?
[ "$status" -eq 124 ] || fail "the window ended with status $status at start-up"

entry=$share/applications/$id.desktop
[ -f "$entry" ] || fail "no desktop entry $entry"
grep -qx "Exec=skarvel" "$entry" && [ -x "$root/usr/bin/skarvel" ] || fail "the entry does not start skarvel"
grep -qx "Icon=$id" "$entry" || fail "the entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop<" "$share/metainfo/$id.metainfo.xml" \
    || fail "no metainfo launching $id.desktop"
[ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in ${sizes//;/ }; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    # A PNG's width and height are the two big-endian words at bytes 16 to 23.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}') \
        || fail "no icon $png"
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x$h"
done
for doc in copyright changelog.gz; do
    [ -f "$share/doc/skarvel/$doc" ] || fail "no $doc"
done
# Man pages and the completion are where man and bash look.
find "$root" -path '*/man/*' ! -path "$share/man/man1/*.1.gz" -type f | grep . && fail "man pages misplaced"
for page in skarvel skarvel-cli; do
    [ -f "$share/man/man1/$page.1.gz" ] || fail "no man page $page(1)"
done
[ -f "$share/bash-completion/completions/skarvel-cli" ] || fail "no bash completion for skarvel-cli"
echo "package $deb checked"
