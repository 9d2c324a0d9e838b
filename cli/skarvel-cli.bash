# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for skarvel-cli: commands, their options, and file names where files go.

_skarvel_cli_files()
{
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$1")
}

_skarvel_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    # "--unit=K" comes as "--unit" "=" "K"
    [[ $prev == = && $COMP_CWORD -ge 2 ]] && prev=${COMP_WORDS[COMP_CWORD-2]}
    local common="-q --quiet -h --help -V --version"
    local command="" operands=0 i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) if [[ -z $command ]]; then command=${COMP_WORDS[i]}; else ((operands++)); fi ;;
        esac
    done

    local options=$common
    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W "cut unite codify erase verify help $common" -- "$cur")
            return ;;
        help)
            mapfile -t COMPREPLY < <(compgen -W "cut unite codify erase verify" -- "$cur")
            return ;;
        cut)
            case $prev in
                --unit) mapfile -t COMPREPLY < <(compgen -W "byte Kb Mb" -- "$cur"); return ;;
                --joiner) mapfile -t COMPREPLY < <(compgen -W "linux windows" -- "$cur"); return ;;
                -n | --count | -s | --size | --skip | --only | --marker) return ;;
            esac
            options="-n --count -s --size --unit --skip --only --marker --recons --joiner --sha256 --delete $common" ;;
        unite)
            case $prev in
                -o | --output | --list) _skarvel_cli_files "$cur"; return ;;
            esac
            options="-o --output --list --no-verify $common" ;;
        codify)
            if [[ $operands -eq 0 && $cur != -?* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "+ -" -- "$cur")
                return
            fi ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        _skarvel_cli_files "$cur"
    fi
}

complete -F _skarvel_cli skarvel-cli
