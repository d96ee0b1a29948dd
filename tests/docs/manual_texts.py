#!/usr/bin/env python3
"""Every program text that the user manual quotes („…“) is exactly the program's.

A quote must equal a text of the resource script res/Voldix.rc, or a text that the
program keeps in its code (a string literal of its sources), without the "&" of the
mnemonic; a text of several lines may be quoted whole (lines joined by a blank) or line
by line, and a %s or %d in it stands for any text. Usage: manual_texts.py SOURCE_ROOT
"""
import pathlib
import re
import sys

PROGRAM_FOLDERS = ("res", "app", "usage", "attrib", "log", "update", "dialogs", "classlib")
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|(?:L|u8)?"((?:\\.|[^"\\])*)"', re.DOTALL)
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def literals(source):
    """The string literals of a C++ or resource source, adjacent ones joined, comments skipped."""
    texts, last_end = [], None
    for match in TOKEN.finditer(source):
        if match.group(1) is None:
            last_end = None
            continue
        text = re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(0)), match.group(1))
        if last_end is not None and not source[last_end : match.start()].strip():
            texts[-1] += text
        else:
            texts.append(text)
        last_end = match.end()
    return texts


def patterns(text):
    text = text.replace("&", "")
    lines = [line for line in re.split(r"\r?\n", text) if line]
    for candidate in [" ".join(lines)] + lines:
        parts = re.split(r"%l?[sdu]", candidate)
        # A format of little but placeholders ("%s [%s]") would match any quote.
        if len(parts) > 1 and sum(char.isalpha() for char in "".join(parts)) < 4:
            continue
        yield re.compile(".+".join(re.escape(part) for part in parts) + r"\Z")


def main():
    root = pathlib.Path(sys.argv[1])
    texts = set()
    for folder in PROGRAM_FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in (".rc", ".cpp", ".h"):
                texts.update(literals(path.read_text(encoding="utf-8")))
    known = [pattern for text in texts for pattern in patterns(text)]
    manual = (root / "docs" / "Anleitung.md").read_text(encoding="utf-8")
    quotes = re.findall(r"„([^“]*)“", re.sub(r"\s+", " ", manual))
    wrong = [quote for quote in quotes if not any(p.match(quote) for p in known)]
    for quote in wrong:
        print(f"docs/Anleitung.md quotes „{quote}“, which the program does not show")
    print(f"{len(quotes) - len(wrong)} of {len(quotes)} quoted texts are the program's")
    return 1 if wrong or not quotes else 0


if __name__ == "__main__":
    sys.exit(main())
