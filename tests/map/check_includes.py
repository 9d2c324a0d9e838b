#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks every #include of the source folders against the folder table of ARCHITECTURE.md.

A folder's row names what it may include ("nothing of ours", a list of folders, "all of the
above"); an include of one of our folders that its row does not name fails, and so does a Qt
header outside the folders the table allows Qt in. Prints each break as FILE:LINE: what, and
exits 1 when there is one.
"""
import pathlib
import re
import sys

ROW = re.compile(r"^\| `([a-z_]+)/` \|.*\| (.+?) \| (\S+) \|$")
FOLDER = re.compile(r"`([a-z_]+)/`")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Where Qt may be seen (the table's Qt column, with the test and tool folders it names).
QT_FOLDERS = ("app/", "tests/app/", "bench/", "tools/")


def read_table(architecture):
    """Folder -> the set of our folders it may include, in the table's order."""
    allowed, above = {}, []
    for line in architecture.read_text(encoding="utf-8").splitlines():
        match = ROW.match(line)
        if not match:
            continue
        folder, may = match.group(1), match.group(2)
        if may == "all of the above":
            allowed[folder] = set(above)
        elif may in ("anything", "the layers it fuzzes"):
            allowed[folder] = None
        elif may == "nothing of ours":
            allowed[folder] = set()
        else:
            allowed[folder] = set(FOLDER.findall(may))
        above.append(folder)
    return allowed


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    allowed = read_table(root / "ARCHITECTURE.md")
    ours = set(allowed)
    if not ours:
        print("ARCHITECTURE.md: no folder table found")
        return 1
    breaks = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(root).parts[0]:
            continue
        relative = path.relative_to(root).as_posix()
        folder = relative.split("/", 1)[0]
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, header = match.groups()
            if quote == "<" and re.match(r"Q[A-Za-z]+$", header) and not relative.startswith(QT_FOLDERS):
                breaks.append(f"{relative}:{number}: Qt header <{header}> outside the window")
            target = header.split("/", 1)[0]
            if quote == '"' and "/" in header and target in ours and folder in allowed and target != folder:
                if allowed[folder] is not None and target not in allowed[folder]:
                    breaks.append(f"{relative}:{number}: {folder}/ may not include {header}")
    for line in breaks:
        print(line)
    return 1 if breaks else 0


if __name__ == "__main__":
    sys.exit(main())
