#!/usr/bin/env bash
# Fails when a C++ source of the tree differs from what its .clang-format makes of it, and names
# the files. `bash scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -d '' files < <(find . \( -path './build*' -o -path './.git' \) -prune -o \
  \( -name '*.cpp' -o -name '*.h' \) -type f -print0 | sort -z)
if [ "${1:-}" = "--fix" ]; then
  clang-format-14 -i "${files[@]}"
  exit 0
fi
if ! clang-format-14 --dry-run --Werror "${files[@]}" 2>/tmp/calvetra-format.$$; then
  grep -o '^[^:]*\.\(cpp\|h\)' /tmp/calvetra-format.$$ | sort -u | sed 's/^/non formattato: /' >&2
  echo "Formattare con: bash scripts/check-format.sh --fix" >&2
  rm -f /tmp/calvetra-format.$$
  exit 1
fi
rm -f /tmp/calvetra-format.$$
