#!/usr/bin/python3
"""Prints what a Tabellix workbook holds: size, the first rows as a table and
which cells are marked yellow; number and date cells as a German
spreadsheet shows them, and how many there are. Reads an .xls file with
xlrd (python3-xlrd) and an .xlsx file with openpyxl (python3-openpyxl),
readers that share nothing with Tabellix's own writers."""
import argparse
import sys


def number_text(value):
    """A number as German spreadsheets show it in the general format."""
    if float(value).is_integer():
        return str(int(value))
    return ("%.15g" % value).replace(".", ",")


def date_text(moment):
    return moment.strftime("%d.%m.%Y %H:%M:%S")


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    rows, marked, kinds = [], [], {"Zahlzellen": 0, "Datumszellen": 0}
    for r in range(sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c) if c < sheet.row_len(r) else None
            xf = book.xf_list[sheet.cell_xf_index(r, c)]
            if xf.background.fill_pattern == 1 and xf.background.pattern_colour_index == 13:
                marked.append(xlrd.formula.cellname(r, c))
            if cell is not None and cell.ctype == xlrd.XL_CELL_NUMBER:
                kinds["Zahlzellen"] += 1
                row.append(number_text(cell.value))
            elif cell is not None and cell.ctype == xlrd.XL_CELL_DATE:
                kinds["Datumszellen"] += 1
                row.append(date_text(xlrd.xldate_as_datetime(cell.value, book.datemode)))
            else:
                row.append(str(cell.value) if cell is not None else "")
        rows.append(row)
    return sheet.name, sheet.ncols, rows, marked, kinds


def read_xlsx(path):
    import openpyxl
    sheet = openpyxl.load_workbook(path).worksheets[0]
    rows, marked, kinds = [], [], {"Zahlzellen": 0, "Datumszellen": 0}
    for cells in sheet.iter_rows():
        row = []
        for cell in cells:
            if cell.fill.fill_type == "solid" and cell.fill.fgColor.rgb == "FFFFFF00":
                marked.append(cell.coordinate)
            if cell.data_type == "n" and cell.value is not None:
                kinds["Zahlzellen"] += 1
                row.append(number_text(cell.value))
            elif cell.data_type == "d":
                kinds["Datumszellen"] += 1
                row.append(date_text(cell.value))
            else:
                row.append("" if cell.value is None else str(cell.value))
        rows.append(row)
    return sheet.title, sheet.max_column if rows else 0, rows, marked, kinds


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("workbook")
    ap.add_argument("--rows", type=int, default=10, help="rows to show (default 10)")
    ap.add_argument("--width", type=int, default=24, help="characters per cell shown")
    args = ap.parse_args()

    read = read_xlsx if args.workbook.lower().endswith(".xlsx") else read_xls
    name, ncols, rows, marked, kinds = read(args.workbook)
    typed = "".join(f", {count} {kind}" for kind, count in kinds.items() if count)
    print(f"Blatt {name!r}: {len(rows)} Zeilen, {ncols} Spalten, {len(marked)} gelb markierte Zellen{typed}")

    def cut(v):
        v = v.replace("\r", " ").replace("\n", " ")
        return v if len(v) <= args.width else v[: args.width - 1] + "…"

    shown = [[cut(v) for v in row] for row in rows[: args.rows]]
    if shown:
        widths = [max(len(row[c]) for row in shown) for c in range(ncols)]
        for row in shown:
            print(" | ".join(v.ljust(w) for v, w in zip(row, widths)).rstrip())
    if marked:
        more = f" … (+{len(marked) - 12})" if len(marked) > 12 else ""
        print("Markiert: " + ", ".join(marked[:12]) + more)
    return 0


if __name__ == "__main__":
    sys.exit(main())
