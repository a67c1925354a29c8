#!/usr/bin/env python3
"""Derives the reading-initials table of the GB2312 level-1 characters.

Usage: make_reading_initials.py PINYIN_JS > gb2312_level1_initials.txt

PINYIN_JS is the character dictionary of a pinyin data package from the npm
registry (a file with lines `dict[0x4e00] = "yī";`), unpacked into a scratch
folder; only the derived table is kept. Each output line holds one character
and the distinct first letters of its readings, e.g. "行 hx".
"""
import re
import sys
import unicodedata

readings = {}
for line in open(sys.argv[1], encoding="utf-8"):
    m = re.match(r'dict\[0x([0-9a-fA-F]+)\] = "([^"]*)";', line)
    if m:
        readings[int(m.group(1), 16)] = m.group(2).split(",")

print("# GB2312 level-1 characters (0xB0A1-0xD7F9) and the first letters of their readings")
for lead in range(0xB0, 0xD8):
    for trail in range(0xA1, 0xFF):
        try:
            ch = bytes([lead, trail]).decode("gb2312")
        except UnicodeDecodeError:
            continue  # the five unassigned codes at the end of row 0xD7
        letters = []
        for r in readings.get(ord(ch), []):
            base = unicodedata.normalize("NFD", r.strip())[:1].lower()
            if base and base.isalpha() and base not in letters:
                letters.append(base)
        print(ch, "".join(letters) or "-")
