#!/bin/sh
# Builds the benchmarks in a Release configuration (build-bench beside this
# checkout) and runs them: load, save, category switch and subcategory view
# at 10,000, 100,000 and 1,000,000 cards; the card commands (delete, cut,
# paste, undelete one, edit, undelete all) on a view of 1,000,000 cards with
# 10,000 marks; search and duplicate removal, shuffle (each order) and flip
# on a view of 1,000,000 cards; the category commands (delete with its
# sweep, clear of 100,000 cards, rename, new) on 1,000,000 cards in 1,000
# categories; conversion of 100 MB of each earlier layout; merging 100 MB,
# Paste from against opening, and copying a card into a 100 MB file; the
# recovery copy of 1,000,000 cards (the snapshot that blocks the window
# and the whole write); the Print command's start and printing 1,000,000
# cards to PDF in list format;
# then the resident memory after
# loading a 1,000,000-card file, and the peak memory and wall time of whole
# mdktool processes on it (page faults and freeing at exit included).
# Extra arguments go to both benchmark programs, e.g. --benchmark_filter=load.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build="$src/build-bench"

. "$src/tools/ensure-packages.sh"
ensure_packages cmake ninja-build g++ qt6-base-dev libbenchmark-dev fonts-liberation

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMNEMODECK_BUILD_BENCH=ON -DMNEMODECK_BUILD_GUI=ON -DMNEMODECK_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" bench_deck bench_edit bench_search bench_shuffle bench_category bench_convert bench_transfer \
  bench_print bench_editdialog bench_recovery bench_exchange bench_review bench_undo rss_after_load mdktool >/dev/null

bin() { find "$build" -type f -name "$1" -perm -u+x | head -n 1; }

echo "== timings"
"$(bin bench_deck)" "$@"

echo
echo "== card commands on 1,000,000 cards"
"$(bin bench_edit)" "$@"

echo
echo "== search and duplicate removal on 1,000,000 cards"
"$(bin bench_search)" "$@"

echo
echo "== shuffle and flip on 1,000,000 cards"
"$(bin bench_shuffle)" "$@"

echo
echo "== category commands on 1,000,000 cards in 1,000 categories"
"$(bin bench_category)" "$@"

echo
echo "== conversion of earlier layouts, 100 MB each"
"$(bin bench_convert)" "$@"

echo
echo "== merge, Paste from and Copy to file"
"$(bin bench_transfer)" "$@"

echo
echo "== the recovery copy of 1,000,000 cards: the window's part and the whole write"
"$(bin bench_recovery)" "$@"
"$(bin bench_review)" "$@"

echo
echo "== import of a 1,000,000-line CSV and export of 1,000,000 cards"
"$(bin bench_exchange)" "$@"

echo
echo "== printing 1,000,000 cards"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$(bin bench_print)" "$@"

echo
echo "== opening Edit on a side of 100,000 characters"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$(bin bench_editdialog)" "$@"

echo
echo "== memory after loading 1,000,000 cards"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$(bin mdktool)" generate 1000000 "$tmp/deck.mdk"
"$(bin rss_after_load)" "$tmp/deck.mdk"

if [ -x /usr/bin/time ]; then
  echo
  echo "== whole processes on 1,000,000 cards"
  for cmd in info resave; do
    if [ "$cmd" = resave ]; then set -- resave "$tmp/deck.mdk" "$tmp/out.mdk"; else set -- info "$tmp/deck.mdk"; fi
    /usr/bin/time -v "$(bin mdktool)" "$@" 2>"$tmp/time.txt" >/dev/null
    printf 'mdktool %-7s %s, %s\n' "$cmd" \
      "$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time.txt") kB peak" \
      "$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$tmp/time.txt") wall"
  done
  # An import's whole process, as a user runs it: the peak of a forked
  # child would count the pages it shares with its parent. The limit is
  # 3 x the file + 60 MB.
  "$(bin mdktool)" export --format csv "$tmp/deck.mdk" "$tmp/cards.csv"
  /usr/bin/time -v "$(bin mdktool)" import "$tmp/cards.csv" "$tmp/imported.mdk" 2>"$tmp/time.txt" >/dev/null
  size=$(stat -c %s "$tmp/cards.csv")
  printf 'mdktool import  %s, %s (file %s kB, limit %s kB)\n' \
    "$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time.txt") kB peak" \
    "$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$tmp/time.txt") wall" \
    "$((size / 1024))" "$((3 * size / 1024 + 60 * 1024))"
fi
