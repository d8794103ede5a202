#!/usr/bin/env python3
"""Runs Linux tools for the tests under Wine, which cannot start them themselves: the tests'
readers of what the program wrote (pdftotext, pdfinfo, pdftoppm of poppler-utils, python3 with
openpyxl) are Linux programs. A test writes ID.json ({"program": name, "arguments": [...]},
paths already Linux paths) into the spool folder; this writes ID.out (the standard output) and
ID.code (the exit code), then ID.done. Only the tools named below run.
host-tools.py SPOOL_FOLDER (runs until killed)."""
import json
import os
import subprocess
import sys
import time

TOOLS = {"pdftotext", "pdfinfo", "pdftoppm", "pdffonts", "python3"}

spool = sys.argv[1]
while True:
    for name in sorted(os.listdir(spool)):
        if not name.endswith(".json"):
            continue
        request_file = os.path.join(spool, name)
        ident = name[: -len(".json")]
        try:
            with open(request_file, encoding="utf-8") as f:
                request = json.load(f)
            os.remove(request_file)
            program = request["program"]
            if program not in TOOLS:
                raise ValueError("not a tool of the tests: %s" % program)
            done = subprocess.run(["/usr/bin/" + program] + request["arguments"],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
            out, err, code = done.stdout, done.stderr, done.returncode
        except Exception as error:  # told to the test, which fails on it
            out, err, code = b"", str(error).encode(), 255
        base = os.path.join(spool, ident)
        for suffix, data in ((".out", out), (".err", err), (".code", str(code).encode())):
            with open(base + suffix, "wb") as f:
                f.write(data)
        open(base + ".done", "wb").close()
    time.sleep(0.02)
