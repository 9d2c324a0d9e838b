#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The generated completions load in their shells and offer the values the command table gives:
# completions.sh BASH ZSH FISH
set -euo pipefail
bash_script=$1 zsh_script=$2 fish_script=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

# What bash offers for the words as bash splits them ("--unit=" is "--unit" "="), the last one
# being completed.
bash_offers() {
    bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _skarvel_cli; echo "${COMPREPLY[*]}"' \
        "$bash_script" skarvel-cli "$@"
}
expect_bash() { # EXPECTED WORD...
    local want=$1 got
    shift
    got=$(bash_offers "$@")
    [ "$got" = "$want" ] || fail "bash: '$*' offers '$got', not '$want'"
}
expect_bash "byte Kb Mb" cut --unit =
expect_bash "Kb" cut -n 3 --unit = K
expect_bash "all both linux windows sh" cut --recons --joiner ""
expect_bash "+ -" -q codify ""
expect_bash "--no-verify" unite --output = out --no
expect_bash "cut unite codify erase verify repair" help ""

zsh -n "$zsh_script" || fail "zsh cannot read $zsh_script"
zsh -f -c 'fpath=("${0:h}" $fpath); autoload -U compinit; compinit -u -D; [[ $_comps[skarvel-cli] == _skarvel-cli ]]' \
    "$zsh_script" || fail "zsh's compinit does not find $zsh_script"

fish -n "$fish_script" || fail "fish cannot read $fish_script"
got=$(fish -c 'source $argv[1]; complete -C "skarvel-cli cut --unit="; complete -C "skarvel-cli codify "' \
    "$fish_script" | cut -f1 | tr '\n' ' ')
[ "$got" = "--unit=byte --unit=Kb --unit=Mb + - " ] || fail "fish offers '$got'"
