"""Writes every character the game's sources hold in their string literals, \\u escapes
decoded, for cutting the faces down to what the game can show.
Usage: shown_text.py OUTPUT SOURCE..."""

import re
import sys

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPE = re.compile(r"\\(u[0-9a-fA-F]{4}|U[0-9a-fA-F]{8}|.)")


def decode(literal):
    def one(match):
        code = match.group(1)
        return chr(int(code[1:], 16)) if code[0] in "uU" and len(code) > 1 else ""
    return ESCAPE.sub(one, literal)


def main(output, sources):
    shown = set()
    for source in sources:
        with open(source, encoding="utf-8") as f:
            for literal in LITERAL.findall(f.read()):
                shown.update(decode(literal))
    with open(output, "w", encoding="utf-8") as f:
        f.write("".join(sorted(c for c in shown if c.isprintable())) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
