"""The cells and layout of the first sheet of a workbook, .xls as xlrd reads
it and .xlsx as openpyxl reads it (readers we did not write), in one form,
so that the two workbooks of a run can be compared cell for cell."""
import datetime

import openpyxl
import xlrd

YELLOW_XLS = (255, 255, 0)
YELLOW_XLSX = "FFFFFF00"


def _second(moment):
    """A date-time to the second: both readers turn serial days into microseconds."""
    return (moment + datetime.timedelta(microseconds=500000)).replace(microsecond=0)


def _a1(row, col):
    return "%s%d" % (openpyxl.utils.get_column_letter(col), row)


def read_xls(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.row_len(r)):
            cell = sheet.cell(r, c)
            xf = book.xf_list[sheet.cell_xf_index(r, c)]
            yellow = xf.background.fill_pattern == 1 and \
                book.colour_map.get(xf.background.pattern_colour_index) == YELLOW_XLS
            if cell.ctype == xlrd.XL_CELL_TEXT:
                kind, value = "text", cell.value
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                kind, value = "number", cell.value
            elif cell.ctype == xlrd.XL_CELL_DATE:
                kind, value = "date", _second(xlrd.xldate_as_datetime(cell.value, book.datemode))
            elif yellow:
                kind, value = "blank", None
            else:
                continue
            cells[(r + 1, c + 1)] = (kind, value, book.format_map[xf.format_key].format_str,
                                     bool(book.font_list[xf.font_index].bold), yellow)
    names = book.name_map.get("_filterdatabase")
    area = names[0].area2d()[1:] if names else None
    return {
        "cells": cells,
        "widths": {c + 1: info.width / 256 for c, info in sheet.colinfo_map.items()},
        "frozen": _a1(sheet.horz_split_pos + 1, 1) if sheet.panes_are_frozen else None,
        "filter": "%s:%s" % (_a1(area[0] + 1, area[2] + 1), _a1(area[1], area[3])) if area else None,
    }


def read_xlsx(path):
    sheet = openpyxl.load_workbook(path).worksheets[0]
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            yellow = cell.fill.fill_type == "solid" and cell.fill.fgColor.rgb == YELLOW_XLSX
            if cell.data_type == "s":
                kind, value = "text", cell.value
            elif cell.data_type == "n" and cell.value is not None:
                kind, value = "number", float(cell.value)
            elif cell.data_type == "d":
                kind, value = "date", _second(cell.value)
            elif yellow:
                kind, value = "blank", None
            else:
                continue
            cells[(cell.row, cell.column)] = (kind, value, cell.number_format, bool(cell.font.b), yellow)
    widths = {}
    for dimension in sheet.column_dimensions.values():
        if dimension.customWidth:
            widths.update({c: dimension.width for c in range(dimension.min, dimension.max + 1)})
    return {"cells": cells, "widths": widths, "frozen": sheet.freeze_panes, "filter": sheet.auto_filter.ref}


def read_workbook(path):
    return read_xlsx(path) if path.lower().endswith(".xlsx") else read_xls(path)
