#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# README's command-line section shows `skarvel-cli --help` as the program prints it (blank lines
# aside). Usage: readme_help.sh SKARVEL_CLI README
set -euo pipefail
diff -u <(sed -n '/^<!-- skarvel-cli --help/,/^<!-- end of skarvel-cli --help/{/^<!--/d;/^$/d;s/^    //;p}' "$2") \
    <("$1" --help | sed '/^$/d')
