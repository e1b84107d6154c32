"""Prints what a workbook holds as JSON, for the workbook tests.

Usage: readback.py FILE.xlsx [SHEET]
The named sheet, or the first one. Each cell that has a value or a style: its value (the saved result for
formulas), its type, the formula text, number format, font, fill, border,
alignment. Also the sheet's merged ranges, column widths, row heights and page
setup, and the names of all sheets.
"""
import datetime
import io
import json
import re
import sys
import zipfile

import openpyxl


def colour(fill):
    if fill is None or fill.fill_type != "solid":
        return None
    rgb = fill.fgColor.rgb
    return rgb[-6:].upper() if isinstance(rgb, str) else None


def without_merges(path):
    """The workbook with its merges dropped: openpyxl forgets the styles of
    the covered cells of a merge, and the tests check those too."""
    out = io.BytesIO()
    with zipfile.ZipFile(path) as src, zipfile.ZipFile(out, "w") as dst:
        for item in src.infolist():
            data = src.read(item.filename)
            if item.filename.startswith("xl/worksheets/"):
                data = re.sub(rb"<mergeCells.*?</mergeCells>", b"", data, flags=re.S)
            dst.writestr(item, data)
    out.seek(0)
    return out


def main():
    path = sys.argv[1]
    merged = openpyxl.load_workbook(path)
    formulas = openpyxl.load_workbook(without_merges(path))
    values = openpyxl.load_workbook(without_merges(path), data_only=True)
    name = sys.argv[2] if len(sys.argv) > 2 else formulas.sheetnames[0]
    ws, wv, wm = formulas[name], values[name], merged[name]
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            v = wv[c.coordinate].value
            kind = "empty"
            if isinstance(c.value, str) and c.data_type == "f":
                kind = "formula"
            elif isinstance(v, bool):
                kind = "bool"
            elif isinstance(v, (int, float)):
                kind = "number"
            elif isinstance(v, datetime.datetime):
                kind = "date"
                v = v.date().isoformat()
            elif isinstance(v, str):
                kind = "text"
            cells[c.coordinate] = {
                "value": v,
                "type": kind,
                "formula": c.value if kind == "formula" else None,
                "numberFormat": c.number_format,
                "font": c.font.name,
                "size": c.font.sz,
                "bold": bool(c.font.b),
                "fill": colour(c.fill),
                "border": c.border.left.style if c.border and c.border.left else None,
                "borderAll": all(
                    getattr(c.border, side).style == c.border.left.style for side in ("right", "top", "bottom")
                ),
                "horizontal": c.alignment.horizontal,
                "vertical": c.alignment.vertical,
                "wrap": bool(c.alignment.wrap_text),
            }
    widths = {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth}
    heights = {str(k): d.height for k, d in ws.row_dimensions.items() if d.height is not None}
    page = {
        "orientation": wm.page_setup.orientation,
        "fitToPage": bool(wm.sheet_properties.pageSetUpPr and wm.sheet_properties.pageSetUpPr.fitToPage),
        # Both default to 1 when the file leaves them out.
        "fitToWidth": 1 if wm.page_setup.fitToWidth is None else int(wm.page_setup.fitToWidth),
        "fitToHeight": 1 if wm.page_setup.fitToHeight is None else int(wm.page_setup.fitToHeight),
        "titleRows": wm.print_title_rows,
    }
    print(json.dumps({
        "sheets": formulas.sheetnames,
        "cells": cells,
        "merges": sorted(str(r) for r in wm.merged_cells.ranges),
        "widths": widths,
        "heights": heights,
        "page": page,
    }, ensure_ascii=False))


if __name__ == "__main__":
    main()
