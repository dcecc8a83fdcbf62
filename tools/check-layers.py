#!/usr/bin/env python3
"""Checks that the product's includes follow the layers, lowest first:

    platform -> lumora (engine/) -> audio, padlink (PadlinkSDK/) -> shell (shell/)
             -> game (game/) -> menu (app/menu/, app/main.cpp)

A file may include its own layer and the layers it builds on (ALLOWED below); audio and padlink
build on platform alone, not on the engine nor on each other. Two layers stand on floors of their
own (FLOORS below): a file includes its own floor and the floors beneath it, never one above,
except for the few back-edges the design has (BACK_EDGES), each from one source file to one
header:

    engine/core -> engine/render -> engine/actions
    game/core -> game/objects Every include of a product file is
read, quoted or angled, rooted at the tree top or relative to the including file; includes that
name no product file (system and library headers) are not layers' business. Tests, benchmarks and
tools are not product and may include anything.

Usage: check-layers.py [TREE]   (TREE defaults to the tree this script lives in)
Prints one line per forbidden include, "file:line: ...", and exits 1 when there is any; else
prints a count and exits 0.
"""

import os
import re
import sys

# Folder (relative to the tree top, "/"-separated) -> layer; the longest matching prefix wins.
LAYER_OF_FOLDER = {
    "platform/": "platform",
    "engine/": "lumora",
    "audio/": "audio",
    "PadlinkSDK/": "padlink",
    "shell/": "shell",
    "game/": "game",
    "app/menu/": "menu",
    "app/": "menu",  # main.cpp: the executable starts the application from the top layer
}

# What each layer may include, itself included.
ALLOWED = {
    "platform": {"platform"},
    "lumora": {"platform", "lumora"},
    "audio": {"platform", "audio"},
    "padlink": {"platform", "padlink"},
    "shell": {"platform", "lumora", "audio", "padlink", "shell"},
    "game": {"platform", "lumora", "audio", "padlink", "shell", "game"},
    "menu": {"platform", "lumora", "audio", "padlink", "shell", "game", "menu"},
}

# The floors of a layer, lowest first.
FLOORS = {
    "lumora": ["engine/core/", "engine/render/", "engine/actions/"],
    "game": ["game/core/", "game/objects/"],
}

# (including file, included file) pairs allowed to reach a floor up: a node runs its actions and
# the director ticks their manager, and a label menu item zooms while pressed.
BACK_EDGES = {
    ("engine/core/CCNode.cpp", "engine/actions/CCActionManager.h"),
    ("engine/core/CCDirector.cpp", "engine/actions/CCActionManager.h"),
    ("engine/render/CCMenuItemLabel.cpp", "engine/actions/interval/CCScaleTo.h"),
}

SOURCE_SUFFIXES = (".h", ".hpp", ".hh", ".inl", ".ipp", ".c", ".cc", ".cpp", ".cxx", ".mm", ".m")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(relative_path):
    """The layer of a path relative to the tree top, or None outside the product."""
    best = None
    for folder, layer in LAYER_OF_FOLDER.items():
        if relative_path.startswith(folder) and (best is None or len(folder) > len(best[0])):
            best = (folder, layer)
    return best[1] if best else None


def floor_of(relative_path):
    """The floor of a path (its folder in FLOORS, and its height), or None on a layer without floors."""
    for height, floor in enumerate(FLOORS.get(layer_of(relative_path), [])):
        if relative_path.startswith(floor):
            return floor, height
    return None


def forbidden(relative, target):
    """Why the file may not include the target, or None when it may."""
    layer, target_layer = layer_of(relative), layer_of(target)
    if target_layer not in ALLOWED[layer]:
        return f"{layer} may not include {target} ({target_layer})"
    here, there = floor_of(relative), floor_of(target)
    if layer == target_layer and here and there and there[1] > here[1] and (relative, target) not in BACK_EDGES:
        return f"{here[0].rstrip('/')} may not include {target} (the floor {there[0].rstrip('/')} above it)"
    return None


def included_path(tree, including, delimiter, target):
    """The product file an include names, relative to the tree top, or None when it names none.

    A quoted include is looked for beside the including file first, as the compiler does; then,
    like an angled one, from the tree top (the include root every library has)."""
    candidates = []
    if delimiter == '"':
        candidates.append(os.path.join(os.path.dirname(including), target))
    candidates.append(target)
    for candidate in candidates:
        relative = os.path.normpath(candidate).replace(os.sep, "/")
        if relative.startswith("../"):
            continue
        if layer_of(relative) and os.path.isfile(os.path.join(tree, relative)):
            return relative
    return None


def product_files(tree):
    folders = sorted({folder.split("/")[0] for folder in LAYER_OF_FOLDER})
    for folder in folders:
        for directory, subdirectories, files in os.walk(os.path.join(tree, folder)):
            subdirectories.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    path = os.path.join(directory, name)
                    yield os.path.relpath(path, tree).replace(os.sep, "/")


def violations(tree):
    """The forbidden includes as (file, line number, message), and how many includes were read."""
    found = []
    count = 0
    for relative in product_files(tree):
        layer = layer_of(relative)
        with open(os.path.join(tree, relative), encoding="utf-8", errors="replace") as source:
            for number, text in enumerate(source, start=1):
                match = INCLUDE.match(text)
                if not match:
                    continue
                target = included_path(tree, relative, match.group(1), match.group(2))
                if target is None:
                    continue
                count += 1
                reason = forbidden(relative, target)
                if reason:
                    found.append((relative, number, reason))
    return found, count


def main(arguments):
    here = os.path.dirname(os.path.abspath(__file__))
    tree = os.path.abspath(arguments[1] if len(arguments) > 1 else os.path.join(here, ".."))
    found, count = violations(tree)
    for relative, number, message in found:
        print(f"{relative}:{number}: {message}")
    if found:
        print(f"layers: {len(found)} forbidden include(s) of {count}", file=sys.stderr)
        return 1
    print(f"layers: {count} includes of product files follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
