#!/bin/bash
# Fails when a product folder includes a folder above it, or when folders include each other in a
# circle; prints the include map (each folder and the folders it includes) either way.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "$@" <<'PY'
import os, re, sys

# Lowest first: a folder may include only itself and the folders before it.
LAYERS = ["core", "disc", "engine", "dialogs", "playback", "playlist", "ui", "app"]
rank = {name: i for i, name in enumerate(LAYERS)}
include = re.compile(r'^\s*#\s*include\s*"(\w+)/[^"]+"', re.M)

edges = {name: set() for name in LAYERS}
wrong = []
for folder in LAYERS:
    for root, _, files in os.walk(folder):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="utf-8") as source:
                for target in include.findall(source.read()):
                    if target == folder:
                        continue
                    if target not in rank:
                        wrong.append(f"{path}: includes {target}/, which is no layer")
                        continue
                    edges[folder].add(target)
                    if rank[target] > rank[folder]:
                        wrong.append(f"{path}: {folder}/ includes {target}/, a layer above it")

# A circle is reported even where the order above would allow its edges one by one.
state = {}
def visit(node, trail):
    state[node] = "open"
    for nxt in sorted(edges[node]):
        if state.get(nxt) == "open":
            wrong.append("include circle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
        elif nxt not in state:
            visit(nxt, trail + [nxt])
    state[node] = "done"
for node in LAYERS:
    if node not in state:
        visit(node, [node])

for folder in LAYERS:
    below = sorted(edges[folder], key=rank.get)
    print(f"{folder:9} -> {' '.join(below) if below else '(nothing)'}")
for line in wrong:
    print(line, file=sys.stderr)
sys.exit(1 if wrong else 0)
PY
