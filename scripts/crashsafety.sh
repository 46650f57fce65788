#!/usr/bin/env bash
# Kills the program's save path at random moments and checks what survives:
#   bash scripts/crashsafety.sh [rounds, default 50]
# Each round starts bench_crashsave on one archive, kills it with kill -9 after a random time
# (up to a second), then checks the archive with calvetra-sql --check and looks for every save
# the driver reported as done. Prints the figures; exits non-zero at the first loss.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-50}
build=${CALVETRA_BUILD_DIR:-$root/build}
cmake --build "$build" --target bench_crashsave calvetra-sql -j"$(nproc)" >/dev/null
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
archive=$work/archivio.sqlite
"$bin/calvetra-sql" --init "$archive" >/dev/null

reported=0
batches=0
for round in $(seq 1 "$rounds"); do
  out=$work/round$round.txt
  "$bin/bench_crashsave" "$archive" 1000000 >"$out" 2>"$work/err.txt" &
  pid=$!
  sleep "$((RANDOM % 2)).$(printf '%03d' $((RANDOM % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! "$bin/calvetra-sql" --check "$archive" >"$work/check.txt" 2>&1; then
    echo "Giro $round: l'archivio non è integro." >&2
    cat "$work/check.txt" >&2
    exit 1
  fi
  # Every reported key with its description, then the archive's rows: a reported row missing
  # from the archive, or stored with another description, is a loss.
  "$bin/calvetra-sql" "$archive" "select Id, Descrizione from Pagamenti" >"$work/rows.tsv"
  lost=$(awk -F'\t' 'NR == FNR { if (FNR > 1) stored[$1] = $2; next }
                     $1 == "salvato" { n++; if (stored[$2] != $3) { print $2; bad++ } }
                     $1 == "lotto" { n++
                                     if (!($2 in stored) || !($3 in stored)) { print $2; bad++ } }
                     END { exit bad > 0 }' "$work/rows.tsv" FS=' ' "$out" || true)
  if [ -n "$lost" ]; then
    echo "Giro $round: salvataggi confermati ma assenti: $lost" >&2
    exit 1
  fi
  reported=$((reported + $(grep -c '^salvato' "$out" || true)))
  batches=$((batches + $(grep -c '^lotto' "$out" || true)))
done
rows=$("$bin/calvetra-sql" "$archive" "select count(*) from Pagamenti" | tail -1)
echo "Giri: $rounds, salvataggi confermati: $reported, lotti di due confermati: $batches," \
     "righe nell'archivio: $rows; archivio integro dopo ogni kill -9, nessun salvataggio perso."
