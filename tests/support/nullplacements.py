"""NULL placements in the exchange records of a demo database, for the oracles.

An exchange exclusion is built by concatenating a book and a number; one NULL
part makes the whole key NULL, and SQL's "x Not In (list with a NULL)" is never
true. Each placement below puts one NULL into a copy of a demo database, so an
oracle can run the command line on the copy, on the embedded road and through
the SQL Server stand-in, and compare every figure with its own computation
from the raw tables.
"""
import contextlib
import os
import shutil
import sqlite3
import subprocess
import tempfile
import time

from oracletools import demo_database, embedded

# (name, what the NULL is put into)
PLACEMENTS = [
    ("exchange book NULL", "对应调换票据入库单 of an exchanged invoice"),
    ("exchange number NULL", "内换票据编号 of an exchanged invoice"),
    ("replacement book NULL", "入库单编号 of a replacement invoice"),
    ("replacement number NULL", "票据编号 of a replacement invoice"),
    ("own book NULL", "入库单编号 of an invoice outside any exchange"),
    ("own number NULL", "票据编号 of an invoice outside any exchange"),
]

USER = "sa"
PASSWORD = "Fee-Reports-42"


def _first(con, sql, args):
    row = con.execute(sql, args).fetchone()
    return None if row is None else row[0]


def choose(db, department, start, end, non_routine):
    """The invoices the placements change: an exchanged invoice of the
    department received in the range (with its book and replacement number
    recorded), its replacement, and an invoice of the range outside any
    exchange. Only invoices with lines of the wanted kind (非日常) count.
    Returns {placement name: UPDATE statement}."""
    con = sqlite3.connect("file:%s?mode=ro" % db, uri=True)
    lo, hi = start, end + " 23:59:59"
    kind = "Exists (Select 1 From 票据开票数据 l Where l.票据id = 票据.ID And l.非日常 = ?)"
    common = ("From 票据 Where 开票部门编号 = ? And 收款日期 Between ? And ? And 退票日期 Is Null "
              "And 作废日期 Is Null And " + kind)
    flag = 1 if non_routine else 0
    original = _first(con, "Select ID " + common + " And 内换日期 Is Not Null And 内换票据编号 Is Not Null "
                      "And 对应调换票据入库单 Is Not Null Order By ID", (department, lo, hi, flag))
    replacement = _first(con, "Select r.ID From 票据 r Join 票据 o On r.被换票票据编号 = o.票据编号 "
                         "Where o.ID = ? Order By r.ID", (original,))
    own = _first(con, "Select ID " + common + " And 内换日期 Is Null And 被换票票据编号 Is Null "
                 "And Substr(开票日期, 1, 10) Between ? And ? Order By ID", (department, lo, hi, flag, start, end))
    con.close()
    if original is None or replacement is None or own is None:
        raise SystemExit("the demo database has no exchange or no plain invoice of department %s in %s..%s"
                         % (department, start, end))
    return {
        "exchange book NULL": "Update 票据 Set 对应调换票据入库单 = Null Where ID = %d" % original,
        "exchange number NULL": "Update 票据 Set 内换票据编号 = Null Where ID = %d" % original,
        "replacement book NULL": "Update 票据 Set 入库单编号 = Null Where ID = %d" % replacement,
        "replacement number NULL": "Update 票据 Set 票据编号 = Null Where ID = %d" % replacement,
        "own book NULL": "Update 票据 Set 入库单编号 = Null Where ID = %d" % own,
        "own number NULL": "Update 票据 Set 票据编号 = Null Where ID = %d" % own,
    }


def demo(cli, work):
    """A new demo database (seed 1, plain collation so the stand-in can serve it)."""
    os.makedirs(work, exist_ok=True)
    return demo_database(cli, os.path.join(work, "nulls.db"), ["--plain-collation", "--seed", "1"])


def changed_id(update):
    """The ID of the invoice an update of choose() changes."""
    return int(update.rsplit(" ", 1)[1])


def placed_copy(db, work, name, update):
    """A copy of db with one update applied (it changes the 票据 table only)."""
    path = os.path.join(work, name.replace(" ", "-") + ".db")
    shutil.copyfile(db, path)
    con = sqlite3.connect(path)
    con.execute(update)
    con.commit()
    con.close()
    return path


def stand_in_missing(shared_dir):
    """Why the SQL Server road cannot be run here, or None."""
    if not os.path.exists(os.path.join(shared_dir, "tools", "tds-test-server", "tds_test_server.py")):
        return "the TDS test server is missing"
    if not os.path.exists("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"):
        return "the FreeTDS ODBC driver (tdsodbc) is missing"
    return None


class StandIn:
    """The SQL Server stand-in serving one SQLite file (plain collation)."""

    def __init__(self, shared_dir, db):
        self.folder = tempfile.mkdtemp(prefix="standin-")
        port_file = os.path.join(self.folder, "port")
        script = os.path.join(shared_dir, "tools", "tds-test-server", "tds_test_server.py")
        self.process = subprocess.Popen(
            ["/usr/bin/python3", script, "--db", db, "--port", "0", "--port-file", port_file, "--user", USER,
             "--password", PASSWORD, "--max-seconds", "600", "--log", os.path.join(self.folder, "server.log")],
            stdout=subprocess.DEVNULL)
        self.port = 0
        deadline = time.time() + 20
        while not self.port and time.time() < deadline and self.process.poll() is None:
            try:
                with open(port_file) as f:
                    self.port = int(f.read().strip() or 0)
            except (OSError, ValueError):
                pass
            if not self.port:
                time.sleep(0.05)
        if not self.port:
            self.close()
            raise SystemExit("the SQL Server stand-in did not start")

    def connection(self):
        return ("Provider=SQLOLEDB.1;Password=%s;Persist Security Info=False;User ID=%s;Initial Catalog='wy';"
                "Data Source='127.0.0.1,%d'" % (PASSWORD, USER, self.port))

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


@contextlib.contextmanager
def roads(shared_dir, db, cells):
    """[(road, connection string)] of db: the embedded road, and the stand-in
    serving db unless it cannot run here (then cells says why)."""
    missing = stand_in_missing(shared_dir)
    if missing:
        cells["SQL Server stand-in"] = "skipped: " + missing
        yield [("embedded", embedded(db))]
        return
    with StandIn(shared_dir, db) as server:
        yield [("embedded", embedded(db)), ("SQL Server stand-in", server.connection())]


def finish(title, results, diffs):
    """Prints the table and the differences; the exit code."""
    print(title)
    print_table(results)
    for d in diffs[:50]:
        print(d)
    print("placements=%d discrepancies=%d" % (len(results), len(diffs)))
    return 1 if diffs else 0


def print_table(results):
    """results: [(placement, {road: text})] as one table."""
    roads = ["embedded", "SQL Server stand-in"]
    rows = [["placement"] + roads] + [[name] + [cells.get(r, "") for r in roads] for name, cells in results]
    widths = [max(len(r[i]) for r in rows) for i in range(len(roads) + 1)]
    for k, r in enumerate(rows):
        print("| " + " | ".join(c.ljust(w) for c, w in zip(r, widths)) + " |")
        if k == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
