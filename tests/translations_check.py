#!/usr/bin/env python3
"""Checks that the English translation covers the program's texts, no more and no less.

  translations_check.py --root SOURCE_DIR --lupdate LUPDATE

Runs scripts/translations.sh (lupdate) on a copy of translations/quorinimage_en.ts: a text of
the sources without its English comes in unfinished, a translation whose text is gone is marked
vanished. Either, an unfinished or empty entry of the file itself, or a warning of lupdate's (a
tr() it cannot place in its class) is printed, and the exit status is 1.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TS = "translations/quorinimage_en.ts"


def messages(path):
    """(context, source, state, translation) for each message of a .ts file."""
    rows = []
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for m in context.iter("message"):
            t = m.find("translation")
            rows.append((name, m.findtext("source"), t.get("type", ""), t.text or ""))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, type=pathlib.Path)
    parser.add_argument("--lupdate", required=True)
    args = parser.parse_args()
    root = args.root.resolve()
    problems = []
    for context, source, state, translation in messages(root / TS):
        if state in ("unfinished", "vanished", "obsolete") or not translation:
            problems.append("%s: %s: %r (%s)" % (TS, context, source, state or "empty"))
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / "quorinimage_en.ts"
        shutil.copyfile(root / TS, copy)
        env = dict(os.environ, LUPDATE=args.lupdate)
        run = subprocess.run([str(root / "scripts/translations.sh"), str(copy)], env=env,
                             capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr)
            print("lupdate failed")
            return 1
        for line in (run.stdout + run.stderr).splitlines():
            problems.append("lupdate: " + line)
        for context, source, state, _ in messages(copy):
            if state == "unfinished":
                problems.append("not translated: %s: %r" % (context, source))
            elif state in ("vanished", "obsolete"):
                problems.append("no longer in the sources: %s: %r" % (context, source))
    for p in problems:
        print(p)
    if problems:
        print("%d problem(s); scripts/translations.sh updates %s" % (len(problems), TS))
        return 1
    print("%s: %d texts, all translated" % (TS, len(messages(root / TS))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
