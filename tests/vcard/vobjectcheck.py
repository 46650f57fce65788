#!/usr/bin/python3
"""Reads a vCard file written by the program with the vobject library and prints what it
understood as JSON, one object per card. Exits non-zero, saying why, when the file breaks the
rules of RFC 6350 this check knows: UTF-8 without a byte-order mark, CRLF line ends, lines of at
most 75 octets, VERSION:4.0 first, an FN on every card."""

import json
import sys

import vobject


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def main():
    data = open(sys.argv[1], 'rb').read()
    if data.startswith(b'\xef\xbb\xbf'):
        fail('byte-order mark')
    try:
        text = data.decode('utf-8', errors='strict')
    except UnicodeDecodeError as e:
        fail('not UTF-8: %s' % e)
    if data and not data.endswith(b'\r\n'):
        fail('the file does not end with CRLF')
    for number, line in enumerate(data.split(b'\r\n')[:-1], 1):
        if b'\n' in line or b'\r' in line:
            fail('line %d: a line end other than CRLF' % number)
        if len(line) > 75:
            fail('line %d: %d octets' % (number, len(line)))
        if not line:
            fail('line %d: empty' % number)
    cards = []
    for card in vobject.readComponents(text):
        children = list(card.getChildren())
        if not children or children[0].name != 'VERSION' or children[0].value != '4.0':
            fail('VERSION:4.0 is not the first property')
        if 'fn' not in card.contents:
            fail('a card without FN')
        out = {}
        for child in children:
            key = child.name.lower()
            types = sorted(t.lower() for t in child.params.get('TYPE', []))
            value = child.value
            if key == 'n':
                value = [value.family, value.given, value.additional, value.prefix, value.suffix]
            elif key == 'adr':
                value = [value.box, value.extended, value.street, value.city, value.region,
                         value.code, value.country]
            if key in ('tel', 'email', 'adr', 'url'):
                out.setdefault(key, []).append([types, value])
            else:
                out[key] = value
        cards.append(out)
    json.dump(cards, sys.stdout, ensure_ascii=False)


main()
