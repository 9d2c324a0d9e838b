#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the two joiners in a fresh build folder the way a Debian package build would: with
# dpkg-buildflags' flags exported, CPPFLAGS folded into CFLAGS and CXXFLAGS as debhelper does, and
# CMAKE_BUILD_TYPE=None. The Windows joiner's own build must not take the host's flags (mingw-w64's
# linker stops at -z relro). check_build_flags.sh SOURCE BUILD
set -euo pipefail
source=$1 build=$2
scratch=$(mktemp -d "$build/flags-build.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

eval "$(dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S "$source" -B "$scratch" -DCMAKE_BUILD_TYPE=None -DSKARVEL_BUILD_GUI=OFF -DSKARVEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$scratch" --target windows_joiner recons --parallel "$(nproc)" >"$scratch/build.log" 2>&1 \
    || { tail -n 30 "$scratch/build.log"; echo "FAIL: the joiners do not build with dpkg-buildflags exported" >&2; exit 1; }
echo "the joiners build with dpkg-buildflags exported"
