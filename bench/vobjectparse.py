#!/usr/bin/python3
"""Times python3-vobject reading every card of a file already in memory, as the program's own
reader is timed: prints the number of cards and the seconds it took."""

import sys
import time

import vobject

with open(sys.argv[1], encoding='utf-8') as f:
    text = f.read()
start = time.perf_counter()
cards = 0
for card in vobject.readComponents(text):
    cards += 1
print(cards, time.perf_counter() - start)
