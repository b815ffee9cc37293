#!/usr/bin/env python3
"""Writes the files that ship in data/ from their readable sources.

    python3 tools/make_demo_dict.py

  data-src/diruridu.txt  ->  data/Dictionaries/diruridu.dat   (the demo dictionary)
  the tables below       ->  data/Data/conv_to.txt, data/Data/conv_from.txt

The source of the dictionary is UTF-8 text, one entry a line: the headword, a TAB,
then the lines of the entry separated by " | ". Empty lines and lines starting
with # are skipped.

The dictionary file is UTF-16LE: a byte-order mark and a title line (the
preamble, never shown), then every entry introduced by the middle dot U+00B7:
headword, CR LF, its lines joined by CR LF. Lexmora indexes the file in its own
order and finds words by binary search, so the entries are written in Bulgarian
alphabetical order of their headwords, which is the order the program's
comparison gives them. Headwords are checked to be lower-case words of the
Bulgarian alphabet only: with no spaces, hyphens or other letters in them, the
order of the headwords decides the order of the entries, whatever follows.
"""

import os
import sys

BULGARIAN = 'абвгдежзийклмнопрстуфхцчшщъьюя'
DOT = '\u00b7'
CRLF = '\r\n'
TITLE = 'Lexmora demo dictionary: Bulgarian - English'

# Letter conversion: each target letter with the letters folded onto it. Only
# lower-case letters matter, because the search lower-cases before folding.
CONVERSION = [
    ('е', 'ёѐэѣє'),   # yo, e with grave, Russian e, old yat, Ukrainian ye
    ('и', 'ѝыії'),    # i with grave, Russian yery, Ukrainian i and yi
    ('ъ', 'ѫ'),       # old big yus
    ('г', 'ґѓ'),      # Ukrainian ghe with upturn, Macedonian gje
    ('к', 'ќ'),       # Macedonian kje
    ('у', 'ў'),       # Belarusian short u
]


def fail(msg):
    sys.exit('make_demo_dict: ' + msg)


def read_source(path):
    entries = {}
    with open(path, encoding='utf-8') as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            if '\t' not in line:
                fail(f'{path}:{n}: no TAB after the headword')
            head, rest = line.split('\t', 1)
            if not head or any(c not in BULGARIAN for c in head):
                fail(f'{path}:{n}: headword {head!r} is not a lower-case Bulgarian word')
            if head in entries:
                fail(f'{path}:{n}: headword {head!r} appears twice')
            lines = [part.strip() for part in rest.split(' | ')]
            if not all(lines):
                fail(f'{path}:{n}: empty line in the entry for {head!r}')
            for text in lines:
                if DOT in text or '\t' in text:
                    fail(f'{path}:{n}: a middle dot or TAB inside the entry for {head!r}')
            entries[head] = lines
    return entries


def sort_key(head):
    # Alphabet order letter by letter; a word comes before the words it begins.
    return [BULGARIAN.index(c) for c in head]


def check_order_is_stable(heads):
    """Windows puts й after и as a letter of its own under Bulgarian or Russian
    settings, but reads it as и with a mark under English ones. Two headwords that
    first differ in и against й would therefore change places with the user's
    language settings, and the binary search would miss one of them."""
    for a, b in zip(heads, heads[1:]):
        i = next((k for k, (x, y) in enumerate(zip(a, b)) if x != y), None)
        if i is not None and {a[i], b[i]} == {'и', 'й'}:
            fail(f'{a!r} and {b!r} sort differently under different language settings')


def dictionary_text(entries):
    out = ['\ufeff', TITLE, CRLF]
    heads = sorted(entries, key=sort_key)
    check_order_is_stable(heads)
    for head in heads:
        out += [DOT, head, CRLF, CRLF.join(entries[head])]
    return ''.join(out)


def check_not_folded(text):
    """The search folds the entries' beginnings too; the demo dictionary must not
    hold a letter that the tables fold, or folding could reorder its entries."""
    folded = set(''.join(src for _, src in CONVERSION))
    bad = sorted(folded & set(text.lower()))
    if bad:
        fail('the dictionary holds letters that the conversion tables fold: ' + ''.join(bad))


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(text.encode('utf-16-le'))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    entries = read_source(os.path.join(root, 'data-src', 'diruridu.txt'))
    text = dictionary_text(entries)
    check_not_folded(text)
    write(os.path.join(root, 'data', 'Dictionaries', 'diruridu.dat'), text)

    targets = ''.join(t for t, _ in CONVERSION)
    groups = [src for _, src in CONVERSION]
    if len(targets) != len(groups) or any(len(t) != 1 for t, _ in CONVERSION):
        fail('every conversion group needs exactly one target letter')
    # conv_to: the byte-order mark, then one target per unit, no line break.
    write(os.path.join(root, 'data', 'Data', 'conv_to.txt'), '\ufeff' + targets)
    # conv_from: the byte-order mark, then one group a line; no line break after the
    # last group, which would add an empty group and unbalance the counts.
    write(os.path.join(root, 'data', 'Data', 'conv_from.txt'), '\ufeff' + CRLF.join(groups))
    print(f'{len(entries)} entries; {len(groups)} conversion groups')


if __name__ == '__main__':
    main()
