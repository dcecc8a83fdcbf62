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

from art import sheet, ui
from art.paint import INK, Canvas, darker, hexagon, lighter
from art.ui import BERRY, CREAM, HONEY, LEAF, title

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
    """A faint dial round the pause button with a honey-drop pointer at its top; the game turns it
    with the bee's place on the planet."""
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
    drop = c.polygon_mask([(m, 0.8)] + [(m + 6.5 * math.cos(a), 10 + 6.5 * math.sin(a))
                                        for a in (i * math.pi / 12 - math.pi / 6 for i in range(17))])
    c.shape(drop, (m - 6.5, 0.8, m + 6.5, 16.5), HONEY, outline=1.6, light=(255, 244, 170), dark=(226, 140, 30),
            shine=0.6)
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
        frames[name + ".png"] = ui.button(font, text, width, colour, False)
        frames[name + "_selected.png"] = ui.button(font, text, width, colour, True)
    for name, text in (("try_harder", "KEEP TRYING!"), ("nice_work", "NICE WORK!"), ("sweet", "SWEET!"),
                       ("busy_times", "BUSY, BUSY BEE!"), ("beeeautiful", "BEE-AUTIFUL!")):
        frames["end_title_%s.png" % name] = title(font, text, 632, 112, 64, bottom_gap=22)
    frames["end_title_hive_opened.png"] = title(font, "NEW HIVE OPENED!", 360, 48, 30, fill=(170, 226, 110))
    sheet.write(frames, os.path.join(out_dir, "hud.png"), os.path.join(out_dir, "hud.plist"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
