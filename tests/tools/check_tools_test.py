#!/usr/bin/env python3
"""Tests of the source checks in tools/: each runs on a small tree written here, with planted faults."""

import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")


def run(tool, *args):
    result = subprocess.run([sys.executable, os.path.join(TOOLS, tool), *args], capture_output=True, text=True)
    return result.returncode, result.stdout


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(textwrap.dedent(text))


def body(lines):
    """`lines` statement lines, for a function `lines` + 2 lines long with its signature and brace."""
    return "".join(f"    x += {i};\n" for i in range(lines))


class FunctionLength(unittest.TestCase):
    def lengths(self, source):
        """The over-limit report of a one-file tree, with a limit of 5 lines."""
        with tempfile.TemporaryDirectory() as tree:
            write(tree, "src/m/a.cpp", source)
            code, out = run("check-function-length", "--limit", "5", "--allow", os.devnull,
                            os.path.join(tree, "src"))
            return code, [line for line in out.splitlines() if line.startswith("src/")]

    def test_limit_is_inclusive_and_counts_signature_to_brace(self):
        code, report = self.lengths("void five(int x) {\n" + body(3) + "}\nvoid six(int x)\n{\n" + body(3) + "}\n")
        self.assertEqual(code, 1)
        self.assertEqual(report, ["src/m/a.cpp:6: six is 6 lines, over 5"])

    def test_braces_in_literals_comments_and_directives_do_not_count(self):
        source = """\
            #define OPEN {
            int f() {
                const char* s = "}}}";   // }
                char c = '}';
                /* } } */
                auto r = R"x(})x";
                return 1'000;
            }
            int g() {
                return 0;
            }
            """
        code, report = self.lengths(source)
        self.assertEqual(report, ["src/m/a.cpp:2: f is 7 lines, over 5"])

    def test_initialisers_enums_and_tables_are_not_functions(self):
        source = "const int table[] = {\n" + "    1,\n" * 10 + "};\nenum class E {\n" + "    A,\n" * 10 + "};\n" + \
                 "struct S {\n    int x{1};\n};\n"
        self.assertEqual(self.lengths(source), (0, []))

    def test_member_functions_constructors_operators_and_lambdas_are_named(self):
        source = (
            "namespace n {\nclass K : public Base<int> {\npublic:\n    void m() const override {\n" + body(4) +
            "    }\n};\n"
            "K::K(int a) try : m_a{a}, m_b(a) {\n" + body(4) + "} catch (...) {\n}\n"
            "bool operator==(const K&, const K&) {\n" + body(4) + "}\n"
            "void K::operator()(int) {\n" + body(4) + "}\n"
            "const auto helper = [](int x) {\n" + body(4) + "};\n"
            "template <typename T = int>\nT twice(T t) {\n" + body(4) + "}\n}\n")
        code, report = self.lengths(source)
        names = [line.split(": ")[1].split(" is ")[0] for line in report]
        self.assertEqual(names, ["m", "K::K", "operator==", "K::operator()", "helper", "twice"])
        self.assertIn("K::K is 7 lines", report[1])  # the catch handler belongs to the function

    def test_allowlist_passes_listed_offenders_and_reports_stale_entries(self):
        with tempfile.TemporaryDirectory() as tree:
            write(tree, "src/m/a.cpp", "void longOne(int x) {\n" + body(10) + "}\n")
            write(tree, "allow", "# comment\nsrc/m/a.cpp longOne\nsrc/m/a.cpp gone\n")
            code, out = run("check-function-length", "--limit", "5", "--allow", os.path.join(tree, "allow"),
                            os.path.join(tree, "src"))
            self.assertEqual(code, 0, out)
            self.assertIn("longOne is 12 lines, over 5 (allowed for now", out)
            self.assertIn("src/m/a.cpp gone is no longer over 5 lines", out)

    def test_repository_passes(self):
        code, out = run("check-function-length")
        self.assertEqual(code, 0, out)


class Layers(unittest.TestCase):
    def check(self, files):
        with tempfile.TemporaryDirectory() as tree:
            for path, text in files.items():
                write(tree, path, text)
            return run("check-layers", tree)

    def test_allowed_includes_pass(self):
        code, out = self.check({
            "src/fitting/a.cpp": '#include "curves/CurveStore.h"\n#include "simulation/X.h"\n',
            "src/render/b.cpp": '#include "workbench/Workbench.h"\n#include "plot/Canvas.h"\n#include <QImage>\n',
            "src/cli/c.cpp": '#include "render/OffscreenPlot.h"\n',
            "tests/render/t.cpp": "#include <QTest>\n",
        })
        self.assertEqual(code, 0, out)

    def test_wrong_way_includes_and_stray_qt_fail(self):
        code, out = self.check({
            "src/plot/a.h": '#include "workbench/Workbench.h"\n',
            "src/cli/b.cpp": '  #  include "ui/OffscreenPlot.h"\n',
            "src/analysis/c.cpp": '#include "fitting/AutoFit.h"\n',
            "src/model/d.cpp": "#include <QString>\n",
            "src/workbench/e.cpp": '#include "nowhere/X.h"\n',
            "src/extra/f.h": "\n",
            "bench/g.cpp": "#include <QtCore>\n",
        })
        self.assertEqual(code, 1)
        for expected in ["src/plot/a.h:1: plot may not include workbench",
                         "src/cli/b.cpp:1: cli may not include ui",
                         "src/analysis/c.cpp:1: analysis may not include fitting",
                         "src/model/d.cpp:1: Qt header outside src/ui and src/render",
                         'src/workbench/e.cpp:1: "nowhere/X.h" names no module',
                         "src/extra/f.h: src/extra is not a module",
                         "bench/g.cpp:1: Qt header outside src/ui and src/render",
                         "check-layers: 7 violation(s)"]:
            self.assertIn(expected, out)

    def test_repository_passes(self):
        code, out = run("check-layers")
        self.assertEqual(code, 0, out)


class Kinds(unittest.TestCase):
    def count(self, source, limit=5):
        """The exit status and the listed line numbers of a one-file tree."""
        with tempfile.TemporaryDirectory() as tree:
            write(tree, "src/m/a.cpp", source)
            code, out = run("check-kinds", "--list", "--max", str(limit), os.path.join(tree, "src"))
            return code, [int(line.split(":")[1]) for line in out.splitlines() if line.startswith("src/")]

    def test_comparisons_aliases_and_case_labels_count(self):
        source = """\
            bool f(const P& p) { return p.Technique == 8 || 13 <= p.mech; }
            bool planarElectrode(int e) { return e == 1; }
            void g(Run& run) {
                const int t = run.technique;
                if (t >= 4) {}
                switch (run.electrode) {
                case 2: { int x = 1; switch (x) { case 7: break; } break; }
                default: break;
                }
            }
            """
        code, lines = self.count(source, limit=4)
        self.assertEqual(code, 1)  # five found, four allowed
        self.assertEqual(lines, [1, 1, 2, 5, 7])  # not the label of the inner switch over x

    def test_names_comments_strings_and_other_fields_do_not_count(self):
        source = """\
            // if (p.Technique == 8)
            const char* s = "Technique == 8";
            bool f(const P& p) {
                return p.technique() == Technique::SquareWave || p.ElectrodeArea == 0 || p.NumCharge > 1 ||
                       traits(p.electrode()).radialTerm;
            }
            """
        self.assertEqual(self.count(source, limit=0), (0, []))

    def test_limit_is_inclusive(self):
        self.assertEqual(self.count("bool f(int mech) { return mech == 1; }\n", limit=1), (0, [1]))

    def test_repository_passes(self):
        code, out = run("check-kinds")
        self.assertEqual(code, 0, out)


if __name__ == "__main__":
    unittest.main()
