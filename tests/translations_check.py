#!/usr/bin/env python3
"""Checks that the English translation covers the program's texts, no more and no less.

  translations_check.py --root SOURCE_DIR --lupdate LUPDATE

Runs scripts/translations.sh (lupdate) on a copy of translations/quorinimage_en.ts: a text of
the sources without its English comes in unfinished, a translation whose text is gone is marked
vanished. Either, an unfinished or empty entry of the file itself, or a warning of lupdate's (a
tr() it cannot place in its class) is printed, and the exit status is 1. So is a Russian text of
the program's sources that is not the text of a tr() or translate(): one shown untranslated. A text
meant to read the same in every language says so in a comment on its line or the line above;
UTF-16 literals (u"...") are tables of letters, not texts.
"""

import argparse
import re
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


NOT_PRODUCT = {"tests", "bench", "fuzz", "translations", "docs", "scripts", "packaging"}
LITERALS = re.compile(r'(?:\b(u8|u|U|L))?"((?:[^"\\\n]|\\.)*)"((?:\s*"(?:[^"\\\n]|\\.)*")*)')
CYRILLIC = re.compile("[\u0400-\u04ff]")
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}


def unescape(text):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(0)), text)


def without_comments(text):
    """The text with its comments blanked, lines kept; string literals left as they are."""
    pattern = re.compile(r'"(?:[^"\\\n]|\\.)*"|//[^\n]*|/\*.*?\*/', re.S)
    return pattern.sub(lambda m: m.group(0) if m.group(0).startswith('"')
                       else re.sub(r"[^\n]", " ", m.group(0)), text)


TRANSLATED = re.compile(r'\b(tr|translate|QT_TR_NOOP|QT_TRANSLATE_NOOP)\s*\(\s*("[^"]*"\s*,\s*)?$')


def shown_untranslated(root):
    """Russian texts of the program's sources that are not given to tr() or translate()."""
    found = []
    for path in sorted(root.glob("*/**/*")):
        top = path.relative_to(root).parts[0]
        if (path.suffix not in (".cpp", ".h") or top in NOT_PRODUCT or top.startswith("build")
                or top.startswith(".")):
            continue
        original = path.read_text(encoding="utf-8")
        lines = original.splitlines()
        code = without_comments(original)
        for m in LITERALS.finditer(code):
            pieces = [m.group(2)] + re.findall(r'"((?:[^"\\\n]|\\.)*)"', m.group(3))
            text = unescape("".join(pieces))
            if (m.group(1) in ("u", "U", "L") or not CYRILLIC.search(text)
                    or TRANSLATED.search(code, max(0, m.start() - 200), m.start())):
                continue
            line = original.count("\n", 0, m.start())
            near = " ".join(lines[max(0, line - 1):line + 1])
            if "every language" not in near:
                found.append("%s:%d: %r" % (path.relative_to(root), line + 1, text))
    return found


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
    for text in shown_untranslated(root):
        problems.append("shown untranslated: " + text)
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
