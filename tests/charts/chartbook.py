#!/usr/bin/python3
"""Prints as JSON what a workbook's charts point at: each chart sheet with its
chart's grouping and series (name, values and category references), and the
formulas of the sheet 图表数据 when there is one."""
import json
import sys

import openpyxl


def text_of(tx):
    if tx is None:
        return None
    if tx.strRef is not None:
        return tx.strRef.f
    return tx.v


def main():
    book = openpyxl.load_workbook(sys.argv[1])
    out = {"sheets": book.sheetnames, "charts": [], "data": {}}
    for sheet in book.chartsheets:
        for chart in sheet._charts:
            out["charts"].append({
                "sheet": sheet.title,
                "type": type(chart).__name__,
                "direction": chart.type,
                "grouping": chart.grouping,
                "series": [{
                    "name": text_of(s.tx),
                    "values": s.val.numRef.f,
                    "categories": s.cat.strRef.f if s.cat.strRef is not None else s.cat.numRef.f,
                } for s in chart.series],
            })
    if "图表数据" in book.sheetnames:
        for row in book["图表数据"].iter_rows():
            for cell in row:
                if cell.value is not None:
                    out["data"][cell.coordinate] = cell.value
    json.dump(out, sys.stdout, ensure_ascii=False)


main()
