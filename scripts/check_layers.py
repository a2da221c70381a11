#!/usr/bin/env python3
"""Fails when a project header is included from a layer that may not see it.

Each layer names the layers directly below it; a layer may include its own headers and those of every layer
below it, directly or through others. The link line alone does not stop an upward include of a header-only
class, so this check does.
"""
import re
import subprocess
import sys
from pathlib import Path

# Folder -> the layers directly below it. The longest matching folder decides a file's layer.
BELOW = {
    "codec": [],
    "platform": ["codec"],
    "platform/qt": ["platform"],
    "platform/fake": ["platform"],
    "platform/fake/qt": ["platform/qt", "platform/fake"],
    "transport": ["platform", "codec"],
    "netenum": ["transport", "platform", "codec"],
    "forms": ["platform/qt"],
    "settings": ["forms", "platform/qt"],
    "tray": ["platform/qt"],
    "chat": ["transport", "settings", "tray"],
    "about": ["forms"],
    "app": ["chat", "about", "netenum", "settings", "tray", "forms", "transport", "platform/qt", "platform"],
    "tools": ["transport", "netenum"],
}
# Tests, benchmarks and fuzzers drive any layer.
UNRESTRICTED = ("tests", "bench", "fuzz")

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def reachable(layer):
    seen, todo = set(), [layer]
    while todo:
        current = todo.pop()
        if current not in seen:
            seen.add(current)
            todo.extend(BELOW[current])
    return seen


def layer_of(path):
    folder = path.parent.as_posix()
    while folder not in BELOW and folder not in UNRESTRICTED:
        if "/" not in folder:
            return None
        folder = folder.rsplit("/", 1)[0]
    return folder


def main():
    root = Path(__file__).resolve().parent.parent
    files = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard", "--", "*.cpp", "*.h"],
                           cwd=root, check=True, capture_output=True, text=True).stdout.split()
    violations = []
    for name in files:
        source = Path(name)
        layer = layer_of(source)
        if layer is None:
            violations.append(f"{name}: not in any layer; add its folder to scripts/check_layers.py")
            continue
        if layer in UNRESTRICTED:
            continue
        allowed = reachable(layer)
        for number, line in enumerate((root / source).read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1) or not (root / match.group(1)).is_file():
                continue
            target = layer_of(Path(match.group(1)))
            if target not in allowed:
                violations.append(f"{name}:{number}: layer {layer} includes {match.group(1)} of layer {target}")
    for violation in violations:
        print(violation, file=sys.stderr)
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main())
