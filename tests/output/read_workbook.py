"""Prints every sheet of an .xls or .xlsx workbook, as xlrd reads it, as JSON:
{"log": warnings, "sheets": [{"name": ..., "rows": [[cell, ...], ...]}]}
with text cells as strings, number cells as numbers and empty cells as null."""
import io
import json
import sys

import xlrd

log = io.StringIO()
book = xlrd.open_workbook(sys.argv[1], logfile=log, verbosity=0)
sheets = []
for sheet in book.sheets():
    rows = []
    for r in range(sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER):
                row.append(cell.value)
            elif cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                row.append(None)
            else:
                row.append({"unexpected": repr(cell)})
        rows.append(row)
    sheets.append({"name": sheet.name, "rows": rows})
json.dump({"log": log.getvalue(), "sheets": sheets}, sys.stdout)
