#!/usr/bin/env python3
"""Draws the menu's pictures: the splash, the menu sheet, the rank emblems and the ground strips of
the menu world, laid out for a 1024 x 768 window.

Writes, into OUTPUT_DIR, the "sheet" part:
  menu.png + menu.plist     the menu sheet: navigation and window buttons, screen titles, credits,
                            the settings' buttons, the flight log's pictures and rank bee, the
                            instructions' pages, and the level screens' hives, tabs and buttons
and the "pictures" part:
  Default.png               the splash shown while the game starts (1024 x 768)
  rank_0.png .. rank_10.png the rank emblems: a medallion, ten stars (as many lit as the rank)
                            and the rank's name on a ribbon; the stars sit where the flight log's
                            star glow expects them
  menu_bg_title.png, menu_bg_credits.png, menu_bg_flight_log.png
                            ground strips of the menu world (1024 x 256, surface at mid-height)

and the "controller" part, the pictures the phone controller app is sent:
  padlink_bg.png (480 x 320), padlink_arrow_left.png, padlink_arrow_right.png, padlink_hive.png
  (96 x 96), padlink_instructions.png (262 x 60), padlink_gamecontrols.png (292 x 60),
  padlink_quitgame.png (190 x 60), padlink_keepplaying.png (230 x 60), padlink_playagain.png
  (200 x 60), padlink_mainmenu.png (205 x 60), padlink_pause.png (80 x 40)

The parts are separate runs so that a parallel build makes them side by side.

Usage: make_menu_art.py sheet|pictures|controller FONT.ttf OUTPUT_DIR
"""

import functools
import math
import os
import sys
import textwrap

from PIL import Image, ImageChops, ImageFont

import make_bee_art as bee
import make_garden_art
import make_level_art as level
import make_storm_art
import make_works_art
from art import output, sheet, ui
from art.paint import INK, Canvas, bezier, darker, hexagon, lighter
from art.ui import BERRY, CREAM, HONEY, LEAF

W, H = 1024, 768
PAPER = (255, 248, 230)
SKY_TOP, SKY_BOTTOM = (110, 186, 240), (214, 240, 252)

# Rank names, lowest to highest.
RANKS = ["NEWLY HATCHED", "NECTAR SIPPER", "FLOWER FINDER", "POLLEN PAL", "BUZZ CADET", "HONEY MAKER",
         "HIVE HELPER", "SKY SCOUT", "WING MASTER", "HIVE HERO", "SUPER BEE"]

# Star centres of the rank emblem in window points, ranks 1 to 10, and the emblem's place.
STARS = [(537, 417.5), (550, 388), (553, 356.5), (550, 324.5), (537, 297), (323, 297), (310, 324.5),
         (307, 356.5), (310, 388), (323, 417.5)]
EMBLEM_ORIGIN, EMBLEM_SIZE = (288, 197), (284, 291)

HOW_TO_PLAY = [
    "STEER YOUR BEE WITH THE MOUSE, THE ARROW KEYS, A GAMEPAD OR YOUR PHONE.",
    "FIND THE FLOWERS AND HOVER CLOSE TO SIP THEIR NECTAR.",
    "CARRY THE NECTAR HOME: THE HIVE TURNS IT INTO HONEY.",
    "LOST BEES JOIN YOUR SWARM. EVERY BUDDY HELPS YOU SIP FASTER.",
    "CLOUDS, BIRDS AND MACHINES KNOCK NECTAR OUT OF YOU. STEER CLEAR!",
    "THE DAY IS SHORT. WATCH THE SUN AND BE HOME BEFORE NIGHT.",
    "FILL THE HIVES TO OPEN NEW LEVELS AND RAISE YOUR RANK.",
]

CREDITS = [
    ("VANTREL", 30),
    ("A STORY OF ONE BUSY BEE", 16),
    ("", 10),
    ("MADE BY THE VANTREL TEAM", 18),
    ("", 8),
    ("PICTURES, SOUNDS AND MUSIC", 15),
    ("DRAWN AND PLAYED BY OUR OWN SCRIPTS", 15),
    ("LETTERING: DEJAVU SANS", 15),
    ("", 10),
    ("THANK YOU FOR FLYING WITH US!", 18),
]


def ink_text(c, font, text, size, at, colour=INK, anchor="mm"):
    c.fill(c.text_mask(text, font, size, at, anchor), colour)


def fitted_size(font, text, size, width):
    """The largest size up to `size` at which the text fits `width` pixels."""
    length = ImageFont.truetype(font, size).getlength(text)
    return min(size, size * width / length) if length else size


def card(c, box, fill=PAPER, radius=14, outline=2.0):
    mask = c.rounded_mask(box, radius)
    c.shadow(mask, (0, 4), 4, strength=0.35)
    c.shape(mask, box, fill, outline=outline, light=lighter(fill, 0.5), dark=darker(fill, 0.08), light_at=(0.5, 0.0))
    return mask


def wrapped_card(font, text, width, height, size, spacing=1.35):
    """A paper card with the text wrapped to its width and centred, in dark ink."""
    c = Canvas(width, height)
    card(c, (4, 4, width - 4, height - 10))
    lines = textwrap.wrap(text, width=max(8, int((width - 40) / (size * 0.68))))
    y = (height - 10 - len(lines) * size * spacing) / 2 + 2 + size * 0.6
    for line in lines:
        ink_text(c, font, line, size, (width / 2, y))
        y += size * spacing
    return c.result()


# --- world and navigation --------------------------------------------------------------------

def arrow(selected):
    c = Canvas(48, 80)
    mask = c.polygon_mask([(8, 8), (42, 40), (8, 72), (8, 56), (24, 40), (8, 24)])
    base = lighter(HONEY, 0.3) if selected else HONEY
    c.shadow(c.dilate(mask, 1.5), (0, 3), 2, strength=0.45)
    c.shape(mask, (8, 8, 42, 72), base, outline=2.4, light=lighter(base, 0.6), dark=darker(base, 0.3), shine=0.4)
    return c.result()


def round_button(selected, icon):
    c = Canvas(40, 40)
    box = (3, 3, 37, 37)
    mask = c.ellipse_mask(box)
    base = lighter(HONEY, 0.3) if selected else HONEY
    c.shape(mask, box, base, outline=2.0, light=lighter(base, 0.6), dark=darker(base, 0.3), shine=0.4)
    if icon == "quit":
        c.stroke([(14, 14), (26, 26)], 3.2, (255, 255, 255), outline=1.2)
        c.stroke([(26, 14), (14, 26)], 3.2, (255, 255, 255), outline=1.2)
    else:
        for (x, y), (dx, dy) in (((12, 12), (1, 1)), ((28, 12), (-1, 1)), ((12, 28), (1, -1)), ((28, 28), (-1, -1))):
            c.stroke([(x, y + 6 * dy), (x, y), (x + 6 * dx, y)], 2.6, (255, 255, 255), outline=1.0)
    return c.result()


def ground_strip(hill_colour, tree_colour, seed):
    """A stretch of the menu world: hills and trees above the surface (row 128), soil below."""
    strip = level.hills(1024, 256, hill_colour, tree_colour, seed, 1.2, 70, [(3, 14), (7, 6), (13, 3)], 14, 22,
                        supersample=2)
    soil = level.ring_ground()
    strip.alpha_composite(soil, (0, 128))
    strip.alpha_composite(soil, (512, 128))
    return strip


# --- titles and credits ----------------------------------------------------------------------

def screen_title(font, text, width, height=80, size=52):
    return ui.title(font, text, width, height, fitted_size(font, text, size, width - 24))


# The level groups' title pictures: the name over a scene drawn in the group's own style.
GROUP_TITLE = (500, 160)
GROUP_BACKDROPS = {"meadow": level.title_backdrop, "garden": make_garden_art.title_backdrop,
                   "storm": make_storm_art.title_backdrop, "works": make_works_art.title_backdrop}


def group_title(font, group):
    w, h = GROUP_TITLE
    c = Canvas(w, h)
    c.image.alpha_composite(GROUP_BACKDROPS[group](w, h).resize(c.image.size))
    text = "THE " + group.upper()
    size = fitted_size(font, text, 52, 390)
    ui.lettering(c, font, text, size, (w / 2, h * 0.45), fill=HONEY, outline=size * 0.08, light=(255, 250, 200),
                 dark=darker(HONEY, 0.25))
    return c.result()


def credits_content(font):
    width, height = 484, 340
    c = Canvas(width, height)
    card(c, (4, 4, width - 4, height - 10), radius=20)
    y = 34
    for text, size in CREDITS:
        if text:
            if size >= 30:
                ui.lettering(c, font, text, size, (width / 2, y), fill=HONEY)
            else:
                ink_text(c, font, text, size, (width / 2, y))
        y += size * 1.45 + 2
    return c.result()


def game_title(font):
    """The game's name on a honey banner with the bee flying over it."""
    width, height = 332, 300
    c = Canvas(width, height)
    band = c.polygon_mask([(14, 150), (318, 150), (304, 184), (318, 218), (14, 218), (28, 184)])
    c.shadow(band, (0, 5), 4)
    c.shape(band, (14, 150, 318, 218), (255, 206, 96), outline=2.4, light=(255, 240, 180), dark=(232, 150, 40))
    ui.lettering(c, font, "VANTREL", fitted_size(font, "VANTREL", 64, 270), (width / 2, 182), fill=HONEY,
                 light=(255, 250, 200), dark=(236, 140, 20))
    ui.lettering(c, font, "A BEE'S BUSY DAY", 18, (width / 2, 242), fill=CREAM, outline=2.0)
    image = c.result()
    flyer = rank_bee(frame=2, zoom=1.7)
    image.alpha_composite(flyer, ((width - flyer.width) // 2 + 10, 150 - flyer.height + 26))
    for x, y in ((40, 100), (286, 80)):
        small = bee.small_bee(1 if x < 100 else 3)
        image.alpha_composite(small, (x, y))
    return image


# --- flight log ------------------------------------------------------------------------------

def rank_bee(frame, zoom=2.6, blink=False):
    """The lead bee assembled from its rig, facing right, at `zoom` times its game size. Frame 1, 2
    and 3 raise the wings up, half way and back. With `blink` only the closed-eyed head (and the
    antenna over it) is drawn, placed exactly over the open-eyed one."""
    z = zoom
    width, height = round(80 * z), round(70 * z)
    image = Image.new("RGBA", (width, height))
    head_centre = (width - 24 * z, height - 24 * z)  # image pixels, y down

    def place(part, anchor, at, angle=0.0):
        """Pastes `part` so that its anchor (points from its lower left, unzoomed) lands on `at`
        (rig points from the head centre, y up), turned `angle` degrees clockwise about the anchor."""
        ax, ay = anchor[0] * z, part.height - anchor[1] * z
        pad = max(part.size) * 2
        holder = Image.new("RGBA", (pad * 2, pad * 2))
        holder.alpha_composite(part, (round(pad - ax), round(pad - ay)))
        holder = holder.rotate(-angle, resample=Image.Resampling.BICUBIC, center=(pad, pad))
        x = head_centre[0] + at[0] * z - pad
        y = head_centre[1] - at[1] * z - pad
        image.paste(holder, (round(x), round(y)), holder)

    flap = {1: 0.0, 2: -22.0, 3: -45.0}[frame]
    if not blink:
        wing = bee.wing(z)
        place(wing, (18, 3), (-14, 16), flap)
        place(bee.body(z), (28, 9), (-14, 0))
        place(wing, (18, 3), (-18, 15), flap)
    place(bee.head(blink, z), (22, 22), (0, 0))
    place(bee.antenna(z), (16, -3), (0, 14))
    return image


@functools.cache
def rank_star(size, lit):
    if lit:
        return level.star(size, 5, (255, 214, 60), inner=0.48)
    c = Canvas(size, size)
    m, r = size / 2, size / 2 - 3
    points = [(m + math.cos(-math.pi / 2 + k * math.pi / 5) * (r if k % 2 == 0 else r * 0.48),
               m + math.sin(-math.pi / 2 + k * math.pi / 5) * (r if k % 2 == 0 else r * 0.48)) for k in range(10)]
    mask = c.polygon_mask(points)
    c.fill(c.dilate(mask, 1.2), (150, 130, 110), 0.6)
    c.fill(mask, (255, 250, 240), 0.55)
    return c.result()


@functools.cache
def emblem_backdrop():
    """The medallion and the empty ribbon shared by every rank emblem."""
    w, h = EMBLEM_SIZE
    c = Canvas(w, h)
    centre = (430 - EMBLEM_ORIGIN[0], h - (357 - EMBLEM_ORIGIN[1]))
    disc = (centre[0] - 104, centre[1] - 104, centre[0] + 104, centre[1] + 104)
    c.shadow(c.ellipse_mask(disc), (0, 5), 5)
    c.shape(c.ellipse_mask(disc), disc, (255, 236, 180), outline=2.4, light=(255, 250, 226), dark=(246, 200, 120))
    inner = (disc[0] + 12, disc[1] + 12, disc[2] - 12, disc[3] - 12)
    ring = ImageChops.subtract(c.ellipse_mask((inner[0] - 2, inner[1] - 2, inner[2] + 2, inner[3] + 2)),
                               c.ellipse_mask(inner))
    c.fill(ring, (226, 170, 80), 0.7)
    ribbon = [(6, h - 62), (w - 6, h - 62), (w - 20, h - 38), (w - 6, h - 14), (6, h - 14), (20, h - 38)]
    mask = c.polygon_mask(ribbon)
    c.shadow(mask, (0, 3), 3)
    c.shape(mask, (6, h - 62, w - 6, h - 14), BERRY, outline=2.2, light=lighter(BERRY, 0.4), dark=darker(BERRY, 0.25))
    return c.result()


def rank_emblem(font, rank):
    w, h = EMBLEM_SIZE
    image = emblem_backdrop().copy()
    name = Canvas(w, 48)
    ui.lettering(name, font, RANKS[rank], fitted_size(font, RANKS[rank], 20, w - 70), (w / 2, 24), outline=1.6)
    image.alpha_composite(name.result(), (0, h - 62))
    for i, (x, y) in enumerate(STARS):
        star = rank_star(30, i < rank)
        image.alpha_composite(star, (round(x - EMBLEM_ORIGIN[0] - 15), round(h - (y - EMBLEM_ORIGIN[1]) - 15)))
    return image


def star_glow():
    c = Canvas(64, 64)
    c.glow(c.ellipse_mask((14, 14, 50, 50)), (255, 236, 120), 6, 1.0)
    image = c.result()
    image.alpha_composite(level.sparkle(40, (255, 250, 200)), (12, 12))
    return image


STATS = [  # caption, column x, row y (points in the grid, of the number's lower left)
    ("DISTANCE", 0, 260), ("HIVE VISITS", 144, 260), ("FLOWERS", 272, 260),
    ("BUDDIES", 0, 175), ("HORNET HITS", 144, 175), ("ZAPS", 272, 175),
    ("HONEY BONUS", 0, 88), ("TIME BONUS", 144, 88), ("NECTAR BONUS", 272, 88),
]


def stats_grid(font):
    """Captions over the flight log's counters (which the game writes at each caption's lower
    left), and a honey bar for the total, whose number ends at x 390."""
    width, height = 400, 320
    c = Canvas(width, height)
    for caption, x, y in STATS:
        middle = height - (y + 44)
        mask = c.text_mask(caption, font, 14, (x + 1, middle), "lm")
        c.fill(c.dilate(mask, 2.0), CREAM, 0.9)
        c.fill(mask, (120, 70, 30))
        c.fill(c.rounded_mask((x, middle + 11, x + 110, middle + 13), 1), (226, 150, 40), 0.8)
    box = (2, height - 48, width - 2, height - 2)
    card(c, box, fill=(255, 226, 140), radius=12, outline=1.8)
    ink_text(c, font, "HONEY MADE", 16, (18, height - 25), (120, 70, 30), "lm")
    return c.result()


def flight_log_footer(font):
    c = Canvas(464, 40)
    ink_text(c, font, "EVERY DROP OF HONEY COUNTS!", 18, (232, 20), (120, 70, 30))
    return c.result()


# --- instructions ----------------------------------------------------------------------------

@functools.cache
def scene_backdrop():
    """The empty picture card (sky in a frame) and the mask of its inside, both 340 x 320."""
    width, height = 340, 320
    c = Canvas(width, height)
    frame = (4, 4, width - 4, height - 10)
    mask = c.rounded_mask(frame, 18)
    c.shadow(mask, (0, 4), 4, strength=0.35)
    c.outline(mask, 2.4)
    c.shade(mask, frame, SKY_BOTTOM, light=SKY_TOP, dark=SKY_BOTTOM, light_at=(0.5, -0.6))
    inside = Canvas(width, height)
    inside.fill(inside.rounded_mask((6.5, 6.5, width - 6.5, height - 12.5), 16), (255, 255, 255))
    return c.result(), inside.result().getchannel("A")


def scene_card(paint):
    """A picture card with sky and a strip of meadow; `paint(image)` draws the rest onto a
    transparent 340 x 320 image, which is then clipped to the card's inside."""
    backdrop, inside = scene_backdrop()
    image = backdrop.copy()
    holder = Image.new("RGBA", image.size)
    holder.alpha_composite(meadow(), (4, image.height - 90))
    paint(holder)
    image.paste(holder, (0, 0), ImageChops.multiply(holder.getchannel("A"), inside))
    return image


@functools.cache
def meadow():
    return level.ring_ground().crop((0, 0, 332, 80))


def flower(size=1.0, petal=(255, 140, 180)):
    c = Canvas(60, 90, size)
    c.stroke(bezier([(30, 88), (26, 60), (30, 34)]), 3, (90, 160, 70), outline=0.8)
    leaf = c.polygon_mask(bezier([(29, 66), (14, 56), (8, 62)], 6) + bezier([(8, 62), (18, 70), (29, 68)], 6))
    c.shape(leaf, (8, 56, 30, 70), (110, 190, 80), outline=1.0)
    for k in range(6):
        a = k * math.pi / 3
        x, y = 30 + math.cos(a) * 11, 28 + math.sin(a) * 11
        c.ellipse((x - 9, y - 9, x + 9, y + 9), petal, outline=1.2)
    c.ellipse((21, 19, 39, 37), (255, 206, 60), outline=1.2, shine=0.5)
    return c.result()


def hive_picture(fill, zoom=1.0):
    inner, honey, outer = hive_inner(), hive_honey(), hive_outer()
    image = Image.new("RGBA", outer.size)
    off = ((outer.width - inner.width) // 2, (outer.height - inner.height) // 2)
    image.alpha_composite(inner, off)
    keep = round(honey.height * fill)
    if keep:
        image.alpha_composite(honey.crop((0, honey.height - keep, honey.width, honey.height)),
                              (off[0], off[1] + honey.height - keep))
    image.alpha_composite(outer)
    return image.resize((round(image.width * zoom), round(image.height * zoom)), Image.Resampling.LANCZOS)


def nectar_dots(image, start, end, count=6):
    dot = level.soft_disc(14, 1.4, 0.5)
    tint = Image.new("RGBA", dot.size, (255, 214, 90, 0))
    tint.putalpha(dot.getchannel("A"))
    for i in range(count):
        t = (i + 0.5) / count
        x = start[0] + (end[0] - start[0]) * t
        y = start[1] + (end[1] - start[1]) * t - math.sin(t * math.pi) * 18
        image.alpha_composite(tint, (round(x - 7), round(y - 7)))


def page_images(font):
    big_bee = rank_bee(2, 1.6)

    def keys(image):
        image.alpha_composite(big_bee, (110, 70))
        c = Canvas(340, 320)
        for x, y in ((150, 200), (108, 240), (150, 240), (192, 240)):
            box = (x, y, x + 38, y + 36)
            c.shape(c.rounded_mask(box, 7), box, CREAM, outline=2, shine=0.3)
        c.fill(c.polygon_mask([(169, 206), (160, 226), (178, 226)], [(118, 258), (136, 248), (136, 268)],
                              [(160, 246), (178, 246), (169, 266)], [(202, 248), (202, 268), (220, 258)]), INK)
        mouse = (252, 150, 300, 218)
        c.shape(c.rounded_mask(mouse, 22), mouse, (240, 240, 246), outline=2, shine=0.4)
        c.stroke([(276, 152), (276, 176)], 1.6, INK)
        image.alpha_composite(c.result())

    def sip(image):
        image.alpha_composite(flower(1.6), (190, 100))
        image.alpha_composite(big_bee, (40, 90))
        nectar_dots(image, (236, 150), (170, 150), 5)

    def home(image):
        image.alpha_composite(hive_picture(0.6, 0.9), (190, 88))
        image.alpha_composite(big_bee, (20, 60))
        nectar_dots(image, (150, 130), (220, 170), 5)

    def swarm(image):
        image.alpha_composite(big_bee, (170, 80))
        for i, (x, y) in enumerate(((120, 150), (80, 110), (40, 160), (30, 70))):
            image.alpha_composite(bee.small_bee(i % 3 + 1).resize((42, 36), Image.Resampling.LANCZOS), (x, y))

    def danger(image):
        cloud = level.puff(150, 96, 7)
        grey = Image.merge("RGBA", [ch.point(lambda v: round(v * 0.72)) for ch in cloud.split()[:3]] +
                           [cloud.getchannel("A")])
        image.alpha_composite(grey, (150, 30))
        c = Canvas(340, 320)
        c.shape(c.polygon_mask([(222, 112), (204, 162), (222, 160), (210, 206), (246, 146), (226, 148), (240, 112)]),
                (204, 112, 246, 206), (255, 226, 60), outline=2, shine=0.4)
        image.alpha_composite(c.result())
        image.alpha_composite(big_bee, (30, 130))

    def day(image):
        sun = level.sun().resize((120, 120), Image.Resampling.LANCZOS)
        image.alpha_composite(sun, (180, 30))
        image.alpha_composite(level.moon().resize((70, 70), Image.Resampling.LANCZOS), (40, 40))
        image.alpha_composite(hive_picture(0.3, 0.7), (40, 118))
        image.alpha_composite(big_bee.resize((150, 98), Image.Resampling.LANCZOS), (170, 140))

    def fill(image):
        image.alpha_composite(hive_picture(0.85, 1.05), (84, 50))
        for x, y in ((40, 60), (250, 40), (270, 150), (50, 170)):
            image.alpha_composite(level.star(30, 5, (255, 220, 80)), (x, y))

    return [scene_card(paint) for paint in (keys, sip, home, swarm, danger, day, fill)]


def spot():
    c = Canvas(14, 14)
    c.ellipse((1.5, 1.5, 12.5, 12.5), (255, 255, 255), outline=1.2, light=(255, 255, 255), dark=(230, 230, 240))
    return c.result()


# --- settings --------------------------------------------------------------------------------

def icon_joystick(c, x, y):
    c.ellipse((x - 16, y + 6, x + 16, y + 18), (120, 110, 130), outline=1.6)
    c.stroke([(x, y + 10), (x, y - 8)], 4, (90, 80, 100), outline=1.2)
    c.ellipse((x - 9, y - 20, x + 9, y - 2), BERRY, outline=1.6, shine=0.5)


def icon_tilt(c, x, y):
    phone = c.polygon_mask([(x - 16, y - 4), (x + 8, y - 18), (x + 20, y + 4), (x - 4, y + 18)])
    c.shape(phone, (x - 16, y - 18, x + 20, y + 18), (90, 80, 100), outline=1.6, shine=0.3)
    c.stroke(bezier([(x - 20, y - 14), (x - 10, y - 24), (x + 2, y - 24)]), 2.4, INK)
    c.fill(c.polygon_mask([(x + 6, y - 24), (x - 1, y - 29), (x - 1, y - 19)]), INK)


def icon_dpad(c, x, y):
    cross = c.polygon_mask([(x - 6, y - 18), (x + 6, y - 18), (x + 6, y - 6), (x + 18, y - 6), (x + 18, y + 6),
                            (x + 6, y + 6), (x + 6, y + 18), (x - 6, y + 18), (x - 6, y + 6), (x - 18, y + 6),
                            (x - 18, y - 6), (x - 6, y - 6)])
    c.shape(cross, (x - 18, y - 18, x + 18, y + 18), (90, 80, 100), outline=1.6, shine=0.3)


def icon_podium(c, x, y):
    for dx, top, colour in ((-13, 2, (200, 200, 214)), (0, -8, HONEY), (13, 8, (226, 150, 90))):
        box = (x + dx - 6, y + top, x + dx + 6, y + 16)
        c.shape(c.rounded_mask(box, 1.5), box, colour, outline=1.4)
    c.ellipse((x - 6, y - 22, x + 6, y - 10), HONEY, outline=1.4, shine=0.5)


def icon_medal(c, x, y):
    c.fill(c.polygon_mask([(x - 9, y - 20), (x - 2, y - 20), (x + 3, y - 4), (x - 4, y - 4)]), (80, 140, 220))
    c.fill(c.polygon_mask([(x + 9, y - 20), (x + 2, y - 20), (x - 3, y - 4), (x + 4, y - 4)]), BERRY)
    c.ellipse((x - 12, y - 8, x + 12, y + 16), HONEY, outline=1.6, shine=0.5)


def icon_switch(on):
    def draw(c, x, y):
        track = (x - 20, y - 10, x + 20, y + 10)
        c.shape(c.rounded_mask(track, 10), track, LEAF if on else (170, 160, 170), outline=1.6)
        knob = x + (9 if on else -9)
        c.ellipse((knob - 9, y - 9, knob + 9, y + 9), (255, 255, 255), outline=1.4, shine=0.4)
    return draw


def icon_none(c, x, y):
    c.ellipse((x - 15, y - 15, x + 15, y + 15), (200, 190, 200), outline=1.6)
    c.stroke([(x - 9, y + 9), (x + 9, y - 9)], 3, INK)


def tile(font, label, icon, selected, width=240, height=84, colour=PAPER):
    """A paper tile with an icon on the left and a label; the selected form is lighter and
    ringed, pressed down 2 pixels."""
    c = Canvas(width, height)
    press = 2 if selected else 0
    box = (4, 4 + press, width - 4, height - 8 + press)
    mask = c.rounded_mask(box, 14)
    if not selected:
        c.shadow(mask, (0, 3), 3, strength=0.4)
    c.shape(mask, box, lighter(colour, 0.4) if selected else colour, outline=2.2,
            light=(255, 255, 255), dark=darker(colour, 0.1), light_at=(0.5, 0.0))
    if selected:
        c.fill(ImageChops.subtract(c.dilate(mask, 3.5), c.dilate(mask, 2.2)), HONEY, 0.9)
    middle = (box[1] + box[3]) / 2
    icon(c, 36, middle)
    lines = label.split("\n")
    size = min(fitted_size(font, line, 20, width - 84) for line in lines)
    for i, line in enumerate(lines):
        ink_text(c, font, line, size, (66, middle + (i - (len(lines) - 1) / 2) * size * 1.2), anchor="lm")
    return c.result()


def settings_frames(font):
    frames = {
        "settings_title.png": screen_title(font, "SETTINGS", 414),
        "gamecontrols_title.png": screen_title(font, "PHONE CONTROLS", 300, 64, 34),
        "leaderboard_title.png": screen_title(font, "HIGH SCORES", 240, 64, 34),
        "gamecenter_unavailable.png": tile(font, "SCORE SERVICE\nNOT AVAILABLE", icon_none, False,
                                           colour=(226, 220, 226)),
        "controls_padlink.png": wrapped_card(font, "PLAY WITH YOUR PHONE: GET THE CONTROLLER APP AND JOIN THE "
                                             "SAME WI-FI. CLICK HERE TO FIND IT.", 340, 120, 15),
        "controls_padlink_connected.png": wrapped_card(font, "PHONE CONNECTED! STEER YOUR BEE WITH IT.", 340, 120,
                                                       17),
    }
    for name, label, icon, width in (("controls_joystick", "JOYSTICK", icon_joystick, 300),
                                     ("controls_tilt", "TILT THE PHONE", icon_tilt, 300),
                                     ("controls_dpad", "ARROW PAD", icon_dpad, 300),
                                     ("gamecenter_enabled", "SCORES ON", icon_switch(True), 240),
                                     ("gamecenter_disabled", "SCORES OFF", icon_switch(False), 240),
                                     ("gamecenter_view_leaderboard", "LEADERBOARD", icon_podium, 240),
                                     ("gamecenter_view_achievements", "ACHIEVEMENTS", icon_medal, 240)):
        for selected, suffix in ((False, ""), (True, "_selected")):
            frames[name + suffix + ".png"] = tile(font, label, icon, selected, width)
    return frames


# --- level screens ---------------------------------------------------------------------------

# A level slot is 200 points wide (its pieces are centred on x 100); the hive stands at (44, 136).
HIVE_W, HIVE_H = 112, 150


def hive_shape(c, inset=0.0):
    """The dome of a straw hive filling the canvas."""
    w, h = c.width, c.height
    x0, y0, y1 = inset, inset, h - inset
    top = bezier([(x0 + 6, y1), (x0 - 4, y0 + (y1 - y0) * 0.3), (w / 2 - 30, y0), (w / 2, y0)], 20)
    right = [(w - x, y) for x, y in reversed(top)]
    return c.polygon_mask(top + right)


@functools.cache
def hive_inner():
    c = Canvas(HIVE_W, HIVE_H)
    c.shade(hive_shape(c, 4), (0, 0, HIVE_W, HIVE_H), (150, 96, 44), light=(190, 130, 70), dark=(96, 56, 26))
    # Empty comb: faint hexagons.
    for row in range(9):
        for col in range(6):
            x = 10 + col * 19 + (row % 2) * 9.5
            y = 16 + row * 16
            cell = c.polygon_mask(hexagon(x, y, 7, math.pi / 6))
            c.fill(ImageChops.multiply(cell, hive_shape(c, 8)), (120, 74, 34), 0.7)
    return c.result()


@functools.cache
def hive_honey():
    c = Canvas(HIVE_W, HIVE_H)
    mask = hive_shape(c, 4)
    c.shade(mask, (0, 0, HIVE_W, HIVE_H), (255, 176, 20), light=(255, 226, 110), dark=(232, 130, 10),
            light_at=(0.4, 0.1))
    c.highlight(mask, (10, 10, HIVE_W - 10, HIVE_H), 0.4, (0.3, 0.2))
    return c.result()


@functools.cache
def hive_outer():
    w, h = HIVE_W + 12, HIVE_H + 12
    c = Canvas(w, h)
    shape = Canvas(HIVE_W, HIVE_H)
    dome = hive_shape(shape, 4)
    mask = Image.new("L", c.image.size, 0)
    mask.paste(dome, (round(6 * c.k), round(6 * c.k)))
    rim = ImageChops.subtract(c.dilate(mask, 4.5), mask)
    c.shade(rim, (0, 0, w, h), (236, 186, 96), light=(255, 230, 160), dark=(176, 118, 50))
    c.fill(ImageChops.subtract(c.dilate(mask, 6), c.dilate(mask, 4.5)), INK)
    c.fill(ImageChops.subtract(c.dilate(mask, 0.3), mask), INK)
    # Straw coils across the dome, and a gloss as if the hive were glass.
    for k in range(1, 6):
        y = 6 + HIVE_H * k / 6
        band = ImageChops.multiply(c.polygon_mask([(0, y - 2), (w, y - 2), (w, y + 2), (0, y + 2)]), mask)
        c.fill(band, (236, 186, 96), 0.85)
        c.fill(ImageChops.multiply(c.polygon_mask([(0, y + 2), (w, y + 2), (w, y + 3), (0, y + 3)]), mask), INK, 0.5)
    gloss = ImageChops.multiply(c.blur(c.ellipse_mask((20, 24, 44, 104)), 3), mask)
    c.fill(gloss, (255, 255, 255), 0.35)
    door = (w / 2 - 13, h - 32, w / 2 + 13, h - 8)
    c.shape(c.rounded_mask(door, 12), door, (70, 40, 20), outline=1.6)
    return c.result()


def unlock_line():
    c = Canvas(110, 12)
    for x in range(12, 96, 12):
        c.fill(c.rounded_mask((x, 4, x + 7, 8), 2), (255, 255, 255))
    c.fill(c.polygon_mask([(0, 0), (9, 6), (0, 12)]), (255, 255, 255))
    c.fill(c.polygon_mask([(110, 0), (101, 6), (110, 12)]), (255, 255, 255))
    dashes = c.image.getchannel("A")
    edged = Canvas(110, 12)
    edged.fill(edged.dilate(dashes, 1.2), INK)
    edged.fill(dashes, (255, 255, 255))
    return edged.result()


def hive_glow():
    c = Canvas(HIVE_W + 64, HIVE_H + 68)
    shape = Canvas(HIVE_W, HIVE_H)
    dome = hive_shape(shape, 0)
    mask = Image.new("L", c.image.size, 0)
    mask.paste(dome, (round(32 * c.k), round(34 * c.k)))
    c.fill(c.blur(c.dilate(mask, 6), 9), (255, 236, 130), 0.9)
    return c.result()


def level_tab(font, letter):
    c = Canvas(200, 52)
    box = (30, 6, 170, 46)
    mask = c.rounded_mask(box, 20)
    c.shadow(mask, (0, 3), 2)
    c.shape(mask, box, HONEY, outline=2.2, light=lighter(HONEY, 0.5), dark=darker(HONEY, 0.25), shine=0.3)
    ui.lettering(c, font, "HIVE " + letter, 24, (100, 27))
    return c.result()


def corner_tab(font, text, colour):
    """A flag that peeks out between the score plaque and the hive (its rows 2 to 38 show)."""
    c = Canvas(96, 76)
    box = (3, 3, 93, 72)
    c.shape(c.rounded_mask(box, 10), box, colour, outline=2, light=lighter(colour, 0.45), dark=darker(colour, 0.25))
    ui.lettering(c, font, text, fitted_size(font, text, 16, 80), (48, 21), outline=1.4)
    return c.result()


def score_plaque():
    c = Canvas(168, 40)
    box = (3, 3, 165, 37)
    c.shape(c.rounded_mask(box, 16), box, (110, 66, 36), outline=1.8, light=(150, 96, 56), dark=(80, 44, 22))
    return c.result()


def locked(font):
    c = Canvas(168, 44)
    box = (3, 3, 165, 41)
    c.shape(c.rounded_mask(box, 17), box, (150, 140, 150), outline=1.8, light=(200, 192, 204), dark=(110, 100, 112))
    body = (18, 18, 40, 36)
    c.stroke(bezier([(22, 19), (22, 6), (36, 6), (36, 19)]), 3, (230, 230, 236), outline=1.2)
    c.shape(c.rounded_mask(body, 3), body, (255, 206, 80), outline=1.4)
    ui.lettering(c, font, "LOCKED", 21, (98, 23), outline=1.8)
    return c.result()


def menu_sheet(font, out):
    frames = {}
    for selected, suffix in ((False, ""), (True, "_selected")):
        frames["arrow_right_button%s.png" % suffix] = arrow(selected)
        frames["menu_quit_button%s.png" % suffix] = round_button(selected, "quit")
        frames["menu_fullscreen_button%s.png" % suffix] = round_button(selected, "fullscreen")
        frames["menu_next_button%s.png" % suffix] = ui.button(font, "NEXT", 180, LEAF, selected, 56, 26)
        frames["menu_play_button%s.png" % suffix] = ui.button(font, "PLAY", 200, LEAF, selected, 58, 28)
    frames["credits_title.png"] = screen_title(font, "CREDITS", 300)
    frames["credits_content.png"] = credits_content(font)
    frames["flight_log_title.png"] = screen_title(font, "FLIGHT LOG", 264)
    frames["rank_title.png"] = screen_title(font, "YOUR RANK", 284, 56, 36)
    frames["rank_new_title.png"] = screen_title(font, "NEW RANK!", 284, 56, 36)
    frames["stats_grid.png"] = stats_grid(font)
    frames["flight_log_footer.png"] = flight_log_footer(font)
    frames["rank_star_glow.png"] = star_glow()
    for frame in (1, 2, 3):
        frames["rank_bee_%d.png" % frame] = rank_bee(frame)
    frames["rank_bee_blink.png"] = rank_bee(1, blink=True)
    frames["vantrel_title.png"] = game_title(font)
    frames["instructions_title.png"] = screen_title(font, "HOW TO PLAY", 414)
    # The level groups' titles, named by the catalogue's "title_image".
    for group in GROUP_BACKDROPS:
        frames["group_title_%s.png" % group] = group_title(font, group)
    for page, (text, picture) in enumerate(zip(HOW_TO_PLAY, page_images(font)), start=1):
        frames["how_to_play_text_%d.png" % page] = wrapped_card(font, text, 250, 180, 18)
        frames["how_to_play_image_%d.png" % page] = picture
    frames["how_to_play_spot_indicator.png"] = spot()
    for letter in "abc":
        frames["menu_hive_%s_title.png" % letter] = level_tab(font, letter.upper())
    frames["menu_highscore_tab.png"] = corner_tab(font, "NEW BEST!", BERRY)
    frames["menu_hive_open_tab.png"] = corner_tab(font, "OPENED!", LEAF)
    frames["menu_score_bg.png"] = score_plaque()
    frames["menu_hive_inner.png"] = hive_inner()
    frames["menu_hive_honey.png"] = hive_honey()
    frames["menu_hive_outer.png"] = hive_outer()
    frames["menu_hive_unlock_line.png"] = unlock_line()
    frames["menu_hive_selected.png"] = hive_glow()
    frames["menu_locked.png"] = locked(font)
    frames["new_levels_title.png"] = screen_title(font, "NEW LEVELS!", 320, 56, 36)
    frames.update(settings_frames(font))
    sheet.write(frames, out("menu.png"), out("menu.plist"))


def menu_pictures(font, out):
    for rank in range(11):
        output.save_png(rank_emblem(font, rank), out("rank_%d.png" % rank))
    output.save_png(ground_strip((120, 184, 96), (74, 150, 84), 41), out("menu_bg_title.png"))
    output.save_png(ground_strip((214, 176, 96), (204, 120, 70), 42), out("menu_bg_credits.png"))
    output.save_png(ground_strip((110, 182, 150), (70, 150, 120), 43), out("menu_bg_flight_log.png"))
    output.save_png(splash(font, game_title(font)), out("Default.png"))


def controller_pictures(font, out):
    """The pictures the phone controller shows, at the sizes its layouts give them (points)."""
    c = Canvas(480, 320, supersample=2)
    c.shade(c.polygon_mask([(0, 0), (480, 0), (480, 320), (0, 320)]), (0, 0, 480, 320), (255, 206, 96),
            light=(255, 236, 170), dark=(240, 160, 50), light_at=(0.5, -0.4))
    for row in range(8):
        for col in range(12):
            x, y = 20 + col * 42 + (row % 2) * 21, 20 + row * 40
            cell = c.polygon_mask(hexagon(x, y, 16))
            c.fill(ImageChops.subtract(c.dilate(cell, 1.5), cell), (255, 250, 220), 0.35)
    background = c.result().convert("RGB")
    background.paste(rank_bee(2, 1.1), (8, 6), rank_bee(2, 1.1))
    output.save_png(background, out("padlink_bg.png"))
    arrow_button = Canvas(96, 96)
    box = (8, 8, 88, 88)
    arrow_button.shape(arrow_button.ellipse_mask(box), box, HONEY, outline=2.4, light=lighter(HONEY, 0.6),
                       dark=darker(HONEY, 0.3), shine=0.4)
    chevron = arrow_button.polygon_mask([(38, 28), (62, 48), (38, 68), (38, 58), (50, 48), (38, 38)])
    arrow_button.outline(chevron, 1.6)
    arrow_button.fill(chevron, (255, 255, 255))
    right = arrow_button.result()
    output.save_png(right, out("padlink_arrow_right.png"))
    output.save_png(right.transpose(Image.Transpose.FLIP_LEFT_RIGHT), out("padlink_arrow_left.png"))
    hive = hive_picture(0.6, 0.56)
    holder = Image.new("RGBA", (96, 96))
    holder.alpha_composite(hive, ((96 - hive.width) // 2, (96 - hive.height) // 2))
    output.save_png(holder, out("padlink_hive.png"))
    for name, text, width, colour in (("padlink_instructions", "HOW TO PLAY", 262, HONEY),
                                      ("padlink_gamecontrols", "PHONE CONTROLS", 292, HONEY),
                                      ("padlink_quitgame", "QUIT", 190, BERRY),
                                      ("padlink_keepplaying", "KEEP PLAYING", 230, LEAF),
                                      ("padlink_playagain", "PLAY AGAIN", 200, LEAF),
                                      ("padlink_mainmenu", "MAIN MENU", 205, HONEY)):
        size = fitted_size(font, text, 24, width - 40)
        output.save_png(ui.button(font, text, width, colour, False, 60, size), out(name + ".png"))
    output.save_png(ui.button(font, "PAUSE", 80, HONEY, False, 40, 15), out("padlink_pause.png"))


def splash(font, logo):
    c = Canvas(W, H, supersample=1)  # a smooth sky needs no supersampling
    sky = c.polygon_mask([(0, 0), (W, 0), (W, H), (0, H)])
    c.shade(sky, (0, 0, W, H), (255, 214, 120), light=(255, 244, 200), dark=(250, 170, 70), light_at=(0.5, 1.2))
    image = c.image
    image.alpha_composite(level.sun(), (W // 2 - 72, 60))
    for x in (0, 512):
        image.alpha_composite(level.ring_hills_far(), (x, 420))
        image.alpha_composite(level.ring_hills_near(), (x, 480))
        image.alpha_composite(level.ring_ground(), (x, 640))
    big = logo.resize((logo.width * 3 // 2, logo.height * 3 // 2), Image.Resampling.LANCZOS)
    image.alpha_composite(big, ((W - big.width) // 2, 120))
    return image.convert("RGB")


PARTS = {"sheet": menu_sheet, "pictures": menu_pictures, "controller": controller_pictures}

if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in PARTS:
        sys.exit(__doc__)
    PARTS[sys.argv[1]](sys.argv[2], lambda name: os.path.join(sys.argv[3], name))
