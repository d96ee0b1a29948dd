#!/usr/bin/python3
"""Makes the user manual and the read-me that ship with Voldix.

docs/Anleitung.md becomes one self-contained Anleitung.html (its pictures embedded as
data URIs), docs/LIESMICH.txt becomes LIESMICH.txt with the version filled in, in
Windows line ends; with --development it says at its top that the package is a
development build. Usage: make_manual.py --version X.Y.Z.W [--development] DOCS OUT
"""
import argparse
import base64
import html
import pathlib
import re
import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "Segoe UI", Tahoma, Arial, sans-serif; line-height: 1.5;
       max-width: 52em; margin: 2em auto; padding: 0 1em; color: #222; }}
h1, h2, h3 {{ color: #1b3f6b; }}
h2 {{ border-bottom: 1px solid #c8d3e0; padding-bottom: .2em; margin-top: 2em; }}
table {{ border-collapse: collapse; margin: 1em 0; }}
th, td {{ border: 1px solid #c8d3e0; padding: .3em .6em; text-align: left; vertical-align: top; }}
th {{ background: #eef3f8; }}
code, kbd {{ font-family: Consolas, "Courier New", monospace; background: #f3f3f3;
            padding: 0 .2em; }}
img {{ max-width: 100%; border: 1px solid #c8d3e0; display: block; margin: .5em 0; }}
.toc ul {{ list-style: none; padding-left: 1.2em; }}
</style>
</head>
<body>
{body}
<hr>
<p><small>Voldix {version}</small></p>
</body>
</html>
"""

DEVELOPMENT_NOTE = """ENTWICKLUNGSVERSION - nicht zur Weitergabe
------------------------------------------
Dieses Paket ist ein Entwicklungs-Build und keine Veröffentlichung des Herstellers.
Seine Update-Suche kann einem Schlüssel vertrauen, der beim Bauen erzeugt wurde, und
einen Testserver statt der Seiten des Herstellers fragen.

"""


def embed_pictures(body, docs):
    """Replaces every picture source beside the manual by its bytes as a data URI."""

    def embed(match):
        path = docs / html.unescape(match.group(2))
        if path.suffix.lower() != ".png" or not path.is_file():
            sys.exit(f"make_manual.py: picture {path} is missing")
        data = base64.b64encode(path.read_bytes()).decode("ascii")
        return f'{match.group(1)}"data:image/png;base64,{data}"'

    return re.sub(r'(<img [^>]*src=)"([^":]+)"', embed, body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--development", action="store_true")
    parser.add_argument("docs", type=pathlib.Path)
    parser.add_argument("out", type=pathlib.Path)
    args = parser.parse_args()

    text = (args.docs / "Anleitung.md").read_text(encoding="utf-8")
    converter = markdown.Markdown(extensions=["tables", "toc"], output_format="html")
    body = embed_pictures(converter.convert(text), args.docs)
    title = re.search(r"^# (.+)$", text, re.MULTILINE).group(1)
    page = PAGE.format(title=html.escape(title), body=body, version=args.version)
    (args.out / "Anleitung.html").write_text(page, encoding="utf-8")

    readme = (args.docs / "LIESMICH.txt").read_text(encoding="utf-8")
    readme = readme.replace("@VERSION@", args.version)
    if args.development:
        title_end = readme.index("\n\n") + 2
        readme = readme[:title_end] + DEVELOPMENT_NOTE + readme[title_end:]
    # Windows' editors read it best with CR LF and a byte order mark.
    with open(args.out / "LIESMICH.txt", "w", encoding="utf-8-sig", newline="\r\n") as out:
        out.write(readme)


if __name__ == "__main__":
    main()
