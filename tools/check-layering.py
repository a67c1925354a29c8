#!/usr/bin/env python3
"""Checks that includes point one way between the parts of the tree.

    check-layering.py [ROOT]

Every #include of the C++ sources under ROOT (default: the repository) is checked
against the rules below; each offending include is printed as FILE:LINE: RULE and the
exit status is 1 when there is one, 0 otherwise.

  addin/            includes only addin/, the standard library and the few system
                    libraries the add-in already uses (libcurl, iconv, POSIX)
  platform/engine   includes nothing of platform/headless, platform/desktop,
                    platform/print, tools/, and no Qt
  platform/print    includes nothing of platform/headless or platform/desktop, and
                    no Qt Widgets
  platform/headless includes nothing of platform/desktop, and no Qt Widgets
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")

# The C++ standard library's headers, the C library's, and the system headers the
# add-in is allowed to use.
STANDARD = set("""
algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv
chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar
cwchar cwctype deque exception execution filesystem format forward_list fstream functional
future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list
locale map memory memory_resource mutex new numbers numeric optional ostream queue random
ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
sstream stack stdexcept stop_token streambuf string string_view syncstream system_error
thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray
variant vector version
""".split())
ADDIN_SYSTEM = {
    "curl/curl.h", "iconv.h", "dlfcn.h", "unistd.h", "fcntl.h", "locale.h", "wctype.h",
    "sys/stat.h", "sys/types.h", "sys/time.h", "time.h", "errno.h",
}
QT_WIDGETS = re.compile(r"^(QtWidgets/|QtTest/|Q(Application|Widget|Dialog|MainWindow|"
                        r"MessageBox|PushButton|Label|LineEdit|ComboBox|ListView|"
                        r"TreeWidget|TableView|Test)\b)")
QT_ANY = re.compile(r"^Q[A-Z]|^Qt[A-Z]")


def forbidden(part, target, angle):
    """The rule an include breaks, or None. `target` is a path from the root for a
    quoted include, the header's name for an angle include."""
    if part == "addin":
        if angle:
            if target in STANDARD or target in ADDIN_SYSTEM:
                return None
            return "the add-in includes only the standard library and its system libraries"
        if not target.startswith("addin/"):
            return "the add-in includes only addin/"
        return None
    if part == "platform/engine":
        if angle:
            return "the engine links no Qt" if QT_ANY.match(target) else None
        for other in ("platform/headless/", "platform/desktop/", "platform/print/", "tools/"):
            if target.startswith(other):
                return "the engine includes nothing of " + other.rstrip("/")
        return None
    if part in ("platform/print", "platform/headless"):
        if angle:
            return part + " uses no Qt Widgets" if QT_WIDGETS.match(target) else None
        banned = ["platform/desktop/"] + (["platform/headless/"] if part == "platform/print" else [])
        for other in banned:
            if target.startswith(other):
                return part + " includes nothing of " + other.rstrip("/")
        return None
    return None


def part_of(relative):
    for part in ("addin", "platform/engine", "platform/print", "platform/headless"):
        if relative == part or relative.startswith(part + "/"):
            return part
    return None


def resolve(root, source, name):
    """A quoted include as a path from the root: beside the file first, as the
    compiler looks, else from the root (the include path of every target)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(source), name))
    if os.path.exists(os.path.join(root, beside)):
        return beside.replace(os.sep, "/")
    return os.path.normpath(name).replace(os.sep, "/")


def check(root):
    problems = []
    for folder in ("addin", "platform/engine", "platform/print", "platform/headless"):
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, file_name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                part = part_of(relative)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        angle = match.group(1) == "<"
                        name = match.group(2)
                        target = name if angle else resolve(root, relative, name)
                        rule = forbidden(part, target, angle)
                        if rule:
                            problems.append("%s:%d: #include %s%s%s: %s" % (
                                relative, number, match.group(1), name,
                                ">" if angle else '"', rule))
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    problems = check(os.path.abspath(root))
    for problem in problems:
        print(problem)
    if problems:
        print("%d include(s) break the layering" % len(problems))
        return 1
    print("layering holds")
    return 0


if __name__ == "__main__":
    sys.exit(main())
