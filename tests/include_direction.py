#!/usr/bin/env python3
"""Checks the direction of the includes between the library folders.

  include_direction.py --root SOURCE_DIR --qt-headers QT_INCLUDE_DIR

A file in a library folder may include its own folder and the folders listed before it in
LAYERS, and of Qt only the modules LAYERS gives it. Every library folder has a CMakeLists.txt
whose target is named like the folder. Prints each broken rule and fails if there is one.
"""

import argparse
import pathlib
import re
import sys

ANY_QT = None
# The library folders, lowest first, and the Qt modules each may include.
LAYERS = [
    ("model", []),
    ("io", ["QtCore"]),
    ("pictures", ["QtCore", "QtGui", "QtSvg"]),
    ("tracing", ["QtCore", "QtGui"]),
    ("editor", ["QtCore", "QtGui"]),
    ("convert", ["QtCore"]),
    ("preview", ["QtCore", "QtGui"]),
    ("widgets", ANY_QT),
    ("forms", ANY_QT),
    ("window", ANY_QT),
    ("app", ANY_QT),
]
# Folders outside the libraries, which may include any of them.
OUTSIDE = {"tests", "bench", "fuzz"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def qt_module(header, qt_headers):
    """The Qt module a <header> belongs to, or None for a header that is not Qt's."""
    first = header.split("/")[0]
    if first.startswith("Qt") and (qt_headers / first).is_dir():
        return first
    if not header.startswith("Q"):
        return None
    modules = sorted(p.name for p in qt_headers.iterdir() if p.name.startswith("Qt"))
    for module in sorted(modules, key=lambda m: m not in ("QtCore", "QtGui", "QtWidgets")):
        if (qt_headers / module / header).is_file():
            return module
    return "Qt (unknown module)"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", type=pathlib.Path, required=True)
    parser.add_argument("--qt-headers", type=pathlib.Path, required=True)
    args = parser.parse_args()

    rank = {folder: i for i, (folder, _) in enumerate(LAYERS)}
    errors = []
    for folder, qt_allowed in LAYERS:
        cmake = args.root / folder / "CMakeLists.txt"
        if not cmake.is_file() or not re.search(rf"add_library\(\s*{folder}\b", cmake.read_text()):
            errors.append(f"{folder}/CMakeLists.txt: no library target named {folder}")
        for path in sorted((args.root / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            name = path.relative_to(args.root)
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, header = match.groups()
                where = f"{name}:{number}: {line.strip()}"
                if kind == '"' and "/" in header:
                    target = header.split("/")[0]
                    if target not in rank:
                        errors.append(f"{where}: not a library folder")
                    elif rank[target] > rank[folder]:
                        errors.append(f"{where}: {target}/ is above {folder}/")
                elif kind == "<":
                    module = qt_module(header, args.qt_headers)
                    if module and qt_allowed is not ANY_QT and module not in qt_allowed:
                        allowed = ", ".join(qt_allowed) or "no Qt"
                        errors.append(f"{where}: {module} in {folder}/, which may use {allowed}")

    # A new folder of sources is a new library: it needs its place in LAYERS.
    for path in sorted(args.root.iterdir()):
        if (path.is_dir() and path.name not in rank and path.name not in OUTSIDE
                and not path.name.startswith((".", "build"))
                and any(p.suffix in (".cpp", ".h") for p in path.rglob("*"))):
            errors.append(f"{path.name}/: sources in a folder that is not in LAYERS")

    for error in errors:
        print(error)
    print(f"include direction: {len(errors)} broken rule(s) in {len(LAYERS)} library folders")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
