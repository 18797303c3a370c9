#!/usr/bin/env python3
"""Checks the includes and namespaces of the library folders.

  include_direction.py --root SOURCE_DIR --qt-headers QT_INCLUDE_DIR

A file in a library folder may include, with quotes and from the root, its own folder and the
folders its row in LAYERS names (not simply every folder below it), and of Qt only the modules
that row gives it; a quoted include without a folder names a file beside the including one.
Project headers are never included with angle brackets, in any folder. A library folder's code
is in a namespace named like the folder (nested ones such as pictures::gdi are fine). Every
library folder has a CMakeLists.txt whose target is named like the folder, and a folder of
sources that is not in LAYERS is an error. tests/, bench/ and fuzz/ may include any folder.
Each broken rule is printed as `file:line: [rule] ...`; the exit status is 1 if there is one.
"""

import argparse
import pathlib
import re
import sys

ANY_QT = None
# The library folders, lowest first: the project folders each may include besides its own,
# and the Qt modules it may use.
LAYERS = [
    ("model", [], []),
    ("io", ["model"], ["QtCore"]),
    ("output", ["model"], ["QtCore", "QtNetwork"]),
    ("pictures", ["model", "io"], ["QtCore", "QtGui", "QtSvg"]),
    ("tracing", ["model"], ["QtCore", "QtGui"]),
    ("formats", ["model", "io", "pictures", "tracing"], ["QtCore", "QtGui"]),
    ("editor", ["model", "io", "pictures"], ["QtCore", "QtGui"]),
    ("convert", ["model", "io", "output", "pictures", "tracing", "formats"], ["QtCore"]),
    ("preview", ["model", "io", "pictures", "editor"], ["QtCore", "QtGui"]),
    ("widgets", ["model", "io", "pictures", "tracing", "formats", "editor", "convert",
                 "preview"], ANY_QT),
    ("forms", ["model", "io", "pictures", "tracing", "formats", "editor", "convert", "preview",
               "widgets"], ANY_QT),
    ("window", ["model", "io", "output", "pictures", "tracing", "formats", "editor", "convert",
                "preview", "widgets", "forms"], ANY_QT),
    ("app", ["model", "io", "output", "pictures", "tracing", "formats", "editor", "convert",
             "preview", "widgets", "forms", "window"], ANY_QT),
]
# Folders outside the libraries, which may include any of them.
OUTSIDE = {"tests", "bench", "fuzz"}
SOURCE_SUFFIXES = {".cpp", ".cc", ".cxx", ".c", ".h", ".hpp", ".hh", ".hxx", ".inl", ".ipp"}
# Namespaces a library may declare besides its own: the forms Qt's uic generates.
FOREIGN_NAMESPACES = {"Ui"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# What the namespace scan must not read: comments, string and character literals (not the
# digit separators of 1'000), preprocessor lines with their continuations.
NOT_CODE = re.compile(
    r'//[^\n]*|/\*.*?\*/'
    r'|R"([^(\s]*)\(.*?\)\1"'
    r'|"(?:\\.|[^"\\\n])*"'
    r"|(?<![\w'])'(?:\\.|[^'\\\n])+'"
    r'|^[ \t]*#(?:[^\n]*\\\n)*[^\n]*',
    re.DOTALL | re.MULTILINE)
CODE_TOKEN = re.compile(r"\bnamespace\b([^{};=]*)(\{?)|[{}]")


def is_source(path):
    return path.is_file() and path.suffix in SOURCE_SUFFIXES


def sources(folder):
    return [p for p in sorted(folder.rglob("*")) if is_source(p)]


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


def is_project_header(header, path, root, tree_folders):
    """Whether <header>, included from path, is one of the project's own headers."""
    first = header.split("/")[0]
    return (("/" in header and first in tree_folders)
            or (root / header).is_file() or (path.parent / header).is_file())


def without_comments_and_strings(text):
    """text with what is not code blanked out, keeping its lines where they were."""
    return NOT_CODE.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def namespace_errors(name, folder, text):
    """The outermost named namespaces of a file in folder whose name is not the folder's."""
    errors = []
    code = without_comments_and_strings(text)
    opened = []  # for each open brace, whether it opened a namespace
    for match in CODE_TOKEN.finditer(code):
        token = match.group(0)
        if token == "}":
            if opened:
                opened.pop()
            continue
        if token == "{":
            opened.append(False)
            continue
        declared, brace = match.groups()
        if not brace:
            continue  # `using namespace x;`, an alias `namespace x = y;`
        outermost = not any(opened)
        opened.append(True)
        declared = " ".join(declared.split())
        first = declared.split("::")[0].strip()
        if outermost and declared and first != folder and first not in FOREIGN_NAMESPACES:
            number = code.count("\n", 0, match.start()) + 1
            errors.append(f"{name}:{number}: [namespace] namespace {declared} in {folder}/, "
                          f"whose code is in namespace {folder}")
    return errors


def include_errors(path, name, folder, text, args, tree_folders):
    """The includes of a file in folder that break its row in LAYERS; for a folder outside
    the libraries only the angle-bracket rule applies."""
    rows = {row[0]: row for row in LAYERS}
    errors = []
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        kind, header = match.groups()
        where = f"{name}:{number}: "
        if kind == "<":
            if is_project_header(header, path, args.root, tree_folders):
                errors.append(f'{where}[angle] #include <{header}> is a project header; '
                              f'include it as "{header}" from the root')
                continue
            if folder not in rows:
                continue
            qt_allowed = rows[folder][2]
            module = qt_module(header, args.qt_headers)
            if module and qt_allowed is not ANY_QT and module not in qt_allowed:
                allowed = ", ".join(qt_allowed) or "no Qt"
                errors.append(f"{where}[qt] #include <{header}>: {module} in {folder}/, "
                              f"which may use {allowed}")
        elif folder not in rows:
            continue
        elif "/" not in header:
            if not (path.parent / header).is_file():
                errors.append(f'{where}[beside] #include "{header}": no such file beside '
                              f'{name}; include other folders\' headers from the root')
        else:
            target = header.split("/")[0]
            allowed = rows[folder][1]
            if target == folder or target in allowed:
                continue
            if target not in rows:
                errors.append(f'{where}[folders] #include "{header}": {target}/ is not a '
                              f'library folder')
            else:
                errors.append(f'{where}[folders] #include "{header}": {folder}/ may include '
                              f'{", ".join(allowed) or "no other folder"}, not {target}/')
    return errors


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", type=pathlib.Path, required=True)
    parser.add_argument("--qt-headers", type=pathlib.Path, required=True)
    args = parser.parse_args()

    errors = []
    rank = {folder: i for i, (folder, _, _) in enumerate(LAYERS)}
    for folder, allowed, _ in LAYERS:
        above = [f for f in allowed if rank.get(f, len(LAYERS)) >= rank[folder]]
        if above:
            errors.append(f"include_direction.py: [table] LAYERS lets {folder}/ include "
                          f"{', '.join(above)}, which is not below it")

    tree_folders = {p.name for p in args.root.iterdir()
                    if p.is_dir() and not p.name.startswith(".")} | set(rank) | OUTSIDE
    for folder in [row[0] for row in LAYERS] + sorted(OUTSIDE):
        if folder in rank:
            cmake = args.root / folder / "CMakeLists.txt"
            if not cmake.is_file() or not re.search(rf"add_library\(\s*{folder}\b",
                                                   cmake.read_text(encoding="utf-8")):
                errors.append(f"{folder}/CMakeLists.txt: [cmake] no library target named "
                              f"{folder}")
        for path in sources(args.root / folder):
            name = path.relative_to(args.root)
            text = path.read_text(encoding="utf-8")
            errors += include_errors(path, name, folder, text, args, tree_folders)
            if folder in rank:
                errors += namespace_errors(name, folder, text)

    # A new folder of sources is a new library: it needs its row in LAYERS.
    for path in sorted(args.root.iterdir()):
        if (path.is_dir() and path.name not in rank and path.name not in OUTSIDE
                and not path.name.startswith((".", "build")) and sources(path)):
            errors.append(f"{path.name}/: [table] sources in a folder that is not in LAYERS")

    for error in errors:
        print(error)
    print(f"include direction: {len(errors)} broken rule(s) in {len(LAYERS)} library folders")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
