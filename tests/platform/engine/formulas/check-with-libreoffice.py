#!/usr/bin/env python3
"""Computes the formula case tables in LibreOffice and compares its results with the
tables' expected values: the tables' values come from the host's documentation or
from an independent program, and this check keeps them honest.

    check-with-libreoffice.py TABLE_DIR WORK_DIR [SOFFICE]

The cases of each setup become a workbook, written with openpyxl (the setup lines
typed as a user would type them, the case formulas in their cells); LibreOffice
converts them all in one run, computing every formula, and the results are read
back. A case whose table line notes "libreoffice: X" expects X from LibreOffice
(its result differs from the host's documented one, which the table follows);
"libreoffice: skip" leaves the case out. Refusals and displayed texts are not
checked here. Exit status 1 when a result differs.
"""

import datetime
import os
import re
import shutil
import subprocess
import sys

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904, CALENDAR_WINDOWS_1900, to_excel
from openpyxl.workbook.defined_name import DefinedName

NEWER_FUNCTIONS = ("IFNA", "XOR", "DAYS")
DIRECTIVES = ("cell", "name", "format", "dates", "at", "clear")


def fields(line):
    """formula | kind | expected [| note], split from the right (quote-aware there), so
    that the formula may hold anything."""
    parts, quoted, end = [], False, len(line)
    for i in range(len(line) - 1, -1, -1):
        ch = line[i]
        if ch == '"':
            quoted = not quoted
        elif ch == "|" and not quoted:
            parts.insert(0, line[i + 1:end].strip())
            end = i
            wanted = 3 if parts[-1].startswith("libreoffice:") else 2
            if len(parts) == wanted:
                break
    parts.insert(0, line[:end].strip())
    return parts


def unquote(text):
    if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
        return text[1:-1].replace('""', '"')
    return None


def typed(text):
    """The value a typed text stands for, read here on its own (not by the engine)."""
    if text in ("TRUE", "FALSE"):
        return text == "TRUE"
    if re.fullmatch(r"#(N/A|DIV/0!|VALUE!|REF!|NAME\?|NUM!|NULL!)", text):
        return ("error", text)
    if text.startswith("="):
        return ("formula", text)
    if re.fullmatch(r"[-+]?\d+(\.\d+)?([eE][-+]?\d+)?", text):
        number = float(text)
        return int(number) if number.is_integer() and "." not in text and "e" not in text.lower() else number
    m = re.fullmatch(r"(\d{4})[-/年](\d{1,2})[-/月](\d{1,2})日?(?: (\d{1,2}):(\d{2}))?", text)
    if m:
        y, mo, d = int(m[1]), int(m[2]), int(m[3])
        if m[4]:
            return datetime.datetime(y, mo, d, int(m[4]), int(m[5]))
        return datetime.date(y, mo, d)
    m = re.fullmatch(r"(\d{1,2}):(\d{2})", text)
    if m:
        return datetime.time(int(m[1]), int(m[2]))
    return text


class Table:
    def __init__(self, path):
        self.path = path
        self.cases = []  # (line number, state, formula, kind, expected, note)

    def read(self):
        state = {"cells": {}, "names": {}, "dates": 1900, "at": "AA1000"}
        with open(self.path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                line = raw.strip()
                if not line or line.startswith("#"):
                    continue
                word = line.split()[0]
                if word in DIRECTIVES:
                    rest = line[len(word):].strip()
                    if word == "clear":
                        state = dict(state, cells={})
                    elif word == "dates":
                        state = dict(state, dates=int(rest))
                    elif word == "at":
                        state = dict(state, at=rest)
                    elif word in ("cell", "name"):
                        target, content = (p.strip() for p in rest.split("=", 1))
                        key = "cells" if word == "cell" else "names"
                        state = dict(state, **{key: dict(state[key], **{target: content})})
                    continue
                parts = fields(line)
                note = parts[3] if len(parts) > 3 else ""
                self.cases.append((number, state, parts[0], parts[1], parts[2], note))
        return self


def place(ref):
    if "!" in ref:
        sheet, cell = ref.rsplit("!", 1)
        return sheet.strip("'"), cell
    return "Sheet1", ref


def file_formula(formula):
    for name in NEWER_FUNCTIONS:
        formula = re.sub(r"(?<![\w.])" + name + r"\(", "_xlfn." + name + "(", formula)
    return formula


def write_cases(path, state, cells):
    """One workbook: the state's cells and names, each case formula in its cell."""
    wb = openpyxl.Workbook()
    wb.active.title = "Sheet1"
    if state["dates"] == 1904:
        wb.epoch = CALENDAR_MAC_1904

    def sheet(name):
        if name not in wb.sheetnames:
            wb.create_sheet(name)
        return wb[name]

    for target, content in state["cells"].items():
        name, ref = place(target)
        cell = sheet(name)[ref]
        if content == "empty":
            continue
        text = unquote(content)
        value = text if text is not None else typed(content)
        if isinstance(value, tuple) and value[0] == "error":
            cell.value = value[1]
            cell.data_type = "e"
        elif isinstance(value, tuple):
            cell.value = file_formula(value[1])
        else:
            cell.value = value
            if isinstance(value, str):
                cell.data_type = "s"
    for name, refers in state["names"].items():
        wb.defined_names.append(DefinedName(name, attr_text=refers))
    for (name, ref), formula in cells:
        sheet(name)[ref] = "=" + file_formula(formula)
    wb.save(path)


def case_cells(state, formulas):
    """Where the cases of one state stand: the first in the state's case cell, the
    others below it in the same column (their values do not depend on the row), a
    case that asks for its own row or column on its own."""
    sheet, ref = place(state["at"])
    m = re.fullmatch(r"([A-Z]+)(\d+)", ref)
    column, row = m[1], int(m[2])
    together, alone = [], []
    for i, formula in enumerate(formulas):
        if "ROW()" in formula or "COLUMN()" in formula:
            alone.append((i, (sheet, ref)))
        else:
            together.append((i, (sheet, "%s%d" % (column, row + len(together)))))
    return together, alone


def matches(kind, expected, cell, epoch):
    value = cell.value
    if kind == "error":
        return cell.data_type == "e" and value == expected, value
    if kind == "boolean":
        return value is (expected == "TRUE"), value
    if kind == "text":
        if value is None:  # an empty text reads back as no value
            value = ""
        return isinstance(value, str) and cell.data_type != "e" and value == unquote(expected), value
    if kind == "number":
        if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
            value = to_excel(value, epoch)
        if isinstance(value, bool) or not isinstance(value, (int, float)):
            return False, value
        approximate = expected.startswith("~")
        want = float(expected.lstrip("~"))
        if approximate:
            decimals = len(expected.split(".")[1]) if "." in expected else 0
            return round(value, decimals) == round(want, decimals), value
        return abs(value - want) <= 1e-12 * max(1.0, abs(want)), value
    return True, value


def main():
    tables_dir, work = sys.argv[1], sys.argv[2]
    soffice = sys.argv[3] if len(sys.argv) > 3 else "soffice"
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "in"))
    groups = []  # (file, state, [(table, line, formula, kind, expected, (sheet, cell))])
    for name in sorted(os.listdir(tables_dir)):
        if not name.endswith(".txt"):
            continue
        by_state = {}
        for number, state, formula, kind, expected, note in Table(os.path.join(tables_dir, name)).read().cases:
            if kind in ("refused", "shows") or note == "libreoffice: skip":
                continue
            if note.startswith("libreoffice:"):
                kind, expected = note[len("libreoffice:"):].strip().split(" ", 1)
            by_state.setdefault(id(state), (state, []))[1].append((name, number, formula, kind, expected))
        for state, cases in by_state.values():
            together, alone = case_cells(state, [c[2] for c in cases])
            for part in [together] + [[a] for a in alone]:
                if not part:
                    continue
                file = os.path.join(work, "in", "cases%03d.xlsx" % len(groups))
                placed = [cases[i] + (cell,) for i, cell in part]
                write_cases(file, state, [(c[5], c[2]) for c in placed])
                groups.append((file, state, placed))
    # LibreOffice reads dates, DBNum modifiers and texts as a Chinese user's would.
    env = dict(os.environ, LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
               HOME=os.path.join(work, "home"))
    out = os.path.join(work, "out")
    subprocess.run([soffice, "--headless", "--norestore", "--convert-to", "xlsx:Calc MS Excel 2007 XML",
                    "--outdir", out] + [g[0] for g in groups],
                   check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = computed = 0
    for file, state, placed in groups:
        result = os.path.join(out, os.path.basename(file))
        if not os.path.exists(result):
            failures += len(placed)
            print("%s: LibreOffice could not compute %s" % (placed[0][0], file))
            continue
        wb = openpyxl.load_workbook(result, data_only=True)
        epoch = CALENDAR_MAC_1904 if state["dates"] == 1904 else CALENDAR_WINDOWS_1900
        for name, number, formula, kind, expected, (sheet, ref) in placed:
            computed += 1
            ok, got = matches(kind, expected, wb[sheet][ref], epoch)
            if not ok:
                failures += 1
                print("%s:%d: %s gave %r in LibreOffice, the table expects %s %s" %
                      (name, number, formula, got, kind, expected))
    print("%d cases computed in LibreOffice, %d differ" % (computed, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
