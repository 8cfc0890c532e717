#!/usr/bin/env python3
"""check_link_graph.py BUILD_DIR: the floors of src/ as the build links them.

Reads the library graph CMake writes (cmake --graphviz) and fails, naming the path, when
  - the project's libraries link each other in a cycle, or
  - the updater links, directly or through another library, a library outside its floor
    (the platform layer, the pictures, the forms, the controls and the update client).
"""
import os
import re
import subprocess
import sys
import tempfile

# What the updater may link: nothing of the browser, the login, the main window or start-up.
# The pictures decode its skin's larger art sets.
UPDATER_MAY_LINK = {
    "xcyh2_base", "xcyh2_picture", "xcyh2_picture_core", "xcyh2_forms", "xcyh2_controls", "xcyh2_controls_core",
    "xcyh2_update", "xcyh2_update_core", "xcyh2_updater_core", "xcyh2_updater_resources",
}


def read_graph(build_dir):
    """{target: set of project targets it links}, from CMake's own graph of the build."""
    with tempfile.TemporaryDirectory() as out:
        dot = os.path.join(out, "graph.dot")
        subprocess.run(["cmake", "--graphviz=" + dot, "."], cwd=build_dir, check=True,
                       stdout=subprocess.DEVNULL)
        text = open(dot, encoding="utf-8").read()
    names = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text))
    links = {}
    for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
        links.setdefault(names[a], set()).add(names[b])
    return links


def find_cycle(links, nodes):
    """One cycle among nodes as a list of names (first repeated last), or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        path.append(node)
        for nxt in sorted(links.get(node, ())):
            if nxt not in nodes:
                continue
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, path)
                if found:
                    return found
        path.pop()
        state[node] = "done"
        return None

    for node in sorted(nodes):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def path_to(links, start, goal):
    """The chain of links from start to goal (breadth first), for the message."""
    seen, queue = {start: None}, [start]
    while queue:
        node = queue.pop(0)
        if node == goal:
            chain = []
            while node:
                chain.append(node)
                node = seen[node]
            return chain[::-1]
        for nxt in sorted(links.get(node, ())):
            if nxt not in seen:
                seen[nxt] = node
                queue.append(nxt)
    return [start, goal]


def main(build_dir):
    links = read_graph(build_dir)
    libraries = {n for n in links.keys() | {m for v in links.values() for m in v} if n.startswith("xcyh2_")}
    faults = []
    cycle = find_cycle(links, libraries)
    if cycle:
        faults.append("libraries link each other in a cycle: " + " -> ".join(cycle))
    if "Update" not in links:
        faults.append("no Update target in the graph of " + build_dir)
    else:
        reached, queue = set(), ["Update"]
        while queue:
            for nxt in links.get(queue.pop(), ()):
                if nxt not in reached:
                    reached.add(nxt)
                    queue.append(nxt)
        for lib in sorted(n for n in reached if n.startswith("xcyh2_") and n not in UPDATER_MAY_LINK):
            faults.append("the updater links " + lib + ": " + " -> ".join(path_to(links, "Update", lib)))
    for fault in faults:
        print(fault, file=sys.stderr)
    if not faults:
        print("%d libraries, no cycle; the updater links %s" % (
            len(libraries), ", ".join(sorted(n for n in links["Update"] if n.startswith("xcyh2_")))))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
