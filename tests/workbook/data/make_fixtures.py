"""Makes the workbook fixtures of the sheet-export tests (run once by hand;
the results are committed). Needs openpyxl and PIL (python3-pil).

Usage: make_fixtures.py OUTPUT_FOLDER

existing.xlsx, a user's workbook of three sheets:
- 封面: a merged title, a tall first row, a hidden column, frozen panes,
  borders, a number format, rows 1-2 printed on every page, landscape;
- 收款日报表: an earlier export's content down to H40, with a comment (the
  sheet owns a comments part and a drawing of its own);
- 图表: a small table with a bar chart and a picture, row 1 printed on
  every page.
existing-lo.xlsx: the same workbook saved again by LibreOffice (shared
strings, "state" on every sheet, its own styles and defined-name form).
"""
import io
import os
import shutil
import subprocess
import sys
import tempfile

from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.comments import Comment
from openpyxl.drawing.image import Image
from openpyxl.styles import Border, Font, Side
from PIL import Image as PILImage


def main():
    out = sys.argv[1]
    wb = Workbook()
    cover = wb.active
    cover.title = "封面"
    cover["A1"] = "用户自己的封面"
    cover["A1"].font = Font(name="宋体", size=16, bold=True)
    cover.merge_cells("A1:D1")
    cover.row_dimensions[1].height = 30
    cover.column_dimensions["C"].hidden = True
    cover.freeze_panes = "A3"
    thin = Side(style="thin")
    for row in cover["A2:D5"]:
        for c in row:
            c.border = Border(left=thin, right=thin, top=thin, bottom=thin)
    cover["B3"] = 1234.5
    cover["B3"].number_format = "#,##0.000"
    cover.print_title_rows = "1:2"
    cover.page_setup.orientation = "landscape"

    old = wb.create_sheet("收款日报表")
    for r in range(1, 41):
        for c in range(1, 9):
            old.cell(row=r, column=c, value="旧%d-%d" % (r, c))
    old["B2"].comment = Comment("旧的批注", "用户")

    chart_sheet = wb.create_sheet("图表")
    chart_sheet.append(["月份", "金额"])
    for month, amount in ((1, 10), (2, 30), (3, 20)):
        chart_sheet.append([month, amount])
    chart = BarChart()
    chart.add_data(Reference(chart_sheet, min_col=2, min_row=1, max_row=4), titles_from_data=True)
    chart.set_categories(Reference(chart_sheet, min_col=1, min_row=2, max_row=4))
    chart_sheet.add_chart(chart, "D2")
    png = io.BytesIO()
    PILImage.new("RGB", (8, 8), (200, 30, 30)).save(png, format="PNG")
    png.seek(0)
    chart_sheet.add_image(Image(png), "D20")
    chart_sheet.print_title_rows = "1:1"

    wb.save(out + "/existing.xlsx")

    with tempfile.TemporaryDirectory() as scratch:
        shutil.copy(out + "/existing.xlsx", scratch + "/in.xlsx")
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + scratch + "/profile",
                        "--convert-to", "xlsx", "--outdir", scratch + "/out", scratch + "/in.xlsx"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.copy(os.path.join(scratch, "out", "in.xlsx"), out + "/existing-lo.xlsx")


if __name__ == "__main__":
    main()
