#!/usr/bin/env python3
"""Draws the statistics character map "fps_images.png".

The engine's statistics labels cut it into cells of 12 x 32 pixels, ten to a row from the
top-left corner, one per character from '.' on: '.', '/', then the digits 0 to 9. Glyphs are
white on transparency, centred in their cells; the rest of the picture stays transparent, so
characters outside the map draw nothing.

Usage: make_fps_images.py FONT.ttf OUTPUT.png
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

CELL_WIDTH, CELL_HEIGHT = 12, 32
CELLS_PER_ROW = 10
CHARACTERS = "./0123456789"
# Pixels; a monospaced face at this size advances just under one cell per glyph.
FONT_SIZE = 19


def main(font_path, output_path):
    rows = (len(CHARACTERS) + CELLS_PER_ROW - 1) // CELLS_PER_ROW
    image = Image.new("RGBA", (CELL_WIDTH * CELLS_PER_ROW, CELL_HEIGHT * rows), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    font = ImageFont.truetype(font_path, FONT_SIZE)
    for index, character in enumerate(CHARACTERS):
        left = (index % CELLS_PER_ROW) * CELL_WIDTH
        top = (index // CELLS_PER_ROW) * CELL_HEIGHT
        # "mm" anchors the glyph's middle, so every glyph sits centred in its cell.
        draw.text((left + CELL_WIDTH / 2, top + CELL_HEIGHT / 2), character, font=font,
                  fill=(255, 255, 255, 255), anchor="mm")
    os.makedirs(os.path.dirname(os.path.abspath(output_path)), exist_ok=True)
    # Written beside and renamed, so that an interrupted build leaves no half picture.
    partial = output_path + ".partial"
    image.save(partial, "PNG")
    os.replace(partial, output_path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
