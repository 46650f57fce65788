#!/usr/bin/env bash
# Checks that every source folder includes only the layers below it: windows -> subsystem logic
# -> data module and shared services -> database layer. The CMake link lists say the same for
# the libraries; this catches a header included without its library.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# folder: the include prefixes it may use (its own folder is always allowed).
rules=(
  "db/core:db/sql/ db/sqlite/ db/postgres/"
  "db/sql:db/core/"
  "db/datasets:db/core/ db/sql/"
  "db/sqlite:db/core/ db/sql/"
  "db/postgres:db/core/ db/sql/"
  "common:db/"
  "common/widgets:db/ common/"
  "schema:db/ common/"
  "session:db/ common/"
  "vcard:db/ common/"
  "sheets:db/ common/"
  "taxcode:db/"
  "jet:db/"
  "migration:db/ common/ jet/ schema/ options/"
  "migration/windows:db/ common/ jet/ migration/"
  "contacts:db/ common/ session/ agenda/ vcard/ sheets/ taxcode/"
  "payments:db/ common/ session/"
  "reference:db/ common/ session/"
  "options:db/ common/ session/ dav/"
  "notices:db/ common/ session/"
  "privacy:db/ common/ session/"
  "contacts/windows:db/ common/ session/ contacts/ vcard/ sheets/ taxcode/ payments/windows/ payments/ agenda/ options/ reference/ privacy/"
  "payments/windows:db/ common/ session/ payments/"
  "agenda:db/ common/ session/"
  "agenda/windows:db/ common/ session/ agenda/"
  "reference/windows:db/ common/ session/ reference/"
  "options/windows:db/ common/ session/ options/ dav/"
  "mail:db/ common/ net/"
  "net:"
  "dav:db/ common/ net/ vcard/ contacts/ agenda/"
  "dav/windows:db/ common/ dav/"
  "tools/calvetra-dav:db/ common/ dav/"
  "mail/windows:db/ common/ session/ mail/"
  "about:common/"
  "tools/calvetra-sql:db/ common/ schema/ migration/ options/"
  "tools/calvetra-ical:db/ common/ agenda/"
  "tools/calvetra-vcard:db/ common/ vcard/ contacts/"
  "tools/calvetra-csv:db/ common/ sheets/ contacts/"
  "tools/calvetra-cf:db/ common/ taxcode/ schema/"
  "tools/calvetra-mail:db/ common/ mail/"
  "tools/calvetra-privacy:db/ common/ privacy/"
  "notices/windows:db/ common/ session/ notices/"
  "tools/stampa:db/ common/ session/ notices/"
  "tools/stampa/widgets:db/ common/ session/ tools/stampa/ notices/"
)

status=0
for rule in "${rules[@]}"; do
  folder=${rule%%:*}
  allowed="${rule#*:} $folder/"
  [ -d "$folder" ] || continue
  # Only the files of this folder itself: subfolders have rules of their own.
  while IFS= read -r line; do
    file=${line%%:*}
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
    ok=0
    for prefix in $allowed; do
      case "$header" in "$prefix"*) ok=1 ;; esac
    done
    # A window folder's own logic sits one level up.
    if [ $ok -eq 0 ]; then
      echo "$file includes $header: not a layer below $folder" >&2
      status=1
    fi
  done < <(find "$folder" -maxdepth 1 \( -name '*.cpp' -o -name '*.h' \) -print0 |
           xargs -0 -r grep -H '^#include "' | grep -v '#include "[^/]*"$')
done
# Nothing outside the application, its tests and its benchmarks reaches the application.
if grep -rln '^#include "app/' --include='*.cpp' --include='*.h' \
     db common schema session vcard sheets taxcode jet migration contacts payments reference agenda notices options mail about privacy net dav \
     tools 2>/dev/null; then
  echo "the files above include app/ headers" >&2
  status=1
fi
# The engines are private to the database layer: above it, everything goes through the factory
# (db/core/archive.h); only the engines' own tests reach them directly. Within it, only the
# factory (the core) and the engines themselves do.
if grep -rlnE '^#include "db/(sqlite|postgres)/' --include='*.cpp' --include='*.h' \
     db/sql db/datasets common schema session contacts payments reference agenda notices \
     options mail about app tools bench fuzz tests 2>/dev/null | grep -v '^tests/db/'; then
  echo "the files above include an engine's header" >&2
  status=1
fi
exit $status
