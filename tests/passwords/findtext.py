#!/usr/bin/python3
"""findtext.py NEEDLE PATH...: prints every file (or part of one) that holds
NEEDLE and exits 1 when there is one, 0 when none does.

A file is searched as written and, where it is a package, inside: every
member of a zip (workbooks), every deflated stream of a PDF and the PDF's
text as pdftotext reads it. Text is looked for in UTF-8 and UTF-16 (PDF
metadata is often UTF-16)."""

import re
import subprocess
import sys
import zipfile
import zlib


def forms(needle):
    return [needle.encode("utf-8"), needle.encode("utf-16-be"), needle.encode("utf-16-le")]


def parts(path):
    with open(path, "rb") as f:
        data = f.read()
    yield path, data
    if zipfile.is_zipfile(path):
        with zipfile.ZipFile(path) as z:
            for name in z.namelist():
                yield f"{path}:{name}", z.read(name)
    if data.startswith(b"%PDF"):
        for i, m in enumerate(re.finditer(rb"stream\r?\n", data)):
            try:
                yield f"{path}:stream{i}", zlib.decompressobj().decompress(data[m.end():])
            except zlib.error:
                pass
        text = subprocess.run(["pdftotext", "-q", path, "-"], capture_output=True).stdout
        if not text.strip():
            print(f"{path}: pdftotext read no text", file=sys.stderr)
            sys.exit(2)
        yield f"{path}:text", text


def main():
    needle = sys.argv[1]
    found = False
    for path in sys.argv[2:]:
        for name, data in parts(path):
            if any(form in data for form in forms(needle)):
                print(name)
                found = True
    sys.exit(1 if found else 0)


main()
