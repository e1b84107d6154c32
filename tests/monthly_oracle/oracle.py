#!/usr/bin/env python3
"""Independent oracle for the monthly collection-rate summary.

Recomputes the summary grid of `fee-reports-cli monthly` straight from the raw
tables of a demo SQLite database (Python semantics, exact Decimal sums) and
compares it cell by cell with the CLI's CSV.

Usage: oracle.py CLI_PATH WORK_DIR [--quick]
Exit code 0 when every compared cell agrees, 1 otherwise.
CTest runs the quick set; the full set is run by hand.
"""
import itertools
import os
import sqlite3
import sys
from decimal import getcontext

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from sqlrules import amount, between, day8, eq, ge, gt, le, lt, norm, open_collation  # noqa: E402
from oracletools import (SEEDED_DATABASES, ZERO, command_line, demo_database, embedded, money,  # noqa: E402
                         money_unless_zero, read_csv, run_tool, val)

getcontext().prec = 50


# ---------------------------------------------------------------- texts
def rate(num, den):
    return money(num / den * 100) + "%"


# ---------------------------------------------------------------- data
class Data:
    def __init__(self, path):
        con = sqlite3.connect(path)
        # The file declares the server's collation; it must be there for the
        # file to open. All comparisons below are done in Python.
        open_collation(con)
        con.row_factory = sqlite3.Row
        rows = lambda sql: con.execute(sql).fetchall()
        self.offices = rows("select * from 设置管理处")
        self.depts = rows("select * from 职能部门new")
        self.fees = rows("select * from SETUPSFXM")
        buildings = {r["L_ID"]: r for r in rows("select * from 楼表")}
        rooms = rows("select * from 室表")
        owners = rows("select * from 业主表")
        regs = rows("select * from 车位申请登记表")
        garages = rows("select * from 车库名")
        # household path: ZH_ID -> list of (office key, vacant flag), one per
        # joined (building, room, owner) combination with 说明 '新进户'
        rooms_by_sid = {}
        for r in rooms:
            rooms_by_sid.setdefault(r["S_ID"], []).append(r)
        hh = {}
        for o in owners:
            if not eq(o["说明"], "新进户"):
                continue
            for r in rooms_by_sid.get(o["S_ID"], []):
                for b in [buildings[k] for k in buildings if k == r["L_ID"]]:
                    hh.setdefault(o["ZH_ID"], []).append(
                        (norm(b["管理处"]), eq(o["姓名"], "开发商")))
        # parking path: DJ_ID -> list of (office key of 车库名, vacant flag)
        pk = {}
        for g in regs:
            for cg in garages:
                if eq(cg["管理处"], g["管理处"]) and eq(cg["车库编号"], g["车库编号"]):
                    pk.setdefault(g["登记ID"], []).append(
                        (norm(cg["管理处"]), eq(g["车主姓名"], "开发商")))
        self.ledger = []
        for w in rows("select ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ, zj_tkrq,"
                      " zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ from WYZJ"):
            je = amount(w["ZJ_JE"])
            if je is None:
                continue  # SUM ignores NULL amounts
            paths = []
            if w["DJ_ID"] is None and w["ZH_ID"] is not None:
                paths += hh.get(w["ZH_ID"], [])
            if w["DJ_ID"] is not None:
                paths += pk.get(w["DJ_ID"], [])
            if not paths:
                continue
            self.ledger.append(dict(
                lx=norm(w["ZJ_LX"]), cny=norm(w["ZJ_CNY"]),
                je=je, sk=day8(w["ZJ_SKRQ"]), tk=day8(w["zj_tkrq"]), bd=day8(w["zj_bdrq"]),
                jz=day8(w["zj_jzrq"]), tz=day8(w["zj_tzrq"]),
                waiver=eq(w["ZJ_BZ"], "减免"), paths=paths))
        con.close()

    def office_list(self, kind):
        flag = 0 if kind == "residential" else 1
        active = {norm(d["职能部门编号"]) for d in self.depts if d["终止日期"] is None}
        out = []
        for o in self.offices:
            if o["终止日期"] is None and o["商用物业"] == flag and norm(o["对应部门代号"]) in active:
                n = sum(1 for d in self.depts if d["终止日期"] is None
                        and eq(d["职能部门编号"], o["对应部门代号"]))
                for _ in range(n):
                    out.append(o)
        out.sort(key=lambda o: (len(str(o["GYD_DH"]).rstrip(" ")), norm(o["GYD_DH"])))
        entries = []
        for o in out:
            entry = "%s %s" % (o["GYD_DH"], (o["GYD_Name"] or "").replace("\r\n", ""))
            code, _, name = entry.partition(" ")
            entries.append((code, name))
        return entries


# ---------------------------------------------------------------- measures
def measures(data, date, fee_codes):
    """Returns {office key: {measure name: Decimal}}."""
    Y = date[0:4]
    y = int(Y)
    ymd = date[0:4] + date[5:7] + date[8:10]
    ym = ymd[:6]
    fees = {norm(f) for f in fee_codes}
    Y01 = Y + "01"
    ym2, ym1 = "%d01" % (y - 2), "%d01" % (y - 1)

    def jz_tz(w):
        jz, tz = w["jz"], w["tz"]
        return ((jz is None and tz is None)
                or (jz is not None and gt(tz, ymd))
                or (jz is not None and le(tz, ymd) and gt(jz and jz[:6], w["cny"])))

    def not_refunded(w):
        return w["tk"] is None or gt(w["tk"], ymd)

    def open_at_year_start(w):
        return ((w["sk"] is None or ge(w["sk"][:4], Y))
                and (w["bd"] is None or le(w["bd"], ymd)) and jz_tz(w))

    def collected_this_month(w):
        return between(w["sk"], ym + "01", ymd) and w["tk"] is None

    # w["cny"] is in key form (norm()): a period compares to it with ==.
    cny_lt = lambda w, b: lt(w["cny"], b)
    cny_ge = lambda w, b: ge(w["cny"], b)
    left4 = lambda w: None if w["cny"] is None else w["cny"][:4]
    in_year_to_month = lambda w: between(w["cny"], Y01, ym)

    ranges = [
        lambda w: cny_lt(w, ym2),
        lambda w: cny_lt(w, ym1) and cny_ge(w, ym2),
        lambda w: cny_lt(w, Y01) and cny_ge(w, ym1),
    ]
    defs = []  # (measure name, predicate, vacancy only)
    for i, r in enumerate(ranges):
        defs.append(("c2", lambda w, r=r: r(w) and open_at_year_start(w), False))
    for i, r in enumerate(ranges):
        defs.append(("c3", lambda w, r=r: r(w) and collected_this_month(w), False))
    defs.append(("c4", lambda w: cny_lt(w, Y01) and lt(w["bd"] and w["bd"][:6], Y01)
                 and w["waiver"], False))
    defs.append(("c8", lambda w: left4(w) == Y and (w["sk"] is None or le(w["sk"], ymd))
                 and jz_tz(w) and not_refunded(w), False))
    for m in range(1, 13):
        p = "%s%02d" % (Y, m)
        defs.append(("c%d" % (8 + m), lambda w, p=p: w["cny"] == p and le(w["sk"], ymd)
                     and not_refunded(w), False))
    defs.append(("c22", lambda w: in_year_to_month(w) and between(w["bd"], Y + "0101", ymd)
                 and w["waiver"], False))
    defs.append(("c23", lambda w: in_year_to_month(w) and w["sk"] is None, True))
    defs.append(("c27", lambda w: left4(w) == str(y + 1) and le(w["sk"], ymd) and not_refunded(w), False))
    defs.append(("c28", lambda w: left4(w) == str(y + 2) and le(w["sk"], ymd) and not_refunded(w), False))
    defs.append(("c29", lambda w: ge(left4(w), str(y + 3)) and le(w["sk"], ymd) and not_refunded(w), False))
    defs.append(("c33", lambda w: in_year_to_month(w) and (w["sk"] is None or le(w["sk"], ymd))
                 and jz_tz(w) and not_refunded(w), False))
    defs.append(("c34", lambda w: in_year_to_month(w) and le(w["sk"], ymd) and not_refunded(w), False))

    res = {}
    for w in data.ledger:
        if w["lx"] not in fees:
            continue
        for name, pred, vac_only in defs:
            if not pred(w):
                continue
            for office, vacant in w["paths"]:
                if vac_only and not vacant:
                    continue
                d = res.setdefault(office, {})
                d[name] = d.get(name, ZERO) + w["je"]
    return res


def headings(Y):
    y = int(Y)
    r0 = ["序", "项目名称"] + ["往年欠费"] * 6 + [Y + "年物业费"] * 19 + ["预收后续年度"] * 4 \
        + ["收款金额合计"] + ["本年累计欠费"] * 5 + ["往年欠费\n+本年累计欠费", ""]
    r1 = ["序", "项目名称", "往年欠费应收", "收往年欠费", "往年欠费减免", "未收欠费",
          "清欠率\n(含减免)", "清欠率\n(不含减免)", "当年应收合计"] \
        + ["%02d月已收" % m for m in range(1, 13)] \
        + ["当年已收小计", "当年减免", "当年空置", "当年未收", "当年收缴率\n(含减免及空置)",
           "当年收缴率\n(不含减免及空置)", "预收%d年" % (y + 1), "预收%d年" % (y + 2),
           "预收%d年\n及以后" % (y + 3), "预收小计", "收款金额合计", "累计\n月数",
           "1-本月应收数", "1-本月实收数", "1-本月欠费数", "累计收缴率",
           "往年欠费\n+本年累计欠费", ""]
    return [r0, r1]


def grid(data, date, kind, fee_codes, office_codes=None):
    meas = measures(data, date, fee_codes)
    offices = data.office_list(kind)
    if office_codes is not None:
        wanted = {norm(c) for c in office_codes}
        offices = [o for o in offices if norm(o[0]) in wanted]
    rows = headings(date[0:4])
    office_rows = []
    for idx, (code, name) in enumerate(offices, 1):
        m = meas.get(norm(code), {})
        g = lambda k: m.get(k, ZERO)
        r = [""] * 39
        r[0], r[1] = str(idx), name
        a2 = g("c2"); a3 = g("c3"); a4 = g("c4")
        for c in (2, 3, 4, 8) + tuple(range(9, 21)) + (22, 23, 27, 28, 29, 33, 34):
            r[c] = money_unless_zero(g("c%d" % c))
        r[5] = money(a2 - a3 - a4)
        if a2 != 0:
            r[6] = rate(a4 + a3, a2)
        if a2 != 0 and a2 - a4 != 0:
            r[7] = rate(a3, a2 - a4)
        r[21] = money(sum((g("c%d" % c) for c in range(9, 21)), ZERO))
        S = val(r[21])
        a8, a22, a23 = g("c8"), g("c22"), g("c23")
        r[24] = money(a8 - S - a22 - a23)
        if a8 != 0:
            r[25] = rate(S + a22 + a23, a8)
        if a8 - a22 - a23 != 0:
            r[26] = rate(S, a8 - a22 - a23)
        r[30] = money(g("c27") + g("c28") + g("c29"))
        P = val(r[30])
        r[31] = money(P + (a3 + S))
        r[32] = str(int(date[5:7]))
        a33, a34 = g("c33"), g("c34")
        r[35] = money(a33 - a34)
        if a33 != 0:
            r[36] = rate(a34, a33)
        r[37] = money(val(r[5]) + val(r[35]))
        r[38] = code
        office_rows.append(r)
    rows += office_rows
    if office_rows:
        summed = [2, 3, 4, 5] + list(range(8, 25)) + list(range(27, 32)) + [33, 34, 35, 37]
        t = {c: sum((val(r[c]) for r in office_rows), ZERO) for c in summed}
        r = [""] * 39
        r[1] = "合计"
        for c in summed:
            r[c] = money(t[c])
        if t[2] != 0:
            r[6] = rate(t[4] + t[3], t[2])
        if t[2] - t[4] != 0:
            r[7] = rate(t[3], t[2] - t[4])
        if t[8] != 0:
            r[25] = rate(t[21] + t[22] + t[23], t[8])
        if t[8] - t[22] - t[23] != 0:
            r[26] = rate(t[21], t[8] - t[22] - t[23])
        if t[33] != 0:
            r[36] = rate(t[34], t[33])
        rows.append(r)
    return rows


# ---------------------------------------------------------------- edge data
def make_edge_db(src, dst):
    """Copy a demo database and add rows that hit rarely seen rules: prepaid
    years 2 and 3+, refunds on / after the date, the zj_jzrq/zj_tzrq pair,
    server-style text equality (trailing blanks), NULL amounts, half-cent
    rounding, a "-0.00" candidate, a duplicated garage row, and a ledger row
    carrying both ZH_ID and DJ_ID."""
    import shutil
    shutil.copyfile(src, dst)
    con = sqlite3.connect(dst)
    open_collation(con)
    # no index keeps an order that depends on the collation used here
    for (name,) in con.execute("select name from sqlite_master where type='index'"
                               " and sql is not null").fetchall():
        con.execute('drop index "%s"' % name)
    con.execute("delete from sqlite_stat1")

    def owner(office):
        return con.execute(
            "select o.ZH_ID from 楼表 l join 室表 s on s.L_ID=l.L_ID join 业主表 o on o.S_ID=s.S_ID"
            " where l.管理处=? and o.说明='新进户' and o.姓名<>'开发商' order by o.ZH_ID limit 1",
            (office,)).fetchone()[0]
    h1, h2, h3, h10 = owner("01"), owner("02"), owner("03"), owner("10")
    h3last = con.execute(
        "select o.ZH_ID from 楼表 l join 室表 s on s.L_ID=l.L_ID join 业主表 o on o.S_ID=s.S_ID"
        " where l.管理处='03' and o.说明='新进户' order by o.ZH_ID desc limit 1").fetchone()[0]
    h4 = owner("04")
    reg05 = con.execute("select 登记ID from 车位申请登记表 where 管理处='05' order by 1 limit 1").fetchone()[0]
    rows = [
        # ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ
        (h1, None, "01", "202812", 100.10, "2026-11-01", None, None, None, None, None),
        (h1, None, "01", "203001", 55.55, "2026-12-10 23:59:59", None, None, None, None, None),
        (h1, None, "01", "202901", 7.77, "2026-01-05", "2026-12-10", None, None, None, None),
        (h1, None, "01", "202901", 8.88, "2026-01-05", "2026-12-11", None, None, None, None),
        (h1, None, "01", "202603", 33.33, None, None, None, "2026-05-01", None, None),
        (h1, None, "01", "202604", 44.44, None, None, None, "2026-05-31", "2026-06-01", None),
        (h1, None, "01", "202604", 45.45, None, None, None, "2026-04-15", "2026-06-01", None),
        (h1, None, "01", "202502", 46.46, None, None, None, None, "2026-06-01", None),
        (h2, None, "01", "202602", 12.34, None, None, "2026-02-10", None, None, "减免 "),
        (h3, None, "9 ", "202605", 9.99, "2026-05-06", None, None, None, None, None),
        (h3, None, "01", "202605", None, "2026-05-06", None, None, None, None, None),
        (h2, None, "01", "202901", 1.005, "2026-02-02", None, None, None, None, None),
        (h3, None, "01", "202801", 0.125, "2026-02-02", None, None, None, None, None),
        (h10, None, "01", "202401", 0.001, None, None, "2025-06-01", None, None, "减免"),
        (h10, None, "01", "202403", 0.003, "2026-12-02", None, None, None, None, None),
        (h10, None, "01", "202301", 0.004, "2025-01-01", None, "2025-01-01", None, None, "减免"),
        (h1, reg05, "11", "202606", 66.66, "2026-06-15", None, None, None, None, None),
        # arrears collected in June 2026 (column 3 at 2026-06-30)
        (h3last, None, "01", "202505", 21.21, "2026-06-10", None, None, None, None, None),
        (h4, None, "9 ", "202505", 22.22, "2026-06-12", None, None, None, None, None),
        (None, reg05, "11", "202505", 23.23, "2026-06-11", None, None, None, None, None),
    ]
    con.executemany("insert into WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ, zj_tkrq,"
                    " zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ) values (?,?,?,?,?,?,?,?,?,?,?)", rows)
    # an owner of office 03 whose remark carries a trailing blank
    con.execute("update 业主表 set 说明='新进户 ' where ZH_ID=(select o.ZH_ID from 楼表 l join 室表 s"
                " on s.L_ID=l.L_ID join 业主表 o on o.S_ID=s.S_ID where l.管理处='03'"
                " and o.说明='新进户' order by o.ZH_ID desc limit 1)")
    # a building of office 02 whose office code carries a trailing blank
    con.execute("update 楼表 set 管理处='02 ' where L_ID=(select max(L_ID) from 楼表 where 管理处='02')")
    # the garage row of office 05 stored with a trailing blank in its office code
    con.execute("update 车库名 set 管理处='05 ' where 管理处='05'")
    # the garage of office 09 listed twice: its parking rows join twice
    con.execute("insert into 车库名 (管理处, 车库编号) select 管理处, 车库编号 from 车库名"
                " where 管理处='09' limit 1")
    con.commit()
    con.close()


# ---------------------------------------------------------------- driver
def run_cli(cli, db, date, kind, fees, offices):
    cmd = [cli, "monthly", "--connect", embedded(db),
           "--date", date, "--kind", kind, "--offices", offices, "--fees", fees, "--csv", "-"]
    return read_csv(run_tool(cmd).decode("utf-8-sig"))


def main():
    given = command_line(__doc__, 2)
    if given is None:
        return 2
    (cli, work), quick = given
    dbs = SEEDED_DATABASES + [("s7big", ["--seed", "7", "--offices", "12", "--rooms", "80"])]
    dates = ["2026-12-10", "2026-06-30", "2025-03-01", "2024-12-31", "2023-01-15"]
    if quick:
        dbs, dates = dbs[:1], dates[:2]
    kinds = ["residential", "commercial"]
    value_cells = head_cells = runs = 0
    diffs = []
    plans = [(name, args, dates) for name, args in dbs]
    plans.append(("edge", None, ["2026-12-10", "2026-06-30", "2026-03-01", "2025-03-01"]))
    for name, args, dates in plans:
        db = os.path.join(work, name + ".db")
        if args is None:
            if os.path.exists(db):
                os.remove(db)
            make_edge_db(os.path.join(work, plans[0][0] + ".db"), db)
        else:
            demo_database(cli, db, args)
        data = Data(db)
        all_fees = [f["DH"] for f in data.fees]
        subset = [c for c in ("01", "9", "11") if c in all_fees]
        for date, kind, fees in itertools.product(dates, kinds, ["all", ",".join(subset)]):
            codes = all_fees if fees == "all" else fees.split(",")
            off_sets = [("all", None)]
            lst = [c for c, _ in data.office_list(kind)]
            if kind == "residential" and len(lst) >= 3 and fees == "all":
                sub = [lst[-1], lst[0]]
                off_sets.append((",".join(sub), sub))
            for off_arg, off_codes in off_sets:
                mine = grid(data, date, kind, codes, off_codes)
                theirs = run_cli(cli, db, date, kind, fees, off_arg)
                runs += 1
                tag = "%s %s %s fees=%s offices=%s" % (name, date, kind, fees, off_arg)
                if len(mine) != len(theirs):
                    diffs.append("%s: row count mine=%d cli=%d" % (tag, len(mine), len(theirs)))
                reordered = False
                mine_codes = [r[38] for r in mine[2:] if r[1] != "合计"]
                cli_codes = [r[38] for r in theirs[2:] if len(r) > 38 and r[1] != "合计"]
                if mine_codes != cli_codes and sorted(mine_codes) == sorted(cli_codes):
                    # Same offices, other order: report once, then compare the
                    # rows matched by office code (serial numbers not compared).
                    diffs.append("%s: office row order mine=%s cli=%s" % (tag, mine_codes, cli_codes))
                    by_code = {r[38]: r for r in theirs[2:2 + len(cli_codes)]}
                    theirs = theirs[:2] + [by_code[c] for c in mine_codes] + theirs[2 + len(cli_codes):]
                    reordered = True
                for ri, (a, b) in enumerate(zip(mine, theirs)):
                    if len(a) != len(b):
                        diffs.append("%s row %d: width mine=%d cli=%d" % (tag, ri, len(a), len(b)))
                        continue
                    office = a[38] if ri >= 2 else ("heading" if ri < 2 else "")
                    if ri >= 2 and a[1] == "合计":
                        office = "合计"
                    for ci, (x, z) in enumerate(zip(a, b)):
                        if ri < 2:
                            head_cells += 1
                        else:
                            value_cells += 1
                        if reordered and ci == 0 and ri >= 2 and a[1] != "合计":
                            continue
                        if x != z:
                            diffs.append("%s office=%s col=%d mine=%r cli=%r"
                                         % (tag, office, ci, x, z))
    for d in diffs:
        print(d)
    print("runs=%d value cells=%d heading cells=%d discrepancies=%d"
          % (runs, value_cells, head_cells, len(diffs)))
    return 1 if diffs else 0


if __name__ == "__main__":
    sys.exit(main())
