#!/usr/bin/env python3
"""Keeps the layers of src: reads every #include "..." line of the sources and
fails on an include of a folder that is not below the including one in the
layer list, on a circle between folders, on a folder the list does not place,
and on a folder that directly holds more than the allowed number of lines.

usage: check-layers.py SRC-DIR LAYER-LIST [--max-lines N]
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".cpp", ".c", ".inl")
MAX_LINES = 3000


def read_layers(path):
    rank = {}
    for level, line in enumerate(
            l.split("#", 1)[0].split() for l in open(path, encoding="utf-8")):
        for folder in line:
            rank[folder] = level
    return rank


def source_files(src):
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                full = os.path.join(root, name)
                yield full, os.path.relpath(full, src).replace(os.sep, "/")


def folder_of(relative):
    return relative.rsplit("/", 1)[0] if "/" in relative else ""


def find_circle(edges):
    """A list of folders that include each other round, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        path.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, path)
                if found:
                    return found
        path.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def check(src, layer_list, max_lines):
    rank = read_layers(layer_list)
    faults = []
    edges = {}
    lines_in = {}
    for full, relative in source_files(src):
        folder = folder_of(relative)
        with open(full, encoding="utf-8", errors="replace") as text:
            content = text.read().splitlines()
        lines_in[folder] = lines_in.get(folder, 0) + len(content)
        if folder not in rank:
            faults.append(f"{relative}: folder '{folder}' has no place in the layer list")
            continue
        for number, line in enumerate(content, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = match.group(1)
            target_folder = folder_of(target)
            if not os.path.exists(os.path.join(src, target)):
                # A header beside the file (or a generated one) is not a
                # folder of src; only includes that name a source file count.
                continue
            if target_folder == folder:
                continue
            edges.setdefault(folder, set()).add(target_folder)
            if target_folder not in rank:
                faults.append(f"{relative}:{number}: includes {target}, whose folder "
                              f"'{target_folder}' has no place in the layer list")
            elif rank[target_folder] == rank[folder]:
                faults.append(f"{relative}:{number}: includes {target}: '{folder}' and "
                              f"'{target_folder}' stand side by side")
            elif rank[target_folder] < rank[folder]:
                faults.append(f"{relative}:{number}: includes {target}: '{target_folder}' "
                              f"lies above '{folder}'")
    circle = find_circle(edges)
    if circle:
        faults.append("folders include each other round: " + " -> ".join(circle))
    for folder, count in sorted(lines_in.items()):
        if count > max_lines:
            faults.append(f"{folder or '.'}: {count} lines directly in the folder, "
                          f"more than {max_lines}")
    return faults


def main(argv):
    if len(argv) not in (3, 5) or (len(argv) == 5 and argv[3] != "--max-lines"):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    max_lines = int(argv[4]) if len(argv) == 5 else MAX_LINES
    faults = check(argv[1], argv[2], max_lines)
    for fault in faults:
        print(fault)
    if faults:
        print(f"source layers: {len(faults)} fault(s)")
        return 1
    print("source layers: every include follows the layer list")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
