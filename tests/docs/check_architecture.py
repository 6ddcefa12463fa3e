#!/usr/bin/env python3
"""Keeps docs/architecture.md true to the tree: every path it names exists (platform
folders may be named from inside platform/ or platform/hosts/), and every function it
places in a file, as `Function` (`path`), stands in that file."""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1])
text = (root / "docs/architecture.md").read_text()
problems = []

paths = set(re.findall(r"`([\w./{},-]+/[\w./{},-]*)`", text))
for path in sorted(paths):
    # A {a,b} group names several folders.
    group = re.match(r"(.*)\{([^}]*)\}(.*)", path)
    expanded = [group[1] + part + group[3] for part in group[2].split(",")] if group else [path]
    for each in expanded:
        # Platform folders are also named from inside platform/ or platform/hosts/.
        bases = [root, root / "platform", root / "platform/hosts"]
        if not any((base / each.rstrip("/")).exists() for base in bases):
            problems.append(f"no {each}")

# `Name` ... (`file`) within one sentence: the name must stand in the file.
for sentence in re.split(r"(?<=[.:;])\s", text):
    files = re.findall(r"\(`([\w./-]+\.(?:cpp|h))`\)", sentence)
    for file in files:
        source = root / file
        if not source.exists():
            continue
        before = sentence.split(f"(`{file}`)")[0]
        names = re.findall(r"`((?:\w+::)?[A-Z]\w+)`", before)
        if names and names[-1].split("::")[-1] not in source.read_text():
            problems.append(f"{names[-1]} is not in {file}")

for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
