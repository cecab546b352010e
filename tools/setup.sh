#!/usr/bin/env bash
# Sets up a Debian 12 machine for Mnemodeck, builds what the mode needs, and
# then starts the program (--run, the default: the two programs only, so a
# first start need not wait for the tests), runs the whole test suite
# (--test: everything), or makes the Debian package in build/ (--package:
# the installed files only). Quick when everything is already installed
# and built.
set -euo pipefail

mode=${1:---run}
shift || true
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libsqlite3-dev
  fonts-dejavu-core fonts-liberation poppler-utils
  xvfb xdotool x11-utils imagemagick
  xdg-utils shared-mime-info desktop-file-utils xdg-user-dirs libfile-mimeinfo-perl
  qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools qt6-translations-l10n
  scdoc dpkg-dev file lintian appstream
  libzip-dev libzstd-dev zstd
)

. "$here/tools/ensure-packages.sh"
ensure_packages "${packages[@]}"

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi

case "$mode" in
  --run)
    cmake --build "$build" --target mdeck43 mdktool
    exec "$build/bin/mdeck43" "$@"
    ;;
  --test)
    # The package test checks that Mnemosyne imports what we export.
    ensure_packages mnemosyne
    cmake --build "$build"
    cd "$build"
    exec ctest --output-on-failure -j2 "$@"
    ;;
  --package)
    cmake --build "$build" --target package_files
    cd "$build"
    exec cpack "$@"
    ;;
  *)
    echo "usage: $0 [--run [card file]] | --test | --package" >&2
    exit 2
    ;;
esac
