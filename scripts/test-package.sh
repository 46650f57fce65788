#!/usr/bin/env bash
# Builds the Debian package from the build folder given (built already), unpacks it into a
# scratch root and starts its programs from there, validates the menu entry and the
# software-centre description it installs and runs lintian on it (no errors allowed).
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/calvetra_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends | tee "$work/depends"
for needed in qt6-qpa-plugins fonts-dejavu-core libqt6widgets6 libsqlite3-0; do
  grep -q "$needed" "$work/depends" || { echo "Depends lacks $needed"; exit 1; }
done

scratch=$work/root
dpkg -x "$deb" "$scratch"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
"$scratch/usr/bin/calvetra-sql" --init "$work/archivio.sqlite"
"$scratch/usr/bin/calvetra-sql" --check "$work/archivio.sqlite" >/dev/null
"$scratch/usr/bin/stampa" --help | grep -q '^Uso: stampa'
for tool in calvetra stampa calvetra-sql calvetra-ical calvetra-vcard calvetra-cf calvetra-mail; do
  "$scratch/usr/bin/$tool" --version | grep -q "^$tool [0-9]"
  [ -f "$scratch/usr/share/man/man1/$tool.1.gz" ] || { echo "no manual page for $tool"; exit 1; }
done

# The installed runner prints with the installed layouts: a job whose layout path is another
# workstation's finds the layout in /usr/share/calvetra/reports of the scratch root.
"$scratch/usr/bin/calvetra-sql" "$work/archivio.sqlite" \
  "insert into Contatti (NominativoDocumenti) values ('Rossi Mario')" >/dev/null
"$scratch/usr/bin/calvetra-sql" "$work/archivio.sqlite" \
  "insert into TempStampa (NomeComputer, NomeReport, Query) values ('prova', 'C:\\Calvetra\\Agenda.rpt', 'SELECT NominativoDocumenti AS Contatto FROM Contatti')" >/dev/null
"$scratch/usr/bin/stampa" --archive "$work/archivio.sqlite" --workstation prova --pdf "$work/agenda.pdf"
pdftotext "$work/agenda.pdf" - | grep -q 'Rossi Mario'

# The installed program keeps percorso.txt and its new archive in the user's folders, even
# where it could write beside itself.
home=$work/home
mkdir -p "$home"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data "$scratch/usr/bin/calvetra" &
program=$!
for _ in $(seq 200); do
  [ -s "$home/data/calvetra/archivio.sqlite" ] && [ -f "$home/config/calvetra/percorso.txt" ] && break
  sleep 0.1
done
kill "$program"; wait "$program" 2>/dev/null || true
grep -qx "$home/data/calvetra/archivio.sqlite" "$home/config/calvetra/percorso.txt"
[ ! -e "$scratch/usr/bin/percorso.txt" ]

desktop-file-validate "$scratch"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml >/dev/null
[ -f "$scratch/usr/share/icons/hicolor/scalable/apps/calvetra.svg" ]
[ -f "$scratch/usr/share/icons/hicolor/48x48/apps/calvetra.png" ]

# Run as root, lintian cannot drop privileges to unpack; it is safe with our own package.
lintian --fail-on error --tag-display-limit 0 --allow-root "$deb"
echo "package checks passed"
