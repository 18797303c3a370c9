#!/usr/bin/env python3
"""include_direction.py on small trees, each a clean base (every library folder with its
target and a header in its namespace, four Qt headers) with the files of its row added."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).with_name("include_direction.py")
FOLDERS = ["model", "io", "output", "pictures", "tracing", "formats", "editor", "convert", "preview",
           "widgets", "forms", "window", "app"]
QT_HEADERS = ["QtCore/QString", "QtGui/QImage", "QtWidgets/QWidget", "QtSvg/QSvgRenderer"]

# What a tree may hold without breaking a rule; every line is one a careless check could flag.
CLEAN = {
    "editor/canvas.cpp": '#include "model/model.h"\n#include "io/io.h"\n#include "parts.h"\n'
                         '#include "pictures/pictures.h"\n#include <QImage>\n#include <vector>\n'
                         'using namespace std;\nnamespace fs = std::filesystem;\n'
                         '// namespace window {\n/* namespace io { */\nnamespace {\n'
                         'const char* a = "namespace io { {";\n'
                         """char b = '{'; int c = 1'000'000;\n"""
                         'const char* raw = R"x(} namespace io {)x";\n}\n'
                         'namespace editor::tools {\nnamespace detail { }\n}\n'
                         'namespace editor\n{\ninline namespace v1 { }\n}\n',
    "editor/parts.h": "namespace editor { struct Part { int a; }; }\n",
    "pictures/svg.ipp": '#include <QSvgRenderer>\n#include "io/io.h"\n'
                        "namespace pictures::gdi { }\n",
    "formats/table.cc": '#include "tracing/tracing.h"\n#include "pictures/pictures.h"\n',
    "convert/main.cxx": '#include "formats/formats.h"\n#include "output/output.h"\n',
    "forms/about.hpp": '#include <QWidget>\n#include "preview/preview.h"\n'
                       '#include "widgets/widgets.h"\nnamespace Ui { class About; }\n',
    "window/main.inl": '#include "forms/forms.h"\n#include "tracing/tracing.h"\n',
    "app/main.cpp": '#include "window/window.h"\nint main() { return 0; }\n',
    "tests/support/s.h": "struct S {};\n",
    "tests/t.cpp": '#include "window/window.h"\n#include "support/s.h"\n#include "t.moc"\n'
                   "#include <QWidget>\nnamespace helpers { }\n",
    "build-debug/gen.cpp": "int generated;\n",
}

SUFFIXES = [".hpp", ".hh", ".hxx", ".inl", ".ipp", ".cc", ".cxx", ".c"]

# name, files added to the clean base, where the one error is, and its rule; where None the
# tree must pass.
CASES = [
    ("clean tree", CLEAN, None, None),
    ("upward include", {"io/file_io.cpp": '#include "io/io.h"\n#include "editor/editor.h"\n'},
     "io/file_io.cpp:2", "folders"),
    ("tracing to pictures, lower", {"tracing/tracer.cpp": '#include "pictures/pictures.h"\n'},
     "tracing/tracer.cpp:1", "folders"),
    ("editor to tracing, lower", {"editor/trace.h": '#include "tracing/tracing.h"\n'},
     "editor/trace.h:1", "folders"),
    ("preview to formats, lower", {"preview/scan.h": '#include "formats/formats.h"\n'},
     "preview/scan.h:1", "folders"),
    ("a folder that is no library", {"window/w.cpp": '#include "tools/pen.h"\n'},
     "window/w.cpp:1", "folders"),
    ("a file not beside", {"window/w.cpp": '#include "model.h"\n'},
     "window/w.cpp:1", "beside"),
    ("QtWidgets in editor", {"editor/view.h": "#include <vector>\n#include <QWidget>\n"},
     "editor/view.h:2", "qt"),
    ("QtGui in model", {"model/m.cpp": "#include <QtGui/QImage>\n"}, "model/m.cpp:1", "qt"),
    ("angle project include", {"model/m.cpp": "#include <model/model.h>\n"},
     "model/m.cpp:1", "angle"),
    ("angle include outside", {"tests/t.cpp": "#include <window/window.h>\n"},
     "tests/t.cpp:1", "angle"),
    *[(f"broken include in {suffix}", {f"pictures/p{suffix}": '#include "window/window.h"\n'},
       f"pictures/p{suffix}:1", "folders") for suffix in SUFFIXES],
    ("a folder not in the table", {"plugins/p.cpp": "int p;\n"}, "plugins/", "table"),
    ("no library target", {"preview/CMakeLists.txt": "add_library(preview_lib STATIC a.cpp)\n"},
     "preview/CMakeLists.txt", "cmake"),
    ("another folder's namespace after its own",
     {"io/file_io.h": "namespace io { struct A { int b; }; }\nnamespace editor { }\n"},
     "io/file_io.h:2", "namespace"),
    ("a namespace of no folder",
     {"model/m.h": "namespace model { int c = 1'000; } char d = 'x';\nnamespace helpers { }\n"},
     "model/m.h:2", "namespace"),
]


def make_tree(root, files):
    base = {}
    for folder in FOLDERS:
        base[f"{folder}/CMakeLists.txt"] = f"add_library({folder} STATIC {folder}.cpp)\n"
        base[f"{folder}/{folder}.h"] = f"namespace {folder} {{ int Value(); }}\n"
    for header in QT_HEADERS:
        base[f"qt/{header}"] = ""
    for name, text in {**base, **files}.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text, encoding="utf-8")


class IncludeDirectionTest(unittest.TestCase):
    def test_each_rule(self):
        for name, files, where, rule in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder) / "src"
                make_tree(root, files)
                run = subprocess.run([sys.executable, str(SCRIPT), "--root", str(root),
                                      "--qt-headers", str(root / "qt")],
                                     capture_output=True, text=True, check=False)
                errors = run.stdout.splitlines()[:-1]
                self.assertEqual(run.stderr, "")
                if where is None:
                    self.assertEqual((run.returncode, errors), (0, []))
                    continue
                self.assertEqual(run.returncode, 1, run.stdout)
                self.assertEqual(len(errors), 1, run.stdout)
                self.assertTrue(errors[0].startswith(f"{where}: [{rule}] "), errors[0])


if __name__ == "__main__":
    unittest.main()
