#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the command-line package in a fresh build folder the way a Debian package build would:
# dpkg-buildflags' flags exported, CPPFLAGS folded into CFLAGS and CXXFLAGS as debhelper does,
# CMAKE_BUILD_TYPE=None, and without the window (which makes skarvel-cli's package alone). The
# Windows joiner's own build must not take the host's flags: mingw-w64's linker stops at -z relro.
# Debug information (-g) is left out: it changes nothing that is checked here and makes compiling
# slower by about a fifth. check_build_flags.sh SOURCE BUILD VERSION
set -euo pipefail
source=$1 build=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d "$build/flags-build.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

eval "$(DEB_CFLAGS_STRIP=-g DEB_CXXFLAGS_STRIP=-g dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
# CMake's default generator, named: the presets build with Ninja, so the Windows joiner's build is
# driven under both.
cmake -G "Unix Makefiles" -S "$source" -B "$scratch" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DSKARVEL_BUILD_GUI=OFF -DSKARVEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$scratch" --target package --parallel "$(nproc)" >"$scratch/build.log" 2>&1 \
    || { tail -n 30 "$scratch/build.log"; fail "no package with dpkg-buildflags exported"; }
debs=$(cd "$scratch" && ls ./*.deb)
[ "$debs" = "./skarvel-cli_${version}_$(dpkg --print-architecture).deb" ] \
    || fail "without the window the package is not skarvel-cli's alone: $debs"
lintian --fail-on error,warning "$scratch"/*.deb 2>/dev/null || fail "lintian reports on the flag-built package"
echo "skarvel-cli's package builds with dpkg-buildflags exported"
