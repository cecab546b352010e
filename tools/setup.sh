#!/usr/bin/env bash
# Sets up a Debian 12 machine for Mnemodeck, builds it, and then either
# starts the program (--run, the default) or runs the whole test suite
# (--test). Quick when everything is already installed and built.
set -euo pipefail

mode=${1:---run}
shift || true
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  fonts-dejavu-core fonts-liberation poppler-utils
  xvfb xdotool x11-utils imagemagick
  xdg-utils shared-mime-info desktop-file-utils xdg-user-dirs libfile-mimeinfo-perl
)

. "$here/tools/ensure-packages.sh"
ensure_packages "${packages[@]}"

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build"

case "$mode" in
  --run)
    exec "$build/bin/mdeck43" "$@"
    ;;
  --test)
    cd "$build"
    exec ctest --output-on-failure -j2 "$@"
    ;;
  *)
    echo "usage: $0 [--run [card file]] | --test" >&2
    exit 2
    ;;
esac
