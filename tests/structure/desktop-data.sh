#!/usr/bin/env bash
# The files a desktop and a software centre read pass their own validators,
# and the newest release in the metainfo is the version being built.
# Exit 77 (skipped) when the validators are not installed.
set -u
desktop_in=${1:?usage: desktop-data.sh DESKTOP.in METAINFO VERSION}
metainfo=${2:?}
version=${3:?}
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || exit 77
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
status=0
sed 's|@MDK_DESKTOP_EXEC@|/usr/bin/mdeck43|' "$desktop_in" >"$work/mnemodeck.desktop"
desktop-file-validate "$work/mnemodeck.desktop" || status=1
# Without --no-net: every web address it holds must lead somewhere (there
# are none unless a packager gives them, so this needs no network).
appstreamcli validate --explain "$metainfo" || status=1
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
if [ "$newest" != "$version" ]; then
    echo "the newest release in $metainfo is '$newest', the project's version is $version"
    status=1
fi
exit $status
