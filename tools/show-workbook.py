#!/usr/bin/python3
"""Prints what a Tabellix workbook holds: size, the first rows as a table and
which cells are marked yellow. Reads the file with xlrd (python3-xlrd), a
reader that shares nothing with Tabellix's own writer."""
import argparse
import sys

import xlrd


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("workbook")
    ap.add_argument("--rows", type=int, default=10, help="rows to show (default 10)")
    ap.add_argument("--width", type=int, default=24, help="characters per cell shown")
    args = ap.parse_args()

    book = xlrd.open_workbook(args.workbook, formatting_info=True)
    sheet = book.sheet_by_index(0)
    marked = []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            xf = book.xf_list[sheet.cell_xf_index(r, c)]
            if xf.background.fill_pattern == 1 and xf.background.pattern_colour_index == 13:
                marked.append(xlrd.formula.cellname(r, c))

    print(f"Blatt {sheet.name!r}: {sheet.nrows} Zeilen, {sheet.ncols} Spalten, "
          f"{len(marked)} gelb markierte Zellen")

    def cut(v):
        v = str(v).replace("\r", " ").replace("\n", " ")
        return v if len(v) <= args.width else v[: args.width - 1] + "…"

    shown = [[cut(sheet.cell_value(r, c)) for c in range(sheet.ncols)]
             for r in range(min(args.rows, sheet.nrows))]
    if shown:
        widths = [max(len(row[c]) for row in shown) for c in range(sheet.ncols)]
        for row in shown:
            print(" | ".join(v.ljust(w) for v, w in zip(row, widths)).rstrip())
    if marked:
        more = f" … (+{len(marked) - 12})" if len(marked) > 12 else ""
        print("Markiert: " + ", ".join(marked[:12]) + more)
    return 0


if __name__ == "__main__":
    sys.exit(main())
