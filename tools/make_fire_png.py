#!/usr/bin/env python3
"""Draws "fire.png", the particle texture of the ready-made particle effects.

A 32 x 32 white disc whose alpha falls from opaque at the centre to transparent at the edge
(quadratically in the distance, so particles blend into soft glows); the corners stay fully
transparent. The effects colour it with their particle colours.

Usage: make_fire_png.py OUTPUT.png
"""

import os
import sys

from PIL import Image

SIZE = 32


def main(output_path):
    image = Image.new("RGBA", (SIZE, SIZE), (255, 255, 255, 0))
    centre = (SIZE - 1) / 2
    for y in range(SIZE):
        for x in range(SIZE):
            distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5 / (SIZE / 2)
            alpha = max(0.0, 1.0 - distance) ** 2
            image.putpixel((x, y), (255, 255, 255, round(alpha * 255)))
    os.makedirs(os.path.dirname(os.path.abspath(output_path)), exist_ok=True)
    # Written beside and renamed, so that an interrupted build leaves no half picture.
    partial = output_path + ".partial"
    image.save(partial, "PNG")
    os.replace(partial, output_path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
