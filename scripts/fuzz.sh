#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and the address and undefined-behaviour
# sanitizers into build-fuzz/, then runs each one on its seed corpus for a bounded time.
#   bash scripts/fuzz.sh [seconds per target, default 30]
# New inputs found go to build-fuzz/corpus/<target>/; a crash leaves its input in
# build-fuzz/findings/ and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
# Anything after the seconds goes to cmake.
[ $# -gt 0 ] && shift
build=${CALVETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(sqltranslation updatescript rowfilter rowsort reportlayout printquery rowsfile multistatus icalwriter icalreader vcardreader
  codicefiscale headerencoder mimemessage csvfile xlsxfile)

CALVETRA_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" bash "$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVETRA_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++-14 "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# Leaks at exit belong to Qt's own caches; memory errors and undefined behaviour stop the run.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/findings/$target.log"
  echo "== $target, ${seconds}s"
  if ! "$build/bin/fuzz_$target" "$corpus" "$root/fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
    status=1
    tail -40 "$log"
  fi
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" | sed 's/^/   /' || true
done
exit $status
