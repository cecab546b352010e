#!/usr/bin/env bash
# Installs the package as a user would, without the recommended packages,
# and checks that the installed program keeps review progress: a round's
# answers are there for the next command. Every library and plug-in the
# round loads (Qt SQL's SQLite driver is a plug-in, which the package's
# library scan cannot see) must come from a package that the package's
# Depends bring in, so the check holds on a machine that has only those,
# not just on this one, where the build packages brought everything.
# Purges the package again at the end. Usage: installed-package.sh DEB
set -euo pipefail
deb=$(realpath "${1:?usage: installed-package.sh DEB}")
export DEBIAN_FRONTEND=noninteractive
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
work=$(mktemp -d)
trap '$sudo apt-get purge -y -qq mnemodeck >/dev/null || true; rm -rf "$work"' EXIT

# Three cards; two answered "known", one "unknown".
printf '1\aMain\aRoot\acasa\ahouse\aMain\aperro\adog\aMain\agato\acat\aMain\a' >"$work/deck.mdk"
export MNEMODECK_PROGRESS="$work/progress.sqlite"
LD_DEBUG=files /usr/bin/mdktool review --answers kuk --now 2026-12-07T10:00:00 "$work/deck.mdk" \
    >"$work/round.txt" 2>"$work/loaded.txt"
if grep -q '^mdktool:' "$work/loaded.txt"; then
    grep '^mdktool:' "$work/loaded.txt" >&2
    echo "the installed mdktool kept no review progress" >&2
    exit 1
fi
/usr/bin/mdktool stats --json --now 2026-12-07T11:00:00 "$work/deck.mdk" >"$work/stats.json"
grep -q '"new": 0' "$work/stats.json" || { echo "progress not kept:" >&2; cat "$work/stats.json" >&2; exit 1; }

# What the round loaded, and the packages that own it.
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
              --no-replaces --no-enhances --no-pre-depends mnemodeck 2>/dev/null \
          | grep -v '^ ' | sed 's/:.*//' | sort -u)
missing=0
for file in $(sed -n 's/.*file=\(\/[^ ]*\) .*/\1/p' "$work/loaded.txt" | sort -u); do
    owner=$(dpkg -S "$(realpath "$file")" 2>/dev/null | head -n1 | cut -d: -f1) \
        || owner=$(dpkg -S "$file" 2>/dev/null | head -n1 | cut -d: -f1) || owner=""
    [ -n "$owner" ] || continue
    if ! grep -qx "$owner" <<<"$closure"; then
        echo "$file (package $owner) is not brought in by mnemodeck's Depends" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ]
echo "installed package keeps review progress; everything it loads comes with its Depends"
