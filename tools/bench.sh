#!/bin/sh
# Builds the benchmarks in a Release configuration (build-bench beside this
# checkout) and runs them: load, save, category switch and subcategory view
# at 10,000, 100,000 and 1,000,000 cards, then the resident memory after
# loading a 1,000,000-card file. Extra arguments go to the benchmark
# program, e.g. --benchmark_filter=load.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build="$src/build-bench"

. "$src/tools/ensure-packages.sh"
ensure_packages cmake ninja-build g++ qt6-base-dev libbenchmark-dev

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMNEMODECK_BUILD_BENCH=ON -DMNEMODECK_BUILD_GUI=OFF -DMNEMODECK_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" bench_deck rss_after_load mdktool >/dev/null

bin() { find "$build" -type f -name "$1" -perm -u+x | head -n 1; }

echo "== timings"
"$(bin bench_deck)" "$@"

echo
echo "== memory after loading 1,000,000 cards"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$(bin mdktool)" generate 1000000 "$tmp/deck.mdk"
"$(bin rss_after_load)" "$tmp/deck.mdk"
