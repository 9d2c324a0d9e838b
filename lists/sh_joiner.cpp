// SPDX-License-Identifier: GPL-3.0-or-later
#include "sh_joiner.h"

#include "set_names.h"

#include "fileio/printable_name.h"

#include <algorithm>

namespace lists {

namespace {

// What the script does, the same for every set; the set itself goes before it.
constexpr const char *kScriptBody = R"script(
set +e
set -u

say() {
    printf '%s\n' "$1"
}

fail() {
    printf '%s\n' "$1" >&2
    exit 1
}

# A name as the set below holds it, in printf's escapes, so that any byte travels as plain
# ASCII; the blanks around it keep its leading dashes and trailing line ends.
# shellcheck disable=SC2059
unescape() {
    # The format is this script's own: only a shell that cannot hold a byte fails it.
    unescaped=$(printf "_${1}_") || cannot_hold "a name of this set"
    unescaped=${unescaped#_}
    unescaped=${unescaped%_}
}

# A number as wc prints it, some systems with blanks before it.
trim() {
    trimmed=$1
    while :; do
        case $trimmed in
        [!0-9]*) trimmed=${trimmed#?} ;;
        *[!0-9]) trimmed=${trimmed%?} ;;
        *) break ;;
        esac
    done
    [ -n "$trimmed" ]
}

# Sizes are compared as text: no shell needs to count beyond 4 GiB.
size_of() {
    size=$(wc -c <"$1") || return 1
    trim "$size" || return 1
    size=$trimmed
}

# Whether the shell kept every byte of a name that holds bytes beyond ASCII ($2 of them): some
# (yash) drop those their locale cannot decode.
intact() {
    if [ -z "$2" ]; then
        return 0
    fi
    trim "$(printf '%s' "$1" | wc -c)" && [ "$trimmed" = "$2" ]
}

cannot_hold() {
    fail "This shell cannot hold the bytes of $1; run the script with another one: dash $set_script"
}

# The SHA-256 of a file by whichever program this system has; its name never reaches the program.
sha256_of() {
    case $hasher in
    sha256sum) sum=$(sha256sum <"$1") ;;
    shasum) sum=$(shasum -a 256 <"$1") ;;
    *) sum=$(sha256 -q <"$1") ;;
    esac || return 1
    sum=${sum%%[!0-9a-f]*}
    [ ${#sum} -eq 64 ]
}

find_hasher() {
    if command -v sha256sum >/dev/null 2>&1; then
        hasher=sha256sum
    elif command -v shasum >/dev/null 2>&1; then
        hasher=shasum
    elif command -v sha256 >/dev/null 2>&1; then
        hasher=sha256
    else
        fail "No sha256sum, shasum or sha256 here: the parts cannot be checked"
    fi
}

# Every part is there and has its size, before anything is asked.
find_part() {
    unescape "$2"
    shown=$unescaped
    unescape "$1"
    if ! intact "$unescaped" "$5"; then
        cannot_hold "the name of $shown"
    fi
    part=$here$unescaped
    if [ ! -f "$part" ]; then
        fail "Part not found: $shown"
    fi
    if ! size_of "$part"; then
        fail "$shown cannot be read"
    fi
    if [ "$size" != "$3" ]; then
        fail "$shown is damaged: its size differs ($size bytes, not $3)"
    fi
}

check_part() {
    unescape "$1"
    part=$here$unescaped
    unescape "$2"
    shown=$unescaped
    say " $shown Ok"
    if [ -z "$4" ]; then
        return 0
    fi
    if ! sha256_of "$part"; then
        fail "$shown cannot be read"
    fi
    if [ "$sum" != "$4" ]; then
        fail "$shown is damaged: its SHA-256 differs"
    fi
    say "  SHA-256 Ok"
}

append_part() {
    unescape "$1"
    part=$here$unescaped
    unescape "$2"
    if ! cat <"$part" >>"$temporary"; then
        fail "$unescaped could not be added; $output is not made"
    fi
}

# The output may not be one of the set's own files.
refuse_part() {
    unescape "$1"
    plain=$here$unescaped
    while :; do
        case $plain in
        ./*) plain=${plain#./} ;;
        *) break ;;
        esac
    done
    if [ "$plain" = "$plain_output" ]; then
        fail "$output is a part of this set: it is not replaced"
    fi
}

# One part of the set, for the step under way.
part() {
    case $step in
    sizes) find_part "$@" ;;
    refusal) refuse_part "$@" ;;
    digests) check_part "$@" ;;
    joining) append_part "$@" ;;
    esac
}

usage() {
    say "Usage: sh $set_script [-f] [OUTPUT]"
    say "Checks and joins the parts beside $set_script into OUTPUT (asked for when not given)."
    say "  -f  replace an existing OUTPUT without asking"
}

ask_output() {
    unescape "$whole_shown"
    say "Enter alone names it $unescaped, beside the parts."
    say "Save new file as: "
    if ! IFS= read -r output; then
        if [ -z "$output" ]; then
            fail "No name was given: nothing is made"
        fi
    fi
    # A line end typed on Windows.
    output=${output%"$cr"}
    if [ -z "$output" ]; then
        unescape "$whole"
        if ! intact "$unescaped" "$whole_bytes"; then
            cannot_hold "the file's own name"
        fi
        output=$here$unescaped
    fi
}

# A file of the output's name is replaced only when -f says so or the user agrees.
agree_to_replace() {
    if [ -d "$output" ]; then
        fail "$output is a folder: nothing is made"
    fi
    if [ ! -e "$output" ] && [ ! -h "$output" ]; then
        return 0
    fi
    replace=yes
    if [ "$force" = yes ]; then
        return 0
    fi
    if [ ! -t 0 ]; then
        fail "$output exists: it is not replaced (sh $set_script -f replaces it)"
    fi
    printf '%s' "$output exists. Replace it? [y/N] "
    answer=
    IFS= read -r answer
    case $answer in
    [yY] | [yY][eE][sS]) ;;
    *) fail "$output is not replaced" ;;
    esac
}

# A temporary beside the output, made only where no file is: the output takes its name only once
# it is whole and checked. A stop removes it.
make_temporary() {
    case $output in
    */*) folder=${output%/*}/ ;;
    *) folder= ;;
    esac
    n=0
    while :; do
        candidate=$folder.join.$$.$n
        if (set -C && : >"$candidate") 2>/dev/null; then
            temporary=$candidate
            return 0
        fi
        if [ ! -e "$candidate" ] && [ ! -h "$candidate" ]; then
            fail "$output cannot be created in its folder"
        fi
        n=$((n + 1))
    done
}

name_output() {
    if [ "$replace" = yes ]; then
        mv -f -- "$temporary" "$output" || fail "$output could not take its name"
    elif ln -- "$temporary" "$output" 2>/dev/null; then
        rm -f -- "$temporary"
    elif [ -e "$output" ] || [ -h "$output" ]; then
        fail "$output appeared meanwhile: it is not replaced"
    else
        mv -- "$temporary" "$output" || fail "$output could not take its name"
    fi
    temporary=
}

main() {
    force=no
    while [ $# -gt 0 ]; do
        case $1 in
        -f) force=yes ;;
        -h | --help) usage; exit 0 ;;
        --) shift; break ;;
        -?*) usage >&2; exit 2 ;;
        *) break ;;
        esac
        shift
    done
    if [ $# -gt 1 ]; then
        usage >&2
        exit 2
    fi
    case $0 in
    */*) here=${0%/*}/ ;;
    *) here= ;;
    esac
    cr=$(printf '\r_')
    cr=${cr%_}
    temporary=
    replace=no
    trap 'if [ -n "$temporary" ]; then rm -f -- "$temporary"; fi' EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM

    for line in "$banner1" "" "$banner2" ""; do
        say "$line"
    done
    if [ -n "$whole_sha256" ] || [ -n "$parts_hashed" ]; then
        find_hasher
    fi
    step=sizes
    parts
    if [ $# -eq 1 ]; then
        output=$1
    else
        ask_output
    fi
    plain_output=$output
    while :; do
        case $plain_output in
        ./*) plain_output=${plain_output#./} ;;
        *) break ;;
        esac
    done
    step=refusal
    parts
    agree_to_replace
    say "Wait..."
    say "Opened files: "
    step=digests
    parts
    make_temporary
    step=joining
    parts
    if ! size_of "$temporary" || [ "$size" != "$whole_size" ]; then
        fail "The joined file's size differs from the parts'; $output is not made"
    fi
    if [ -n "$whole_sha256" ]; then
        if ! sha256_of "$temporary" || [ "$sum" != "$whole_sha256" ]; then
            fail "The joined file's SHA-256 differs from the whole file's; $output is not made"
        fi
        say "SHA-256 verified"
    elif [ -n "$parts_hashed" ]; then
        say "The whole file was not checked: not every part was made"
    fi
    name_output
    say "Complete"
    exit 0
}

main ${1+"$@"}
)script";

// A text as printf's format writes it: plain ASCII, with no quote to end the single quotes it
// stands in and no "$" or "`" that a reader (or shellcheck) would take for an expansion; every
// other byte, a line end or a byte outside UTF-8 among them, as "\ooo".
std::string printfEscaped(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%') {
            escaped += "%%";
        } else if (c == '\\') {
            escaped += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7f && c != '\'' && c != '$' && c != '`') {
            escaped += c;
        } else {
            escaped += {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                        static_cast<char>('0' + (byte & 7))};
        }
    }
    return "'" + escaped + "'";
}

std::string hexOf(const std::optional<digest::Sha256Digest> &digest)
{
    return "'" + (digest ? digest::toHex(*digest) : std::string()) + "'";
}

// How many bytes a name holds, when some are beyond ASCII: the script checks that the shell kept them.
std::string bytesBeyondAscii(std::string_view name)
{
    const bool beyond =
        std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return beyond ? std::to_string(name.size()) : "''";
}

std::string line(const std::string &name, const std::string &value)
{
    return name + "=" + value + "\n";
}

} // namespace

std::string shJoinerScript(const ShJoinerSet &set)
{
    const std::string script = kShJoinerName;
    // A line end changed in transit to CR LF leaves a CR in the guard's value; the line that
    // looks at it ends in a comment, which takes the CR, so that it still runs and says so.
    std::string text = "#!/bin/sh\n"
                       "# " + script + ", the part joiner of Skarvel for macOS, the BSDs and any POSIX system:\n"
                       "# it checks the size and SHA-256 of each part beside it, then joins them. In a terminal:\n"
                       "#     sh " + script + " [-f] [OUTPUT]\n"
                       "# It asks for OUTPUT when none is given; -f replaces an existing OUTPUT without asking.\n"
                       "skarvel_line_end=LF\n"
                       "case $skarvel_line_end in LF) ;; *) printf '%s\\n' \"" + script
                       + " was changed in transit: its lines end in CR LF. Repair it with  tr -d '\\\\r' <" + script
                       + " >join-lf.command  and run  sh join-lf.command\" >&2; exit 1 ;; esac #\n\n";
    text += line("set_script", "'" + script + "'");
    text += line("banner1", "'" + script + ", the part joiner of Skarvel for macOS and the BSDs'");
    text += line("banner2", "'Skarvel v 4.0.0 (" + script + " v 1.0)'");
    text +=
        "# The set: the file the parts join into, and each part's name (in printf's escapes), its\n"
        "# name as a terminal is shown it, its size and its SHA-256.\n";
    text += line("whole", printfEscaped(set.wholeName));
    text += line("whole_shown", printfEscaped(fileio::printableName(set.wholeName)));
    text += line("whole_bytes", bytesBeyondAscii(set.wholeName));
    std::int64_t total = 0;
    bool hashed = false;
    std::string parts;
    for (const ShJoinerPart &part : set.parts) {
        total += part.size;
        hashed = hashed || part.digest;
        parts += "    part " + printfEscaped(part.name) + " " + printfEscaped(fileio::printableName(part.name)) + " "
            + std::to_string(part.size) + " " + hexOf(part.digest) + " " + bytesBeyondAscii(part.name) + "\n";
    }
    text += line("whole_size", std::to_string(total));
    text += line("whole_sha256", hexOf(set.wholeDigest));
    text += line("parts_hashed", hashed ? "yes" : "''");
    text += "parts() {\n    :\n" + parts + "}\n";
    return text + kScriptBody;
}

} // namespace lists
