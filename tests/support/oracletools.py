"""What the oracles of tests/ share around their own computation: the texts a
grid shows, the demo databases they compute on, and the command line's CSV
they compare with (the rules of the database itself are in sqlrules.py)."""
import csv
import io
import os
import subprocess
import sys
from decimal import Decimal, ROUND_HALF_UP

ZERO = Decimal(0)
CENT = Decimal("0.01")


# ---------------------------------------------------------------- cell texts
def money(d):
    """'0.00' of a Decimal: half away from zero, never '-0.00'."""
    q = d.quantize(CENT, rounding=ROUND_HALF_UP)
    return "0.00" if q == 0 else "%s" % q


def money_unless_zero(d):
    """money(d), empty for NULL and for zero."""
    return "" if d is None or d == 0 else money(d)


def money_unless_null(d):
    """money(d), empty for NULL only (zero shows 0.00)."""
    return "" if d is None else money(d)


def val(text):
    """The leading number of a cell text; an empty text or none reads 0."""
    t = text.strip()
    out = ""
    for i, ch in enumerate(t):
        if ch.isdigit() or ch == "." or (i == 0 and ch in "+-"):
            out += ch
        else:
            break
    try:
        return Decimal(out) if out not in ("", "+", "-", ".") else ZERO
    except Exception:
        return ZERO


# ---------------------------------------------------------------- databases
def embedded(path):
    """The connection string of a SQLite file."""
    return "Provider=SQLite;Data Source=" + path


def demo_database(cli, path, args):
    """A new demo database at path, made by the command line with args."""
    if os.path.exists(path):
        os.remove(path)
    subprocess.run([cli, "demo-db", path] + list(args), check=True, stdout=subprocess.DEVNULL)
    return path


# The demo databases every oracle computes on (name, demo-db arguments); each
# adds a larger one of its own.
SEEDED_DATABASES = [("s1", ["--seed", "1"]), ("s2", ["--seed", "2"]), ("s7", ["--seed", "7"])]


# ---------------------------------------------------------------- the oracle's own command line
def command_line(doc, count):
    """The oracle's first count arguments (the work folder last, made when
    missing) and whether --quick was given; None, after printing doc, when
    they are not all there."""
    if len(sys.argv) < count + 1:
        print(doc)
        return None
    args = sys.argv[1:count + 1]
    os.makedirs(args[-1], exist_ok=True)
    return args, "--quick" in sys.argv


# ---------------------------------------------------------------- the tool
def run_tool(cmd):
    """Standard output of one run of the command line (which must succeed)."""
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True).stdout


def read_csv(text):
    """The records of a CSV text, a CR LF inside a cell read as LF."""
    return [[c.replace("\r\n", "\n") for c in row] for row in csv.reader(io.StringIO(text, newline=""))]
