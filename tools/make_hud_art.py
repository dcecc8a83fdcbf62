#!/usr/bin/env python3
"""Draws the play scene's HUD sheet: pause button, planet position indicator, pause menu and
end-of-level menu, sized for a 1024 x 768 window.

Writes hud.png + hud.plist into OUTPUT_DIR. Buttons are honey-gold pills (green for the ones that
go on playing) with white lettering; their "_selected" forms are lighter and pressed down 2 pixels.
The end titles leave 22 clear pixels at their bottom, where the "hive opened" line overlaps them.

Usage: make_hud_art.py FONT.ttf OUTPUT_DIR
"""

import math
import os
import sys

from PIL import ImageChops

from art import sheet
from art.paint import INK, Canvas, darker, lighter

HONEY = (255, 184, 40)
LEAF = (110, 196, 72)
BERRY = (236, 104, 72)
CREAM = (255, 246, 220)


def lettering(c, font, text, size, centre, fill=(255, 255, 255), ink=INK, outline=None, light=None, dark=None):
    """Outlined text with a soft shadow and a top-to-bottom sheen."""
    mask = c.text_mask(text, font, size, centre)
    outline = outline if outline is not None else max(1.5, size * 0.09)
    c.shadow(c.dilate(mask, outline), (0, size * 0.06), size * 0.05, strength=0.4)
    c.outline(mask, outline, ink)
    x0, y0 = centre[0] - size * len(text) * 0.4, centre[1] - size * 0.55
    c.shade(mask, (x0, y0, 2 * centre[0] - x0, centre[1] + size * 0.55), fill, light=light or lighter(fill, 0.5),
            dark=dark or darker(fill, 0.15), light_at=(0.5, 0.0))


def button(font, text, width, colour, selected):
    h = 72
    c = Canvas(width, h)
    press = 2 if selected else 0
    body = (4, 4 + press, width - 4, h - 8 + press)
    mask = c.rounded_mask(body, (body[3] - body[1]) / 2)
    if not selected:
        c.shadow(c.dilate(mask, 1.5), (0, 3), 2.5, strength=0.5)
    base = lighter(colour, 0.25) if selected else colour
    c.shape(mask, body, base, outline=2.2, light=lighter(base, 0.55), dark=darker(base, 0.3), light_at=(0.5, 0.05))
    # A glossy band across the upper half.
    gloss = c.rounded_mask((body[0] + 10, body[1] + 4, body[2] - 10, body[1] + 24), 10)
    c.fill(c.blur(gloss, 1.5), (255, 255, 255), 0.35 if not selected else 0.5)
    if selected:
        c.fill(ImageChops.subtract(c.dilate(mask, 3.5), c.dilate(mask, 2.2)), (255, 250, 200), 0.8)
    lettering(c, font, text, 30, (width / 2, (body[1] + body[3]) / 2 + 1))
    return c.result()


def hexagon(cx, cy, r, turn=0.0):
    return [(cx + r * math.cos(turn + k * math.pi / 3), cy + r * math.sin(turn + k * math.pi / 3)) for k in range(6)]


def pause_button(selected):
    size = 64
    c = Canvas(size, size)
    m = size / 2
    cell = c.polygon_mask(hexagon(m, m, 27, math.pi / 6))
    c.shadow(cell, (0, 2), 2, strength=0.4)
    base = lighter(HONEY, 0.3) if selected else HONEY
    c.shape(cell, (m - 27, m - 27, m + 27, m + 27), base, outline=2.2, light=lighter(base, 0.6), dark=darker(base, 0.3),
            shine=0.5)
    bars = c.rounded_mask((m - 10, m - 11, m - 3, m + 11), 2)
    bars = ImageChops.lighter(bars, c.rounded_mask((m + 3, m - 11, m + 10, m + 11), 2))
    c.outline(bars, 1.6)
    c.fill(bars, (255, 255, 255))
    return c.result()


def position_indicator():
    """A faint track round the pause button with a little bee marker at the top; it is turned to
    show where the bee is on the planet."""
    size = 88
    c = Canvas(size, size)
    m = size / 2
    track = ImageChops.subtract(c.ellipse_mask((m - 41, m - 41, m + 41, m + 41)),
                                c.ellipse_mask((m - 35, m - 35, m + 35, m + 35)))
    c.fill(c.dilate(track, 1.0), INK, 0.45)
    c.fill(track, CREAM, 0.7)
    for k in range(12):
        a = k * math.pi / 6
        x, y = m + math.cos(a) * 38, m + math.sin(a) * 38
        c.fill(c.ellipse_mask((x - 1.3, y - 1.3, x + 1.3, y + 1.3)), (196, 150, 90), 0.9)
    marker = (m - 7, 0.5, m + 7, 14.5)
    c.ellipse(marker, HONEY, outline=1.6, light=(255, 244, 170), dark=(226, 140, 30), shine=0.6)
    stripe = ImageChops.multiply(c.rounded_mask((m - 1.8, 0, m + 1.8, 16), 1), c.ellipse_mask(marker))
    c.fill(stripe, (92, 54, 30))
    return c.result()


def menu_band():
    """The pause menu's backdrop, stretched across the screen: a honey band with darker edges."""
    w, h = 128, 150
    c = Canvas(w, h)
    band = c.polygon_mask([(0, 6), (w, 6), (w, h - 6), (0, h - 6)])
    c.fill(c.blur(c.polygon_mask([(0, 0), (w, 0), (w, h), (0, h)]), 2.5), (60, 30, 10), 0.35)
    c.shade(band, (0, 6, w, h - 6), (255, 206, 96), light=(255, 236, 168), dark=(236, 150, 40), light_at=(0.5, 0.0))
    for y in (9, h - 12):
        c.fill(c.polygon_mask([(0, y), (w, y), (w, y + 3), (0, y + 3)]), (255, 248, 214), 0.8)
    c.fill(c.polygon_mask([(0, 4), (w, 4), (w, 7), (0, 7)]), INK)
    c.fill(c.polygon_mask([(0, h - 7), (w, h - 7), (w, h - 4), (0, h - 4)]), INK)
    return c.result()


def title(font, text, width, height, size, fill=HONEY, bottom_gap=0):
    c = Canvas(width, height)
    lettering(c, font, text, size, (width / 2, (height - bottom_gap) / 2), fill=fill, outline=size * 0.08,
              light=(255, 250, 200), dark=darker(fill, 0.25))
    return c.result()


def main(font, out_dir):
    frames = {
        "pause_button_alt.png": pause_button(False),
        "pause_button_selected_alt.png": pause_button(True),
        "position_indicator_alt.png": position_indicator(),
        "game_menu_bg.png": menu_band(),
        "game_paused_title.png": title(font, "PAUSED", 300, 80, 58),
    }
    for name, text, width, colour in (("continue_button", "CONTINUE", 240, LEAF), ("quit_button", "QUIT", 200, BERRY),
                                      ("main_menu_button", "MAIN MENU", 228, HONEY),
                                      ("play_again_button", "PLAY AGAIN", 250, LEAF)):
        frames[name + ".png"] = button(font, text, width, colour, False)
        frames[name + "_selected.png"] = button(font, text, width, colour, True)
    for name, text in (("try_harder", "KEEP TRYING!"), ("nice_work", "NICE WORK!"), ("sweet", "SWEET!"),
                       ("busy_times", "BUSY, BUSY BEE!"), ("beeeautiful", "BEE-AUTIFUL!")):
        frames["end_title_%s.png" % name] = title(font, text, 632, 112, 64, bottom_gap=22)
    frames["end_title_hive_opened.png"] = title(font, "NEW HIVE OPENED!", 360, 48, 30, fill=(170, 226, 110))
    sheet.write(frames, os.path.join(out_dir, "hud.png"), os.path.join(out_dir, "hud.plist"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
