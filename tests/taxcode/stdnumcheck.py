# Reads lines "cf CODE" or "iva CODE" and prints, for each, what Debian's python3-stdnum says of
# it: "0" when not valid; "1" when valid, followed for a personal code by the day, month and
# two-digit year it encodes and, when the day is written in digits, the sex.
import sys

from stdnum.it import codicefiscale, iva

for line in sys.stdin.read().split("\n"):
    if not line:
        continue
    kind, code = line.split(" ", 1)
    if kind == "iva":
        print("1" if iva.is_valid(code) else "0")
        continue
    if not codicefiscale.is_valid(code):
        print("0")
        continue
    compact = codicefiscale.compact(code)
    if len(compact) != 16:
        print("1")
        continue
    born = codicefiscale.get_birth_date(compact)
    fields = ["1", born.strftime("%d/%m/") + "%02d" % (born.year % 100)]
    if compact[9:11].isdigit():
        fields.append(codicefiscale.get_gender(compact))
    print(" ".join(fields))
