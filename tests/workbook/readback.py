"""Prints what a workbook holds as JSON, for the workbook tests.

Usage: readback.py FILE.xlsx
Each cell that has a value or a style: its value (the saved result for
formulas), its type, the formula text, number format, font, fill, border,
alignment. Also the merged ranges and the column widths of the first sheet.
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
    ws, wv = formulas.worksheets[0], values.worksheets[0]
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
                "wrap": bool(c.alignment.wrap_text),
            }
    widths = {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth}
    heights = {str(k): d.height for k, d in ws.row_dimensions.items() if d.height is not None}
    print(json.dumps({
        "sheets": formulas.sheetnames,
        "cells": cells,
        "merges": sorted(str(r) for r in merged.worksheets[0].merged_cells.ranges),
        "widths": widths,
        "heights": heights,
    }, ensure_ascii=False))


if __name__ == "__main__":
    main()
