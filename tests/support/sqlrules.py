"""How the fee database's SQL treats values, for the oracles of tests/.

Every oracle recomputes a report from the raw tables in plain Python; the
predicates it applies to the rows are the ones below, so that all of them
compare texts the way the database does.

Texts: the database's collation (Chinese_PRC_CI_AS) ignores letter case and
trailing blanks. The embedded road's collation (db/sqlitefunctions.cpp) does
the same for ASCII letters and leaves every other character as it is; norm()
is its equality key. NULL (None) equals nothing: a predicate with a NULL side
is false, as a WHERE clause treats an unknown.
"""
import datetime
from decimal import Decimal

# A..Z to a..z and nothing else: the embedded collation folds only ASCII.
_ASCII_FOLD = {c: c + 32 for c in range(ord("A"), ord("Z") + 1)}


# ---------------------------------------------------------------- texts
def norm(s):
    """The collation's equality key of a text: trailing blanks dropped, ASCII
    letters folded; None stays None."""
    if s is None:
        return None
    return str(s).rstrip(" ").translate(_ASCII_FOLD)


def eq(a, b):
    """a = b under the collation."""
    return a is not None and b is not None and norm(a) == norm(b)


def in_list(x, values):
    """x In (values)."""
    return x is not None and any(eq(x, v) for v in values)


def not_in(key, keys):
    """(key Is Null Or key Not In (keys)), the NULL keys of the list left out:
    the statements' exclusion of exchanged invoices. A key with a NULL part is
    NULL and matches none; a list entry with a NULL part names no invoice."""
    return key is None or not any(eq(key, k) for k in keys if k is not None)


def blank(s):
    """(s Is Null Or s = '')."""
    return s is None or eq(s, "")


def concat(a, b):
    """a + b of two texts: NULL when either is NULL."""
    return None if a is None or b is None else str(a) + str(b)


def collate(a, b):
    """A SQLite collation function ordering by norm(), registered under the
    database's collation name so that the files open."""
    x, y = norm(a), norm(b)
    return (x > y) - (x < y)


def open_collation(con):
    con.create_collation("Chinese_PRC_CI_AS", collate)


# ---------------------------------------------------------------- order
# For texts in key form (periods, dates as day8() gives them); None is false.
def lt(a, b):
    return a is not None and b is not None and a < b


def le(a, b):
    return a is not None and b is not None and a <= b


def gt(a, b):
    return a is not None and b is not None and a > b


def ge(a, b):
    return a is not None and b is not None and a >= b


def between(x, lo, hi):
    return x is not None and lo <= x <= hi


# ---------------------------------------------------------------- dates
def day8(v):
    """convert(char(8), v, 112) of a stored date or date-time; None stays None."""
    if v is None:
        return None
    s = str(v)
    return s[0:4] + s[5:7] + s[8:10]


def moment(v):
    """A stored date or date-time as the datetime the server holds; None stays None."""
    if v is None:
        return None
    s = str(v)
    if len(s) >= 19:
        return datetime.datetime.strptime(s[:19].replace("T", " "), "%Y-%m-%d %H:%M:%S")
    return datetime.datetime.strptime(s[:10], "%Y-%m-%d")


# ---------------------------------------------------------------- numbers
def amount(x):
    """A stored amount as the exact decimal it stands for; None (NULL) stays None."""
    if x is None:
        return None
    return Decimal(repr(float(x))) if isinstance(x, float) else Decimal(str(x))
