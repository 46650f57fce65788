#!/usr/bin/env bash
# Runs tst_printqueue (given as the argument) against real print queues: a cups-pdf printer
# that writes what it receives as a PDF in the user's ~/PDF, and a second one, stopped. Starts
# the scheduler with Debian's configuration (loopback and its socket only) when it is not
# running. Exit code 77 (skipped) where that cannot be done: no cups, no cups-pdf, not allowed
# to add printers.
set -uo pipefail
test_binary=$1
queue=CalvetraPDF
stopped=CalvetraPDFFerma
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

skip() { echo "SKIP: $*"; exit 77; }
command -v lpadmin >/dev/null && [ -x /usr/sbin/cupsd ] || skip "cups is not installed"
[ -f "$ppd" ] || skip "printer-driver-cups-pdf is not installed"

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  [ "$(id -u)" -eq 0 ] || skip "the print scheduler is not running"
  /usr/sbin/cupsd || skip "cupsd does not start"
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
fi
for p in "$queue" "$stopped"; do
  lpstat -p "$p" >/dev/null 2>&1 ||
    lpadmin -p "$p" -E -v cups-pdf:/ -P "$ppd" 2>/dev/null || skip "cannot add printer $p"
done
# The PostScript step of the queue keeps the text readable with this renderer (the default
# one turns the embedded fonts into shapes, and pdftotext would read nothing).
lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo
cupsenable "$queue" && cupsaccept "$queue"
cupsdisable "$stopped"

home=$(getent passwd "$(id -un)" | cut -d: -f6)
mkdir -p "$home/PDF"
CALVETRA_PRINT_QUEUE=$queue CALVETRA_PRINT_STOPPED=$stopped CALVETRA_PRINT_OUTPUT=$home/PDF \
  QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$test_binary"
