#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the two Debian packages, checks them as a distribution would (lintian, the hardening, the
# dependencies), unpacks them into a scratch root and checks that the programs run from there and
# that the desktop finds what it looks for: check_package.sh BUILD VERSION APP_ID SIZES
set -euo pipefail
build=$1 version=$2 id=$3 sizes=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

log=$(cmake --build "$build" --target package 2>&1) || { echo "$log"; fail "no packages"; }
arch=$(dpkg --print-architecture)
cli=$build/skarvel-cli_${version}_$arch.deb gui=$build/skarvel_${version}_$arch.deb
made=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$log" | sort)
[ "$made" = "$(printf '%s\n' "$cli" "$gui" | sort)" ] || fail "the packages made are not skarvel-cli and skarvel: $made"
gui_depends=$(dpkg-deb -f "$gui" Depends) cli_depends=$(dpkg-deb -f "$cli" Depends)
grep -q libqt6widgets6 <<<"$gui_depends" || fail "the window's Depends misses the Qt libraries"
grep -qF "skarvel-cli (= $version)" <<<"$gui_depends" || fail "the window's package does not bring skarvel-cli"
! grep -qi qt <<<"$cli_depends" || fail "skarvel-cli's package depends on Qt: $cli_depends"
grep -q libisal2 <<<"$cli_depends" || fail "skarvel-cli's Depends misses ISA-L, the recovery parts' coding"
# The files of each (directories aside); both install side by side, so none is in both.
cli_files=$(dpkg-deb -c "$cli" | awk '!/^d/ {print $6}' | sort)
gui_files=$(dpkg-deb -c "$gui" | awk '!/^d/ {print $6}' | sort)
grep -qx '\./usr/bin/skarvel-cli' <<<"$cli_files" || fail "skarvel-cli is not in its package"
grep -qx '\./usr/bin/skarvel' <<<"$gui_files" || fail "skarvel is not in the window's package"
shared=$(comm -12 <(echo "$cli_files") <(echo "$gui_files"))
[ -z "$shared" ] || fail "in both packages: $shared"
outside=$(printf '%s\n' "$cli_files" "$gui_files" | grep -v '^\./usr/' || true)
[ -z "$outside" ] || fail "installed outside /usr: $outside"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
for deb in "$cli" "$gui"; do
    lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian reports on $deb"
    dpkg-deb -x "$deb" "$root"
done
share=$root/usr/share

# Debian 12's own start files carry no CET marking, so no program linked there passes the control
# flow check, -fcf-protection or not. The window calls no C library function whose buffer size the
# compiler knows, so fortification has nothing to replace in it; skarvel-cli, built with the same
# flags, shows that it is on.
hardening-check --nocfprotection "$root/usr/bin/skarvel-cli" >/dev/null || fail "hardening-check: skarvel-cli"
hardening-check --nocfprotection --nofortify "$root/usr/bin/skarvel" >/dev/null || fail "hardening-check: skarvel"
for program in "$root"/usr/bin/*; do
    ! grep -qF /usr/local "$program" || fail "$program has /usr/local built in"
done

out=$("$root/usr/bin/skarvel-cli" --version) || fail "skarvel-cli --version failed"
grep -qF "$version" <<<"$out" || fail "--version says '$out', not $version"
head -c 100000 /dev/urandom >"$scratch/data.bin"
(cd "$scratch" && "$root/usr/bin/skarvel-cli" cut --count 3 --recons --joiner=linux data.bin \
    && "$root/usr/bin/skarvel-cli" unite -o joined.bin data1.bin data2.bin data3.bin) || fail "cut/unite failed"
cmp -s "$scratch/data.bin" "$scratch/joined.bin" || fail "unite did not give back what cut took apart"
# The joiner it wrote is a static PIE: position independent, no interpreter, relocations read-only.
headers=$(readelf -hlW "$scratch/recons")
grep -q 'Type: *DYN' <<<"$headers" && ! grep -q INTERP <<<"$headers" && grep -q GNU_RELRO <<<"$headers" \
    || fail "the Linux joiner is not a static PIE"
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
for doc in {skarvel,skarvel-cli}/{copyright,changelog.gz}; do
    [ -f "$share/doc/$doc" ] || fail "no $doc"
done
"$(dirname "$0")/check_copyright.py" "$share"/doc/{skarvel,skarvel-cli}/copyright || fail "a copyright file is not whole"
# Man pages and the completion are where man and bash look.
find "$root" -path '*/man/*' ! -path "$share/man/man1/*.1.gz" -type f | grep . && fail "man pages misplaced"
for page in skarvel skarvel-cli; do
    [ -f "$share/man/man1/$page.1.gz" ] || fail "no man page $page(1)"
done
[ -f "$share/bash-completion/completions/skarvel-cli" ] || fail "no bash completion for skarvel-cli"
echo "packages $cli and $gui checked"
