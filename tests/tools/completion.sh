#!/usr/bin/env bash
# The bash completion of mdktool, run as bash runs it: subcommands, option
# values and card files.
set -u
script=${1:?usage: completion.sh COMPLETION_SCRIPT}
shopt -s extglob
. "$script"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir decks
: >spanish.mdk
: >notes.txt
: >Old.MDK

status=0
# complete WORDS... -> the sorted replies, one line
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _mdktool
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$want" ]; then
        echo "mdktool $*: got '$got', want '$want'"
        status=1
    fi
}

expect "dedupe dump " mdktool d
expect "1 2 both " mdktool dedupe --side ""
expect "alphabetize " mdktool shuffle --order al
expect "--subcategories " mdktool find --sub
expect "1.00 2.01 3.01 later " mdktool convert ""
expect "Old.MDK decks spanish.mdk " mdktool info ""
expect "--force " mdktool merge --f
expect "apkg auto csv kvtml text " mdktool import --format ""
expect "skip " mdktool import --duplicates s
expect "Old.MDK decks spanish.mdk " mdktool import --into ""
exit $status
