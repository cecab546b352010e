#!/usr/bin/env bash
# The manual page keeps up with mdktool: every subcommand its usage names has
# an entry, and every option the usage shows appears in the page.
set -u
tool=${1:?usage: manpage.sh MDKTOOL PAGE.scd}
page=${2:?usage: manpage.sh MDKTOOL PAGE.scd}
usage=$("$tool" 2>&1 >/dev/null)
status=0
subcommands=$(grep -oE 'mdktool [a-z]+' <<<"$usage" | cut -d' ' -f2 | sort -u)
[ -n "$subcommands" ] || { echo "no subcommands in the usage of $tool"; exit 1; }
for sub in $subcommands; do
    if ! grep -qE "^\*$sub\*( |$)" "$page"; then
        echo "no entry for the subcommand $sub in $page"
        status=1
    fi
done
for option in $(grep -oE -- '--[a-z0-9]+' <<<"$usage" | sort -u); do
    if ! grep -qF -- "*$option*" "$page"; then
        echo "the option $option is not in $page"
        status=1
    fi
done
exit $status
