#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails on a C++ file of the tree that .clang-format would write otherwise, naming it.
set -euo pipefail
cd "$1"
find fileio digest lists ops joiner partset cli app tests fuzz bench tools \( -name '*.cpp' -o -name '*.h' \) -print0 \
    | xargs -0 clang-format --dry-run -Werror
