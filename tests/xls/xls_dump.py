"""Reads an .xls file with xlrd and olefile (readers we did not write) and
prints what the tests check as JSON: reader complaints, the compound-file
streams, and per sheet every cell that has a value or a format."""
import io
import json
import re
import sys

import olefile
import xlrd


def cell_entry(book, sheet, r, c):
    cell = sheet.cell(r, c)
    xf = book.xf_list[sheet.cell_xf_index(r, c)]
    fill = xf.background
    rgb = book.colour_map.get(fill.pattern_colour_index)
    return {
        "row": r, "col": c, "type": cell.ctype, "value": cell.value,
        "format": book.format_map[xf.format_key].format_str,
        "bold": bool(book.font_list[xf.font_index].bold),
        "pattern": fill.fill_pattern,
        "rgb": list(rgb) if (fill.fill_pattern and rgb) else None,
    }


def dump(path):
    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, verbosity=1, logfile=log)
    complaints = [l for l in log.getvalue().splitlines() if re.search(r"WARNING|ERROR|NOTE|\*\*\*", l)]
    sheets = []
    for sheet in book.sheets():
        cells = []
        for r in range(sheet.nrows):
            for c in range(sheet.row_len(r)):
                if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY:
                    cells.append(cell_entry(book, sheet, r, c))
        row0 = sheet.rowinfo_map.get(0)
        row0_bold = bool(row0 and row0.has_default_xf_index and
                         book.font_list[book.xf_list[row0.xf_index].font_index].bold)
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "row0_bold": row0_bold, "cells": cells})
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    streams = ["/".join(s) for s in ole.listdir(streams=True, storages=True)]
    return {"complaints": complaints, "streams": streams,
            "workbook_size": ole.get_size("Workbook"), "sheets": sheets}


if __name__ == "__main__":
    try:
        result = dump(sys.argv[1])
    except Exception as e:  # the test shows what the readers refused
        result = {"error": "%s: %s" % (type(e).__name__, e)}
    json.dump(result, sys.stdout, ensure_ascii=False)
