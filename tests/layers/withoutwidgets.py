#!/usr/bin/env python3
"""Fails when a program loads Qt Widgets, directly or through another library
it loads (ldd lists both): the command-line tool draws its charts and pages
with QtGui alone.

    withoutwidgets.py PROGRAM
"""

import re
import subprocess
import sys

# Qt Widgets, and the Qt libraries that bring it along.
WIDGETS = re.compile(r"libQt6(Widgets|PrintSupport|Charts|SvgWidgets|OpenGLWidgets)\.so")


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    program = argv[1]
    listed = subprocess.run(["ldd", program], capture_output=True, text=True)
    if listed.returncode != 0:
        print("ldd %s failed: %s" % (program, listed.stderr.strip()))
        return 1
    found = [line.strip() for line in listed.stdout.splitlines() if WIDGETS.search(line)]
    if found:
        print("%s loads Qt Widgets:" % program)
        for line in found:
            print("  " + line)
        return 1
    if "libQt6Gui.so" not in listed.stdout:
        print("%s: no libQt6Gui in ldd's list; is this the program?" % program)
        return 1
    print("%s loads no Qt Widgets" % program)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
