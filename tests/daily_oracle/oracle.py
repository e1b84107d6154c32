#!/usr/bin/env python3
"""Independent oracle for the daily receipts list.

Recomputes the grid of `fee-reports-cli daily` straight from the raw tables of
a demo SQLite database (plain Python over the rows, exact Decimal sums) and
compares it with the CLI's CSV: the same rows in the same order of receipt
date, book and number, every cell, and the totals row. Rows that tie on those
three are compared as a set: their order by payer follows the server's Chinese
collation (pinyin), which this oracle does not model.

Usage: oracle.py CLI_PATH WORK_DIR [--quick]
       oracle.py CLI_PATH WORK_DIR --nulls SHARED_DIR
With --nulls it runs the NULL placements of tests/support/nullplacements.py
instead: one list of office 01 per placement, on the embedded road and through
the SQL Server stand-in of SHARED_DIR/tools, and prints them as a table.
Exit code 0 when everything agrees, 1 otherwise.
"""
import calendar
import copy
import datetime
import itertools
import os
import sqlite3
import sys
from decimal import Decimal

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from sqlrules import amount, blank, concat, day8, eq, in_list, moment, norm, not_in  # noqa: E402
from oracletools import (SEEDED_DATABASES, command_line, demo_database, embedded, money,  # noqa: E402
                         money_unless_null, read_csv, run_tool, val)
import nullplacements as np  # noqa: E402

ALL = "选择全部"
NO_INVOICE = "不记录票据信息"
PRE_ISSUED = "(预开收款)"


# ---------------------------------------------------------------- texts
def date_text(v):
    return "" if blank(v) else moment(v).strftime("%Y-%m-%d")


def general_date_text(v):
    if blank(v):
        return ""
    d = moment(v)
    return d.strftime("%Y-%m-%d") if d.time() == datetime.time(0) else d.strftime("%Y-%m-%d %H:%M:%S")


def period_index(element):
    t = element.strip(" ")
    if not t or not t.isdigit() or not t.isascii():
        return None
    v = int(t)
    year, month = v // 100, v % 100
    if year < 1 or year > 9999 or month < 1 or month > 12:
        return None
    return year * 12 + month - 1


def compact(text):
    """摘要: consecutive months of a comma list as first-last."""
    if text is None:
        return ""
    if "," not in text:
        return text
    parts = text.split(",")
    pieces = []
    i = 0
    while i < len(parts):
        p = period_index(parts[i])
        if p is None:
            if parts[i] != "":
                pieces.append(parts[i])
            i += 1
            continue
        j = i
        while j + 1 < len(parts):
            q = period_index(parts[j + 1])
            if q is None or q != p + (j + 1 - i):
                break
            j += 1
        pieces.append(parts[i] if j == i else parts[i] + "-" + parts[j])
        i = j + 1
    out = ""
    for k, piece in enumerate(pieces):
        if k == 0:
            out = piece
        elif piece != out:
            out += "," + piece
    return out


# ---------------------------------------------------------------- the tables
class Data:
    def __init__(self, path):
        con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
        con.row_factory = sqlite3.Row

        def rows(sql):
            try:
                return [dict(r) for r in con.execute(sql)]
            except sqlite3.OperationalError as e:
                # the embedded database declares its own collation; the
                # tables are read without it
                raise SystemExit("cannot read %s: %s" % (path, e))
        self.offices = rows("select * from 设置管理处")
        self.fees = rows("select * from SETUPSFXM")
        self.methods = [r["收款方式"] for r in rows("select 收款方式 from 收款方式列表")]
        self.buildings = {r["L_ID"]: r for r in rows("select * from 楼表")}
        self.rooms = {r["S_ID"]: r for r in rows("select * from 室表")}
        self.owners = rows("select * from 业主表")
        self.registrations = {r["登记ID"]: r for r in rows("select * from 车位申请登记表")}
        self.spaces = {r["ID"]: r for r in rows("select * from 车位说明表")}
        self.ledger = rows("select * from WYZJ")
        self.receipts = rows("select * from 票据 order by ID")
        lines = rows("select * from 票据开票数据 order by ID")
        self.lines = {}
        for line in lines:
            self.lines.setdefault(line["票据id"], []).append(line)
        self.fee_name = {norm(f["DH"]): f["XM"] for f in self.fees}
        con.close()

    def with_receipts_of(self, path):
        """This data with the 票据 table read anew from path (a copy of the
        same database in which only that table was changed)."""
        other = copy.copy(self)
        con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
        con.row_factory = sqlite3.Row
        other.receipts = [dict(r) for r in con.execute("select * from 票据 order by ID")]
        con.close()
        return other

    def daily_offices(self):
        return sorted([o for o in self.offices if o["商用物业"] in (0, 2)], key=lambda o: norm(o["GYD_DH"]))


def rows_of(data, office, start, end, methods, payee, scope, department, items):
    s8, e8 = start.replace("-", ""), end.replace("-", "")

    def in_range(v):
        d = day8(v)
        return d is not None and s8 <= d <= e8

    own = [o for o in data.offices if eq(o["GYD_DH"], office)]
    own_departments = [o["对应部门代号"] for o in own]
    swapped_out, swapped_in = [], []
    for h in data.receipts:
        for _ in [d for d in own_departments if eq(h["开票部门编号"], d)]:
            if h["内换日期"] is not None and h["内换票据编号"] is not None:
                swapped_out.append(concat(h["对应调换票据入库单"], h["内换票据编号"]))
            if h["被换票票据编号"] is not None:
                swapped_in.append(concat(h["入库单编号"], h["票据编号"]))

    out = []  # (sort key, cells without the serial number)

    def invoice_row(h, line, number):
        cells = [h["入库单编号"] or "", number, h["付款人"] or "", h["地址"] or "", line["项目"] or "",
                 compact(line["摘要"]), money_unless_null(amount(line["金额"])), money_unless_null(amount(line["税额"]))]
        cells.append(money(val(cells[6]) - val(cells[7])))
        cells += [date_text(h["开票日期"]), h["开票人"] or "", date_text(h["收款日期"]), h["收款人"] or "",
                  h["收款方式"] or "", h["备注"] or "", general_date_text(h["内换日期"]), h["内换票据编号"] or ""]
        if h["内换日期"] is not None and h["内换票据编号"] is None:
            # Replacements record the invoice's own number, without the
            # "(预开收款)" a pre-issued invoice shows.
            for other in data.receipts:
                if eq(other["被换票票据编号"], h["票据编号"]):
                    cells[16] += (other["票据编号"] or "") + " "
        return cells

    for h in data.receipts:
        for o in data.offices:
            if not eq(h["开票部门编号"], o["对应部门代号"]):
                continue
            if scope == 0 and not eq(o["GYD_DH"], office):
                continue
            if scope == 1 and not (eq(o["对应部门代号"], department) and h["管理处"] is None):
                continue
            if scope == 2 and not (eq(o["GYD_DH"], office) and eq(h["管理处"], office)):
                continue
            if not in_range(h["收款日期"]) or h["退票日期"] is not None or h["作废日期"] is not None:
                continue
            if not in_list(h["收款方式"], methods) or (payee is not None and not eq(h["收款人"], payee)):
                continue
            key = concat(h["入库单编号"], h["票据编号"])
            issued = day8(h["开票日期"])
            if issued is None:
                continue
            if s8 <= issued <= e8:
                if not (not_in(key, swapped_out) and not_in(key, swapped_in)):
                    continue
                number = h["票据编号"]
            else:
                if not not_in(key, swapped_in):
                    continue
                number = concat(h["票据编号"], PRE_ISSUED)
            for line in data.lines.get(h["ID"], []):
                if not in_list(line["收费项目代号"], items) or line["非日常"] != 0:
                    continue
                out.append(((moment(h["收款日期"]), norm(h["入库单编号"] or ""), norm(number or "")),
                            invoice_row(h, line, number or "")))

    def ledger_ok(w):
        return (in_range(w["ZJ_SKRQ"]) and in_list(w["ZJ_LX"], items) and in_list(w["收款方式"], methods)
                and blank(w["票据入库单编号"]) and blank(w["发票号码"])
                and (payee is None or eq(w["收款人"], payee)) and norm(w["ZJ_LX"]) in data.fee_name)

    groups = {}

    def add(kind, key, payer, address, w):
        g = groups.setdefault((kind,) + key, {"payer": payer, "address": address, "item": data.fee_name[norm(w["ZJ_LX"])],
                                              "day": w["ZJ_SKRQ"], "payee": w["收款人"], "method": w["收款方式"],
                                              "periods": [], "amount": Decimal(0), "tax": Decimal(0)})
        g["periods"].append(w["ZJ_CNY"])
        g["amount"] += amount(w["ZJ_JE"])
        g["tax"] += amount(w["ZJ_JE"]) - amount(w["收入"])

    if scope != 1:
        owners = {}
        for z in data.owners:
            owners.setdefault(z["ZH_ID"], []).append(z)
        for w in data.ledger:
            if not ledger_ok(w):
                continue
            if w["ZH_ID"] is not None:
                for z in owners.get(w["ZH_ID"], []):
                    r = data.rooms.get(z["S_ID"])
                    b = data.buildings.get(r["L_ID"]) if r else None
                    if b is None or not eq(b["管理处"], office):
                        continue
                    addr = "".join(b[c] or "" for c in ("地址1", "字1", "地址2", "字2", "地址3", "字3", "地址4", "字4"))
                    shown = None if r["室"] is None else addr + r["室"] + "室"
                    add("H", (norm(addr), norm(r["室"]), norm(z["姓名"]), norm(data.fee_name[norm(w["ZJ_LX"])]),
                              w["ZJ_SKRQ"], norm(w["收款人"]), norm(w["收款方式"])), z["姓名"], shown, w)
            else:
                g = data.registrations.get(w["DJ_ID"])
                if g is not None and eq(g["管理处"], office):
                    add("R", (norm(g["车主姓名"]), norm(g["地址"]), norm(data.fee_name[norm(w["ZJ_LX"])]), w["ZJ_SKRQ"],
                              norm(w["收款人"]), norm(w["收款方式"])), g["车主姓名"], g["地址"], w)
                c = data.spaces.get(w["CW_ID"])
                if c is not None and eq(c["管理处"], office):
                    add("S", (norm(c["产权人"]), norm(data.fee_name[norm(w["ZJ_LX"])]), w["ZJ_SKRQ"], norm(w["收款人"]),
                              norm(w["收款方式"])), c["产权人"], "", w)
    for g in groups.values():
        periods = [p for p in g["periods"] if p is not None]
        summary = (min(periods) + "-" + max(periods)) if len(periods) == len(g["periods"]) and periods else ""
        cells = ["", NO_INVOICE, g["payer"] or "", g["address"] or "", g["item"] or "", compact(summary),
                 money(g["amount"]), money(g["tax"])]
        cells.append(money(val(cells[6]) - val(cells[7])))
        cells += ["", "", date_text(g["day"]), g["payee"] or "", g["method"] or "", "", "", ""]
        out.append(((moment(g["day"]), "", norm(NO_INVOICE)), cells))

    out.sort(key=lambda t: t[0])
    return out


def expected_grid(rows):
    """Tie groups of rows (cells without the serial) and the totals row."""
    groups = [[cells for _, cells in grp] for _, grp in itertools.groupby(rows, key=lambda t: t[0])]
    if not rows:
        return groups, None
    totals = [Decimal(0)] * 3
    for _, cells in rows:
        for k in range(3):
            totals[k] += val(cells[6 + k])
    total_row = ["", "合计", "", "", "", "", "", money(totals[0]), money(totals[1]), money(totals[2])] + [""] * 8
    return groups, total_row


HEADINGS = ["序   ", "票据簿编号  ", "票据号码     ", "付款人        ", "付款人地址        ", "收费项目        ",
            "摘要             ", "金额              ", "税额         ", "收入              ", "开票日期      ",
            "开票人      ", "收款日期        ", "收款人      ", "收款方式      ", "备注          ", "换票日期      ",
            "换票号码 "]


def run_cli(cli, db, office, start, end, method, payee, scope, department, fees, conn=None):
    conn = conn or embedded(db)
    cmd = [cli, "daily", "--connect", conn, "--office", office, "--from", start,
           "--to", end, "--method", method, "--payee", payee, "--scope", str(scope), "--fees", fees, "--csv", "-"]
    if department:
        cmd += ["--department", department]
    raw = run_tool(cmd)
    if raw.startswith(b"\xef\xbb\xbf") or b"\r\n" in raw:
        raise SystemExit("the CSV has a BOM or CRLF line ends")
    return read_csv(raw.decode("utf-8"))


def compare(tag, rows, theirs, diffs):
    groups, total_row = expected_grid(rows)
    if not theirs or theirs[0] != HEADINGS:
        diffs.append("%s: heading row %r" % (tag, theirs[:1]))
        return 0
    body = theirs[1:]
    if total_row is not None:
        if not body or body[-1] != total_row:
            diffs.append("%s: totals mine=%r cli=%r" % (tag, total_row, body[-1] if body else None))
        body = body[:-1]
    count = sum(len(g) for g in groups)
    if len(body) != count:
        diffs.append("%s: rows mine=%d cli=%d" % (tag, count, len(body)))
        return 0
    at = 0
    for g in groups:
        mine = sorted(g)
        cli = [r[1:] for r in body[at:at + len(g)]]
        for k, r in enumerate(body[at:at + len(g)]):
            if r[0] != str(at + k + 1):
                diffs.append("%s: serial %r at row %d" % (tag, r[0], at + k + 1))
        if sorted(cli) != mine:
            for a, b in itertools.zip_longest(mine, sorted(cli)):
                if a != b:
                    diffs.append("%s row %d..: mine=%r cli=%r" % (tag, at + 1, a, b))
                    break
        at += len(g)
    return count


def month_range(year, month):
    return ("%04d-%02d-01" % (year, month), "%04d-%02d-%02d" % (year, month, calendar.monthrange(year, month)[1]))


def null_placements(cli, work, shared):
    """Every invoice that no exchange replaced is listed whatever part of an
    exchange record is NULL, and the list equals the computation from the raw
    tables, on both roads."""
    db = np.demo(cli, work)
    base = Data(db)
    office = base.daily_offices()[0]
    code, department = office["GYD_DH"], office["对应部门代号"]
    start, end = "2025-09-01", "2025-10-31"
    items = [f["DH"] for f in base.fees]

    def invoice_lines(rows):
        return sum(1 for _, cells in rows if cells[1] != NO_INVOICE)

    baseline = invoice_lines(rows_of(base, code, start, end, base.methods, None, 0, department, items))
    updates = np.choose(db, department, start, end, non_routine=False)
    diffs, results = [], []
    for name, _ in np.PLACEMENTS:
        path = np.placed_copy(db, work, name, updates[name])
        data = base.with_receipts_of(path)
        rows = rows_of(data, code, start, end, data.methods, None, 0, department, items)
        # A replacement whose own key is NULL matches no exchange record and
        # is listed beside the invoice it replaced; nothing else moves.
        expected = baseline
        if name.startswith("replacement"):
            changed = np.changed_id(updates[name])
            expected += sum(1 for line in data.lines.get(changed, []) if line["非日常"] == 0)
        if invoice_lines(rows) != expected:
            diffs.append("%s: the computation lists %d invoice lines, %d expected" % (
                name, invoice_lines(rows), expected))
        cells = {}
        with np.roads(shared, path, cells) as roads:
            for road, conn in roads:
                theirs = run_cli(cli, path, code, start, end, "all", "all", 0, None, "all", conn=conn)
                before = len(diffs)
                compare("%s %s" % (name, road), rows, theirs, diffs)
                listed = sum(1 for r in theirs[1:] if len(r) > 2 and r[2] != NO_INVOICE and r[1] != "合计")
                cells[road] = "%d invoice lines of %d, amount %s, %s" % (
                    listed, expected, theirs[-1][7] if len(theirs) > 1 else "-",
                    "agrees" if len(diffs) == before else "DIFFERS")
        results.append((name, cells))
    return np.finish("office %s, %s..%s, every fee item and method; %d invoice lines without any NULL" % (
        code, start, end, baseline), results, diffs)


def main():
    given = command_line(__doc__, 2)
    if given is None:
        return 2
    (cli, work), quick = given
    if "--nulls" in sys.argv:
        return null_placements(cli, work, sys.argv[sys.argv.index("--nulls") + 1])
    dbs = SEEDED_DATABASES + [("s7big", ["--seed", "7", "--offices", "12", "--rooms", "80"])]
    ranges = [month_range(2026, 8), ("2026-08-01", "2026-09-30"), ("2026-03-15", "2026-03-15"),
              ("2025-12-20", "2026-01-10"), month_range(2024, 2), ("2023-01-01", "2023-12-31")]
    if quick:
        dbs, ranges = dbs[:1], ranges[:3]
    runs = compared_rows = 0
    kinds = {"exchange marks": 0, "pre-issued": 0, "ledger": 0, "recorded exchanges": 0}
    diffs = []
    for name, args in dbs:
        db = demo_database(cli, os.path.join(work, name + ".db"), ["--plain-collation"] + args)
        data = Data(db)
        offices = data.daily_offices()
        if quick:
            offices = offices[:2]
        elif len(offices) > 6:
            offices = offices[:4] + offices[-2:]
        codes = [f["DH"] for f in data.fees]
        subset = [c for c in ("01", "11") if c in codes]
        for office, (start, end) in itertools.product(offices, ranges):
            code, department = office["GYD_DH"], office["对应部门代号"]
            payees = sorted({h["收款人"] for h in data.receipts
                             if h["收款人"] and start.replace("-", "") <= day8(h["收款日期"]) <= end.replace("-", "")
                             and eq(h["开票部门编号"], department)})
            plans = [(s, "all", "all", "all") for s in (0, 1, 2)]
            if payees:
                plans.append((0, "all", payees[0], "all"))
            if not quick:
                plans.append((0, data.methods[0] if data.methods else "all", "all", ",".join(subset)))
                if payees:
                    plans.append((2, "all", payees[-1], "all"))
            for scope, method, payee, fees in plans:
                methods = data.methods if method == "all" else [method]
                items = codes if fees == "all" else fees.split(",")
                rows = rows_of(data, code, start, end, methods, None if payee == "all" else payee, scope,
                               department, items)
                theirs = run_cli(cli, db, code, start, end, method, payee, scope,
                                 department if scope == 1 else None, fees)
                tag = "%s office=%s %s..%s scope=%d method=%s payee=%s fees=%s" % (
                    name, code, start, end, scope, method, payee, fees)
                compared_rows += compare(tag, rows, theirs, diffs)
                runs += 1
                for _, cells in rows:
                    kinds["exchange marks"] += cells[16].endswith(" ")
                    kinds["recorded exchanges"] += bool(cells[16]) and not cells[16].endswith(" ")
                    kinds["pre-issued"] += cells[1].endswith(PRE_ISSUED)
                    kinds["ledger"] += cells[1] == NO_INVOICE
    for d in diffs[:50]:
        print(d)
    print("runs=%d rows=%d %s discrepancies=%d" % (
        runs, compared_rows, " ".join("%s=%d" % kv for kv in kinds.items()), len(diffs)))
    return 1 if diffs else 0


if __name__ == "__main__":
    sys.exit(main())
