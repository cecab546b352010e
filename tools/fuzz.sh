#!/bin/sh
# Builds the fuzz targets with clang (build-fuzz beside this checkout) and
# runs them on their seed corpora: the card-file reader (keeping what it
# learns in fuzz/corpus-run; default ten minutes), then the recovery copy's
# metadata reader (a minute), then the import readers (a minute), then the
# review progress database (a minute), then a text export's header block
# and the HTML conversion (a minute), then the package reader (a minute).
# Extra arguments go to libFuzzer for all,
# e.g. -max_total_time=60. Crashing inputs land in build-fuzz/findings.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build="$src/build-fuzz"

. "$src/tools/ensure-packages.sh"
ensure_packages cmake ninja-build clang libclang-rt-14-dev qt6-base-dev libzip-dev libzstd-dev

CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMNEMODECK_BUILD_FUZZ=ON -DMNEMODECK_BUILD_GUI=OFF -DMNEMODECK_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" fuzz_cardfile fuzz_recoverymeta fuzz_import fuzz_progress fuzz_textexport fuzz_package >/dev/null
target=$(find "$build" -type f -name fuzz_cardfile -perm -u+x | head -n 1)
meta=$(find "$build" -type f -name fuzz_recoverymeta -perm -u+x | head -n 1)
import=$(find "$build" -type f -name fuzz_import -perm -u+x | head -n 1)
progress=$(find "$build" -type f -name fuzz_progress -perm -u+x | head -n 1)
textexport=$(find "$build" -type f -name fuzz_textexport -perm -u+x | head -n 1)

mkdir -p "$src/fuzz/corpus-run" "$build/findings"
"$target" -max_total_time=600 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -dict="$src/fuzz/mdk.dict" -artifact_prefix="$build/findings/" "$@" \
  "$src/fuzz/corpus-run" "$src/fuzz/corpus"
mkdir -p "$build/corpus-recovery-run"
"$meta" -max_total_time=60 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus-recovery-run" "$src/fuzz/corpus-recovery"
mkdir -p "$build/corpus-import-run"
"$import" -max_total_time=60 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus-import-run" "$src/fuzz/corpus-import"
mkdir -p "$build/corpus-progress-run"
"$progress" -max_total_time=60 -max_len=4096 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus-progress-run"
mkdir -p "$build/corpus-textexport-run"
"$textexport" -max_total_time=60 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus-textexport-run" "$src/fuzz/corpus-textexport"
package=$(find "$build" -type f -name fuzz_package -perm -u+x | head -n 1)
mkdir -p "$build/corpus-package-run"
"$package" -max_total_time=60 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/findings/" "$@" "$build/corpus-package-run" "$src/fuzz/corpus-package"
