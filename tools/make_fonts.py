#!/usr/bin/env python3
"""Draws the bitmap fonts of the in-game message bubbles and the menu.

Writes, into OUTPUT_DIR, for each font a text ".fnt" description and its single page picture:
  FuturaBeeLarge_osx.fnt + .png    in-game bubbles: the big first line (numbers, short words)
  FuturaBee_osx.fnt + .png         in-game bubbles: the small two-line captions
  FuturaBee.fnt + .png             menu: a level's best score
  FuturaBeeStats.fnt + .png        menu: the flight log's counters
  FuturaBeeStatsLarge.fnt + .png   menu: the flight log's honey total
  FuturaBeeFacts.fnt + .png        the bee facts shown between the menu and a game; sized so that
                                   the longest line (31 characters) and its shadow, 24 points to
                                   the right, fit in the right half of a 1024 point window

Glyphs are white with a soft dark outline, so that the game can tint them and they still read over
sky, ground and clouds. The character set is A-Z, 0-9, space and + - ! ' / . , : ? ; (the game's
texts are in capitals); the facts font adds "=" and ")".

Usage: make_fonts.py FONT.ttf OUTPUT_DIR
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

from art import output, sheet
from art.paint import SS, Canvas

CHARACTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 +-!'/.,:?;"
OUTLINE_COLOUR = (34, 20, 16, 235)

# name: (font size in pixels, outline width in pixels)
FONTS = {
    "FuturaBeeLarge_osx": (34, 3.0),
    "FuturaBee_osx": (17, 2.0),
    "FuturaBee": (22, 2.5),
    "FuturaBeeStats": (22, 2.5),
    "FuturaBeeStatsLarge": (34, 3.0),
    "FuturaBeeFacts": (20, 2.5),
}
EXTRA_CHARACTERS = {"FuturaBeeFacts": "=)"}


def glyph(font_path, size, outline, character, pad):
    """The glyph picture and its metrics (left and top of the ink box, in pixels from the pen
    position on the baseline) for one character."""
    font = ImageFont.truetype(font_path, size * SS)
    left, top, right, bottom = font.getbbox(character, anchor="ls")
    l1, t1 = math.floor(left / SS), math.floor(top / SS)
    r1, b1 = math.ceil(right / SS), math.ceil(bottom / SS)
    width, height = r1 - l1 + 2 * pad, b1 - t1 + 2 * pad
    c = Canvas(width, height)
    mask = c.new_mask()
    ImageDraw.Draw(mask).text(((pad - l1) * SS, (pad - t1) * SS), character, font=font, fill=255, anchor="ls")
    c.fill(c.blur(c.dilate(mask, outline), 0.5), OUTLINE_COLOUR)
    c.fill(mask, (255, 255, 255))
    return c.result(), l1, t1


def build(font_path, name, size, outline):
    characters = CHARACTERS + EXTRA_CHARACTERS.get(name, "")
    pad = math.ceil(outline) + 1
    font = ImageFont.truetype(font_path, size)
    cap_height = math.ceil(-ImageFont.truetype(font_path, size * SS).getbbox("H", anchor="ls")[1] / SS)
    base = pad + cap_height
    line_height = base + round(size * 0.3) + pad
    pictures, metrics = {}, {}
    for character in characters:
        if character == " ":
            pictures[character] = Image.new("RGBA", (1, 1))
            metrics[character] = (0, 0)
        else:
            pictures[character], left, top = glyph(font_path, size, outline, character, pad)
            metrics[character] = (left - pad, base + top - pad)
    page, rects = sheet.pack(pictures)
    # Glyphs overlap their neighbours by part of their outlines; the advance adds one pixel.
    lines = [
        'info face="DejaVu Sans Bold" size=%d bold=1 italic=0 charset="" unicode=1 stretchH=100 smooth=1 aa=1 '
        'padding=%d,%d,%d,%d spacing=2,2' % (size, pad, pad, pad, pad),
        "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=1 packed=0" % (line_height, base, *page.size),
        'page id=0 file="%s.png"' % name,
        "chars count=%d" % len(characters),
    ]
    for character in characters:
        x, y, w, h = rects[character]
        xoffset, yoffset = metrics[character]
        advance = round(font.getlength(character)) + 1
        lines.append("char id=%d x=%d y=%d width=%d height=%d xoffset=%d yoffset=%d xadvance=%d page=0 chnl=15"
                     % (ord(character), x, y, w, h, xoffset, yoffset, advance))
    kernings = []
    for first in characters:
        for second in characters:
            amount = round(font.getlength(first + second) - font.getlength(first) - font.getlength(second))
            if amount:
                kernings.append("kerning first=%d second=%d amount=%d" % (ord(first), ord(second), amount))
    lines.append("kernings count=%d" % len(kernings))
    lines += kernings
    return page, "\n".join(lines) + "\n"


def main(font_path, out_dir):
    for name, (size, outline) in FONTS.items():
        page, text = build(font_path, name, size, outline)
        output.save_png(page, os.path.join(out_dir, name + ".png"))
        output.save_text(text, os.path.join(out_dir, name + ".fnt"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
