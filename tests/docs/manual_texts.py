#!/usr/bin/env python3
"""Every program text that the user manual quotes („…“) is exactly the program's: a text
of res/Voldix.rc or a string literal of the program's code, without the "&" of its
mnemonic; a text of several lines may be quoted whole (lines joined by a blank) or line
by line, and a %s or %d in it stands for any text. Usage: manual_texts.py SOURCE_ROOT"""
import pathlib
import re
import sys

FOLDERS = ("res", "app", "usage", "attrib", "log", "update", "dialogs", "classlib")
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|L?"((?:\\.|[^"\\])*)"', re.DOTALL)
ESCAPES = {"n": "\n", "r": "\r", "t": "\t"}


def literals(source):
    """The string literals of a source, adjacent ones joined, those in comments skipped."""
    texts, last_end = [], None
    for match in TOKEN.finditer(source):
        text = match.group(1)
        if text is not None:
            text = re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), text)
            if last_end is not None and not source[last_end : match.start()].strip():
                texts[-1] += text
            else:
                texts.append(text)
        last_end = match.end() if text is not None else None
    return texts


def patterns(text):
    lines = [line for line in re.split(r"\r?\n", text.replace("&", "")) if line]
    for candidate in [" ".join(lines)] + lines:
        parts = re.split(r"%l?[sdu]", candidate)
        # A format of little but placeholders ("%s [%s]") would match any quote.
        if len(parts) == 1 or sum(char.isalpha() for char in "".join(parts)) >= 4:
            yield re.compile(".+".join(map(re.escape, parts)) + r"\Z")


def main():
    root = pathlib.Path(sys.argv[1])
    sources = [p for f in FOLDERS for p in (root / f).rglob("*") if p.suffix in (".rc", ".cpp", ".h")]
    known = [p for s in sources for t in literals(s.read_text(encoding="utf-8")) for p in patterns(t)]
    manual = (root / "docs" / "Anleitung.md").read_text(encoding="utf-8")
    quotes = re.findall(r"„([^“]*)“", re.sub(r"\s+", " ", manual))
    wrong = [quote for quote in quotes if not any(p.match(quote) for p in known)]
    for quote in wrong:
        print(f"docs/Anleitung.md quotes „{quote}“, which the program does not show")
    print(f"{len(quotes) - len(wrong)} of {len(quotes)} quoted texts are the program's")
    return 1 if wrong or not quotes else 0


if __name__ == "__main__":
    sys.exit(main())
