#!/usr/bin/env python3
"""Fails when a source folder includes a folder of a later layer, or when a
plain C++ folder includes Qt.

The layers are the program's subsystems in the order they are built; the
README's developer map describes the same table. Within a layer a folder may
use the folders listed before it, so that the order stays a line and no two
folders use each other.
"""
import pathlib
import re
import sys

LAYERS = [
    ["dbase", "numbering", "pdf", "core", "mailer"],  # plain C++: no Qt
    ["platform"],                              # the Qt edge
    ["print", "report"],
    ["log", "addresses", "dialogs"],
    ["app"],
]
PLAIN_CXX = set(LAYERS[0])

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def allowed_folders():
    """For each folder, the folders its code may include (itself included)."""
    allowed, before = {}, []
    for layer in LAYERS:
        for folder in layer:
            before.append(folder)
            allowed[folder] = set(before)
    return allowed


def main(top):
    allowed = allowed_folders()
    faults = []
    for folder, may_use in allowed.items():
        for source in sorted((top / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp", ".hpp", ".cc") or not source.is_file():
                continue
            lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, target = match.groups()
                where = f"{source.relative_to(top)}:{number}"
                if bracket == '"' and "/" in target:
                    used = target.split("/", 1)[0]
                    if used in allowed and used not in may_use:
                        faults.append(f"{where}: {folder}/ includes {target}, "
                                      f"but {used}/ is in a later layer")
                elif bracket == "<" and folder in PLAIN_CXX and re.match(r"Q|qt", target):
                    faults.append(f"{where}: {folder}/ is plain C++ but includes <{target}>")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the layers (see the README's developer map)")
        return 1
    print("every include follows the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()))
