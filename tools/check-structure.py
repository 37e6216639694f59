#!/usr/bin/env python3
"""Checks the shape of the tree from the tracked files: no source file over 800 lines, and the
#include lines between folders keep the layers (app -> components -> foundation -> platform)
and form no cycle. `--graph` prints the folder graph it derived."""
import collections
import re
import subprocess
import sys

MAX_LINES = 800
# Lower layers first; a folder may include its own layer's folders and lower ones.
LAYERS = ["platform", "foundation", "components", "app"]
# Subfolders that belong to their parent's library count as the parent.
ONE_LIBRARY = {"platform/core/com": "platform/core", "platform/core/shell": "platform/core"}
INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder(path):
    name = path.rsplit("/", 1)[0] if "/" in path else "."
    return ONE_LIBRARY.get(name, name)


def layer(name):
    top = name.split("/", 1)[0]
    return LAYERS.index(top) if top in LAYERS else None


def cycles(graph):
    """Strongly connected components of more than one folder (Tarjan)."""
    index, low, stack, on, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while True:
                w = stack.pop()
                on.discard(w)
                part.append(w)
                if w == v:
                    break
            if len(part) > 1:
                found.append(sorted(part))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    files = subprocess.check_output(["git", "ls-files", "*.cpp", "*.h"], text=True).split()
    known = set(files)
    problems = []
    graph = collections.defaultdict(set)
    why = {}
    for path in files:
        with open(path, encoding="utf-8", errors="replace") as f:
            lines = f.readlines()
        if len(lines) > MAX_LINES:
            problems.append(f"{path}: {len(lines)} lines (at most {MAX_LINES})")
        for line in lines:
            m = INCLUDE.match(line)
            if not m or m.group(1) not in known:
                continue
            a, b = folder(path), folder(m.group(1))
            if a == b:
                continue
            graph[a].add(b)
            why.setdefault((a, b), f"{path} includes {m.group(1)}")
            la, lb = layer(a), layer(b)
            if la is not None and (lb is None or lb > la):
                problems.append(f"{a} -> {b} goes up a layer: {why[(a, b)]}")
    for part in cycles(graph):
        edges = [why[(a, b)] for a in part for b in part if (a, b) in why]
        problems.append("include cycle between " + ", ".join(part) + ": " + "; ".join(edges))
    if "--graph" in sys.argv:
        for a in sorted(graph):
            print(a, "->", " ".join(sorted(graph[a])))
    for p in sorted(set(problems)):
        print(p, file=sys.stderr)
    if not problems:
        print(f"structure: {len(files)} files, none over {MAX_LINES} lines; {len(graph)} folders, "
              "layers kept, no include cycle")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
