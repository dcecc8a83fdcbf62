"""Writing generated files so that an interrupted build leaves no half-written file behind."""

import os
import plistlib


def prepare(path):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    return path + ".partial"


def save_png(image, path):
    partial = prepare(path)
    image.save(partial, "PNG", optimize=False)
    os.replace(partial, path)


def save_plist(value, path):
    partial = prepare(path)
    with open(partial, "wb") as out:
        plistlib.dump(value, out, fmt=plistlib.FMT_XML, sort_keys=True)
    os.replace(partial, path)


def save_text(text, path):
    partial = prepare(path)
    with open(partial, "w", encoding="utf-8", newline="\n") as out:
        out.write(text)
    os.replace(partial, path)
