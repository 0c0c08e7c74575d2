#!/usr/bin/python3
"""Writes the alias table that `tabellix-props --aliases` prints into the
README and the ZireVuz.ini man pages (English and German; rows of a tbl
table), between their aliases:begin/end markers.
With --check it only compares and exits 1 when either differs.

    tools/alias-table.py build/app/tabellix-props [--check]
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGETS = [
    ("README.md", "<!-- aliases:begin -->", "<!-- aliases:end -->",
     lambda rows: ["| name | set | id |", "|---|---|---|"] +
     ["| `%s` | %s | %s |" % r for r in rows]),
] + [(page, '.\\" aliases:begin', '.\\" aliases:end', lambda rows: ["%s\t%s\t%s" % r for r in rows])
     for page in ("packaging/man/ZireVuz.ini.5", "packaging/man/de/ZireVuz.ini.5")]


def replaced(text, begin, end, lines):
    head, rest = text.split(begin + "\n", 1)
    _, tail = rest.split(end, 1)
    return head + begin + "\n" + "".join(l + "\n" for l in lines) + end + tail


def main():
    props, check = sys.argv[1], "--check" in sys.argv[2:]
    out = subprocess.run([props, "--aliases"], check=True, capture_output=True).stdout.decode("utf-8")
    rows = [tuple(line.split("\t")) for line in out.splitlines()]
    differs = []
    for name, begin, end, render in TARGETS:
        path = os.path.join(ROOT, name)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        new = replaced(text, begin, end, render(rows))
        if new != text:
            differs.append(name)
            if not check:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(new)
    if check and differs:
        print("Alias-Tabelle weicht von tabellix-props --aliases ab: " + ", ".join(differs))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
