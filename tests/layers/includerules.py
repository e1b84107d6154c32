#!/usr/bin/env python3
"""The layers of fee-reports and which way their includes may point.

Each folder is a layer (a static library); includes point down only:

      app/                     cli/          (cli/: no widgets, no windows)
        \\                      /
         +----- reports/ -----+   <r>/ headless: builders, engine, chart data
         |  <r>/ui/  windows  |   <r>/ui/: the report's window
         |  shared/ shared/ui |   shared/: lists, rules, run context; shared/ui/
         +--+------+-------+--+
            |      |       |
           db/  widgets/   |      widgets/: the window kit (Qt Widgets)
            |      |  \\    |
            |      |   charts/    charts/: bar charts, headless (QtGui, QtSvg)
            |      |      |
            |  workbook/ print/   workbook/, print/: files and pages, headless
            |      |      |
            +------+------+-- core/   core/: includes nothing else of ours

RULES below says it in full: for every layer, the layers its sources may
include besides their own. A report is one folder under reports/: it may
include its own folder and reports/shared/, never another report; its
headless part never includes its ui/, widgets/, app/ or cli/.

Every `#include "folder/..."` (and every relative include that lands in one
of our folders) of every source under the layer folders is checked; tests/,
bench/ and fuzz/ are outside the rule. Run:

    includerules.py SOURCE_ROOT      fails, naming file and line, on a wrong include
    includerules.py --self-test      checks the rules on made-up includes
"""

import os
import re
import sys
import tempfile

# The layer folders whose sources are checked.
LAYER_FOLDERS = ("app", "cli", "reports", "db", "widgets", "charts", "workbook", "print", "core")
# Folders of ours that no layer source may include.
OUTSIDE_FOLDERS = ("tests", "bench", "fuzz", "packaging", "scripts", "docs")

BELOW_REPORTS = ["db", "charts", "workbook", "print", "core"]

# layer -> (the layers it may include, what the rule says when broken).
# "reports/<r>" names a report folder: in a report's own rule it means the
# same report; "reports/*" and "reports/*/ui" mean any report.
RULES = {
    "core": ([], "core/ includes nothing else of ours"),
    "workbook": (["core"], "workbook/ stands on core/ only"),
    "print": (["core"], "print/ stands on core/ only"),
    "charts": (["core"], "charts/ is headless and stands on core/ only"),
    "db": (["core"], "db/ stands on core/ only and knows no report"),
    "widgets": (["charts", "workbook", "print", "core"],
                "widgets/ (the window kit) stands on charts/, workbook/, print/ and core/ only"),
    "reports/shared": (BELOW_REPORTS,
                       "reports/shared/ is headless: it includes no window, no report, no app/ or cli/"),
    "reports/shared/ui": (["reports/shared", "widgets"] + BELOW_REPORTS,
                          "reports/shared/ui/ includes no report, no app/ or cli/"),
    "reports/<r>": (["reports/shared"] + BELOW_REPORTS,
                    "a report's headless part includes no widgets/, no ui/, no other report, no app/ or cli/"),
    "reports/<r>/ui": (["reports/<r>", "reports/shared/ui", "reports/shared", "widgets"] + BELOW_REPORTS,
                       "a report's window includes its own report and reports/shared/ only, no app/ or cli/"),
    "cli": (["reports/*", "reports/shared"] + BELOW_REPORTS,
            "cli/ runs without Qt Widgets: it includes no widgets/, no window (ui/), no app/"),
    "app": (["reports/*/ui", "reports/*", "reports/shared/ui", "reports/shared", "widgets"] + BELOW_REPORTS,
            "app/ includes everything below it but not cli/"),
}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def layer_of(path):
    """The layer of a path relative to the source root ("core/grid/x.h" ->
    "core", "reports/monthly/ui/w.h" -> "reports/monthly/ui"), or None for a
    path outside our folders."""
    parts = path.replace("\\", "/").split("/")
    top = parts[0]
    if top == "reports":
        if len(parts) < 3:
            return "reports"
        if len(parts) >= 4 and parts[2] == "ui":
            return "reports/%s/ui" % parts[1]
        return "reports/%s" % parts[1]
    if top in LAYER_FOLDERS or top in OUTSIDE_FOLDERS:
        return top
    return None


def rule_of(layer):
    """The rule key of a layer: a report's folders share one rule."""
    if layer.startswith("reports/") and not layer.startswith("reports/shared"):
        return "reports/<r>/ui" if layer.endswith("/ui") else "reports/<r>"
    return layer


def report_of(layer):
    return layer.split("/")[1] if layer.startswith("reports/") else None


def allowed(source_layer, target_layer):
    if target_layer == source_layer:
        return True
    may, _ = RULES[rule_of(source_layer)]
    for entry in may:
        if entry == target_layer:
            return True
        if entry == "reports/<r>" and target_layer == "reports/%s" % report_of(source_layer):
            return True
        if entry == "reports/*" and rule_of(target_layer) == "reports/<r>":
            return True
        if entry == "reports/*/ui" and rule_of(target_layer) == "reports/<r>/ui":
            return True
    return False


def target_of(root, source, included):
    """The root-relative path an include names: a path that exists next to the
    including file is taken as written there, else from the source root."""
    here = os.path.dirname(source)
    beside = os.path.normpath(os.path.join(here, included))
    if os.path.exists(os.path.join(root, beside)) and not beside.startswith(".."):
        return beside.replace("\\", "/")
    return os.path.normpath(included).replace("\\", "/")


def check_file(root, source):
    """The wrong includes of one source: (line number, include, message)."""
    source_layer = layer_of(source)
    problems = []
    with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            target = target_of(root, source, included)
            target_layer = layer_of(target)
            if target_layer is None:
                continue  # a library's header or a generated file
            if target_layer in OUTSIDE_FOLDERS:
                problems.append((number, included, "%s/ is not a layer: no library includes it" % target_layer))
            elif target_layer == "reports":
                problems.append((number, included, "reports/ itself holds no headers"))
            elif not allowed(source_layer, target_layer):
                _, why = RULES[rule_of(source_layer)]
                problems.append((number, included, "%s/ must not include %s/: %s" % (source_layer, target_layer, why)))
    return problems


def sources(root):
    for folder in LAYER_FOLDERS:
        for here, dirs, files in os.walk(os.path.join(root, folder)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(here, name), root).replace("\\", "/")


def check(root, out=sys.stdout):
    files = 0
    wrong = 0
    for source in sources(root):
        files += 1
        for number, included, why in check_file(root, source):
            wrong += 1
            print('%s:%d: #include "%s" points the wrong way: %s' % (source, number, included, why), file=out)
    if wrong:
        print("%d include(s) against the layer rules in %d sources (the rules: %s)"
              % (wrong, files, os.path.abspath(__file__)), file=out)
    else:
        print("%d sources follow the layer rules" % files, file=out)
    return wrong == 0


# (source, include, allowed?): the rules on made-up files.
SELF_TEST = [
    ("core/money.cpp", "widgets/gridview.h", False),
    ("core/money.cpp", "core/grid/gridmodel.h", True),
    ("core/grid/gridmodel.cpp", "db/dbconnection.h", False),
    ("workbook/workbook.cpp", "core/csv.h", True),
    ("workbook/workbook.cpp", "print/printgrid.h", False),
    ("print/printgrid.cpp", "workbook/workbook.h", False),
    ("print/printgrid.cpp", "widgets/messageboxhandler.h", False),
    ("charts/barchart.cpp", "core/chartdata.h", True),
    ("charts/barchart.cpp", "widgets/savefilechooser.h", False),
    ("db/dbconnection.cpp", "reports/shared/officelist.h", False),
    ("widgets/chartpanel.cpp", "charts/barchart.h", True),
    ("widgets/gridview.cpp", "db/dbconnection.h", False),
    ("widgets/gridview.cpp", "reports/shared/officelist.h", False),
    ("reports/shared/runcontext.cpp", "db/dbconnection.h", True),
    ("reports/shared/runcontext.cpp", "widgets/gridview.h", False),
    ("reports/shared/ui/reportrun.cpp", "widgets/waitoverlay.h", True),
    ("reports/shared/ui/reportrun.cpp", "reports/monthly/monthlyengine.h", False),
    ("reports/monthly/monthlyengine.cpp", "reports/shared/runcontext.h", True),
    ("reports/monthly/monthlyengine.cpp", "reports/monthly/monthlycolumns.h", True),
    ("reports/monthly/monthlyengine.cpp", "widgets/gridview.h", False),
    ("reports/monthly/monthlyengine.cpp", "reports/monthly/ui/monthlyreportwindow.h", False),
    ("reports/monthly/monthlyengine.cpp", "reports/daily/dailyengine.h", False),
    ("reports/monthly/monthlyengine.cpp", "cli/clioutput.h", False),
    ("reports/monthly/monthlyengine.cpp", "app/mainwindow.h", False),
    ("reports/monthly/ui/monthlyreportwindow.cpp", "widgets/chartpanel.h", True),
    ("reports/monthly/ui/monthlyreportwindow.cpp", "reports/monthly/monthlychart.h", True),
    ("reports/monthly/ui/monthlyreportwindow.cpp", "reports/shared/ui/reportrun.h", True),
    ("reports/monthly/ui/monthlyreportwindow.cpp", "reports/receipts_summary/ui/receiptssummarywindow.h", False),
    ("reports/monthly/ui/monthlyreportwindow.cpp", "app/mainwindow.h", False),
    ("cli/monthlycommand.cpp", "reports/monthly/monthlyengine.h", True),
    ("cli/chartoutput.cpp", "charts/chartfile.h", True),
    ("cli/monthlycommand.cpp", "widgets/gridview.h", False),
    ("cli/monthlycommand.cpp", "reports/monthly/ui/monthlyreportwindow.h", False),
    ("cli/monthlycommand.cpp", "app/mainwindow.h", False),
    ("app/mainwindow.cpp", "reports/monthly/ui/monthlyreportwindow.h", True),
    ("app/mainwindow.cpp", "cli/clioutput.h", False),
    ("core/money.cpp", "tests/support/clirun.h", False),
    ("core/money.cpp", "../widgets/gridview.h", False),
    ("core/money.cpp", "textformat.h", True),
    ("core/money.cpp", "xlsxwriter.h", True),
]


def self_test():
    failures = 0
    with tempfile.TemporaryDirectory() as root:
        for number, (source, included, expected) in enumerate(SELF_TEST):
            # Each case in a tree of its own: the including file and the
            # header it means (from the root, or beside it).
            case = os.path.join(root, str(number))
            header = included if layer_of(included) else os.path.normpath(os.path.join(os.path.dirname(source), included))
            for path in (source, header):
                full = os.path.join(case, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                open(full, "a").close()
            with open(os.path.join(case, source), "w", encoding="utf-8") as text:
                text.write('// a source\n#include <QString>\n#include "%s"\n' % included)
            problems = check_file(case, source)
            if (not problems) != expected:
                failures += 1
                print("self-test: %s including %s should be %s, got %s"
                      % (source, included, "allowed" if expected else "refused", problems or "allowed"))
            elif problems and problems[0][0] != 3:
                failures += 1
                print("self-test: %s: the wrong include is on line 3, not %d" % (source, problems[0][0]))
    print("self-test: %d cases, %d failed" % (len(SELF_TEST), failures))
    return failures == 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return 0 if self_test() else 1
    if len(argv) != 2:
        print(__doc__)
        return 2
    return 0 if check(argv[1]) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
