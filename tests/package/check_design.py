#!/usr/bin/env python3
"""Holds docs/design.md's tables of folders and of the Qt front end's files to the tree: every folder and file
named exists, and every folder of src/ and every file of src/qt is named."""

import fnmatch
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
text = (root / "docs/design.md").read_text(encoding="utf-8")


def first_cells(heading):
    """The backquoted names in the first column of the table after the line that starts with `heading`."""
    lines = iter(text[text.index(heading):].splitlines())
    row = next(line for line in lines if line.startswith("|"))
    names = []
    while row.startswith("|"):
        names += re.findall(r"`([^`]+)`", row.split("|")[1])
        row = next(lines, "")
    return names


def expand(name):
    """`qt_toolkit.{h,cpp}` names two files, `sound*` a pattern, `main_window` every file of that stem."""
    braces = re.fullmatch(r"(.*)\{(.*)\}", name)
    if braces:
        return [braces[1] + ending for ending in braces[2].split(",")]
    return [name] if "." in name or "*" in name else [name + ".*"]


problems = []
folders = [n for n in first_cells("| folder |") if n.startswith("src/")]
for folder in folders:
    if not (root / folder).is_dir():
        problems.append("the folder table names %s, which is not a folder" % folder)
for folder in sorted(p for p in (root / "src").iterdir() if p.is_dir()):
    if str(folder.relative_to(root)) not in folders:
        problems.append("the folder table does not name %s" % folder.relative_to(root))

files = sorted(p.name for p in (root / "src/qt").iterdir() if p.is_file() and p.name != "CMakeLists.txt")
patterns = [pattern for name in first_cells("`src/qt`, by concern:") for pattern in expand(name)]
for pattern in patterns:
    if not fnmatch.filter(files, pattern):
        problems.append("the table of src/qt names %s, which matches no file" % pattern)
for name in files:
    if not any(fnmatch.fnmatch(name, pattern) for pattern in patterns):
        problems.append("the table of src/qt does not name %s" % name)

for problem in problems:
    print("docs/design.md: " + problem)
sys.exit(1 if problems else 0)
