#!/usr/bin/env python3
"""Rebuilds the shipped word files in lib/wordfiles/.

Single words come from the Debian list of common American English words
(package wamerican-small, /usr/share/dict/american-english-small;
`apt-get install wamerican-small`), base forms only;
the reading paragraphs come from scripts/wordsource/prose.txt, plain prose
written for this project. The selection is seeded, so a rebuild from the
same word list gives the same files.

Usage: scripts/make-word-files.py [word list] (run from anywhere)
"""

import os
import random
import re
import sys
import textwrap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DICT = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/dict/american-english-small"
OUT = os.path.join(ROOT, "lib", "wordfiles")
PROSE = os.path.join(ROOT, "scripts", "wordsource", "prose.txt")
WRAP = 56  # characters per reading line: the widest line stays inside a 4:3 window at size 24

SOURCE = ("# Words selected by scripts/make-word-files.py from the Debian package\n"
          "# wamerican-small (SCOWL American English word list, permissive licence:\n"
          "# see lib/wordfiles/README.md). One item per line; '#' lines are comments.\n")


def readdict(path):
    with open(path, encoding="utf-8") as f:
        return [w.strip() for w in f]


# Inflected forms, comparatives and roman numerals make poor stimuli; so do
# words a participant may find offensive.
SKIP = re.compile(r"(s|ed|ing|ly|est|ier)$|^[ivxlcdm]+$")
OFFENSIVE = {"bitch", "crap", "damn", "dick", "fuck", "hell", "kill", "nazi", "nigger", "piss", "rape", "shit",
             "slut", "whore", "bastard", "penis", "vagina", "sexy", "suck", "cock", "dildo", "porn", "raped", "gimme"}


def pick(words, pattern, lo, hi, count, seed, exclude=()):
    cands = sorted({w for w in words if re.fullmatch(pattern, w) and lo <= len(w) <= hi and not SKIP.search(w)}
                   - OFFENSIVE - set(exclude))
    return random.Random(seed).sample(cands, count)


def write(path, header, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(header)
        for line in lines:
            f.write(line + "\n")
    print("wrote %s (%d lines)" % (os.path.relpath(path, ROOT), len(lines)))


def paragraphs():
    with open(PROSE, encoding="ascii") as f:
        return [p.strip() for p in f if p.strip() and not p.startswith("#")]


def main():
    words = readdict(DICT)
    # Common-looking lower-case words without capitals or apostrophes.
    lower = pick(words, r"[a-z]+", 4, 7, 480, 11)
    write(os.path.join(OUT, "test", "words.txt"), SOURCE, lower)
    # Capitals only: the word-form stimulus spells them in another alphabet.
    upper = [w.upper() for w in pick(words, r"[a-z]+", 4, 6, 360, 75, exclude=lower)]
    lexheader = SOURCE + "# Capitals A-Z only (the font condition transliterates each letter).\n"
    for sub in ("test", "vwfa"):
        write(os.path.join(OUT, sub, "lexbank01.txt"), lexheader, upper)

    paraheader = ("# Plain prose written for this project (scripts/wordsource/prose.txt),\n"
                  "# wrapped by scripts/make-word-files.py. One line of text per line; the\n"
                  "# reader shows -wordsperblock words per block.\n")
    lines = []
    for p in paragraphs():
        lines.extend(textwrap.wrap(p, WRAP))
    write(os.path.join(OUT, "test", "paras.txt"), paraheader, lines)
    marked = []
    for p in paragraphs():
        block = textwrap.wrap(p, WRAP)
        block[-1] += " <endpara>"
        marked.extend(block)
    markheader = ("# The paragraphs of paras.txt, one block each (<endpara> ends a block):\n"
                  "# run with -wordsperblock 0 and a -condlist of at least %d entries.\n" % len(paragraphs()))
    write(os.path.join(OUT, "test", "paras-marked.txt"), markheader, marked)


if __name__ == "__main__":
    main()
