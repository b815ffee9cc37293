#!/usr/bin/env python3
"""Turns a bilingual Lexmora dictionary around: writes a tab-separated list whose headwords are
the Cyrillic translations in the meanings of DICT.dat, each with the headwords it translates.

    reverse_dict.py DICT.dat OUT.txt

A translation is a piece of a meaning line between commas or semicolons (a leading "2." and
text in brackets left out) that holds Cyrillic letters, spaces and hyphens only, and at most three
words. lexmora-import reads the list (headword TAB meaning) and merges equal headwords.
"""
import re
import sys

CYRILLIC = re.compile(r"^[\u0400-\u04FF\u0300-\u036F -]+$")


def translations(line):
    line = re.sub(r"^\s*\d+\.\s*", "", line)
    line = re.sub(r"\([^)]*\)|\[[^\]]*\]", "", line)
    for piece in re.split(r"[,;]", line):
        piece = piece.strip()
        if piece and CYRILLIC.match(piece) and len(piece.split()) <= 3:
            yield piece


def main():
    source, target = sys.argv[1], sys.argv[2]
    text = open(source, "rb").read().decode("utf-16")
    pairs = set()
    for entry in text.split("\u00b7")[1:]:
        lines = entry.split("\r\n")
        headword = lines[0].strip()
        for line in lines[1:]:
            for piece in translations(line):
                pairs.add((piece, headword))
    with open(target, "w", encoding="utf-8", newline="\n") as out:
        for piece, headword in sorted(pairs):
            out.write(f"{piece}\t{headword}\n")
    print(f"{len(pairs)} pairs written to {target}")


if __name__ == "__main__":
    main()
