#!/usr/bin/python3
"""Checks that the folders of src/ include only the layers below them.

Usage: check_layers.py [SRC_DIR]     (default: the src/ folder next to tools/)

Reads every #include "..." of every .h and .cpp file below SRC_DIR. A folder
may include its own headers and those of the folders LAYERS names for it (the
README's folder table); anything else is reported with its file and line, as is
an include of an unknown folder. Exits 1 when something is reported.
"""

import os
import re
import sys

# What each folder may include besides itself. An arrow in the README's diagram
# points at what may be used; the lists spell out every layer below, directly
# or not.
LAYERS = {
    "base": [],
    "winui": ["base"],
    "engine": ["base"],
    "backup": ["base", "engine"],
    "shortcuts": ["base", "engine"],
    "run": ["base", "engine", "backup", "shortcuts"],
    "skin": ["base", "winui"],
    "scheduler": ["base", "winui"],
    "scan_dialog": ["base", "winui", "engine", "backup", "shortcuts", "run", "skin", "scheduler"],
    "cli": ["base", "winui", "engine", "backup", "shortcuts", "run", "scheduler"],
    "app": ["base", "winui", "engine", "backup", "shortcuts", "run", "skin", "scheduler", "scan_dialog"],
}
# Headers of resources/ (not a layer): the controls and strings of the program's resources.
RESOURCE_HEADERS = {"resource.h": ["scheduler", "app"]}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def problems_of(path, folder, relative):
    """(line number, text) of every forbidden include of one file."""
    found = []
    allowed = set(LAYERS[folder]) | {folder}
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            header = match.group(1)
            parts = header.split("/")
            if len(parts) == 1:
                if folder not in RESOURCE_HEADERS.get(header, []):
                    found.append((number, f'{folder} may not include "{header}" (name the folder)'))
            elif parts[0] not in LAYERS:
                found.append((number, f'"{header}" is not in a known folder of src/'))
            elif parts[0] not in allowed:
                found.append((number, f'{folder} may not include "{header}"'))
    return [(relative, number, text) for number, text in found]


def check(src):
    problems = []
    for folder in sorted(os.listdir(src)):
        top = os.path.join(src, folder)
        if not os.path.isdir(top):
            continue
        if folder not in LAYERS:
            problems.append((folder, 0, f"folder {folder} has no place in the layers"))
            continue
        for directory, _, files in sorted(os.walk(top)):
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(directory, name)
                    relative = os.path.relpath(path, os.path.dirname(src.rstrip("/")))
                    problems += problems_of(path, folder, relative)
    return problems


def main(argv):
    src = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    if not os.path.isdir(src):
        print(f"{src}: not a folder", file=sys.stderr)
        return 2
    problems = check(os.path.normpath(src))
    for relative, number, text in problems:
        print(f"{relative}:{number}: {text}")
    if problems:
        print(f"{len(problems)} include(s) break the layers")
        return 1
    print("layers kept")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
