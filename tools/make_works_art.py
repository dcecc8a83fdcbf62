#!/usr/bin/env python3
"""Draws the works' look (see make_level_art.py for the files): riveted steel decking over cinders
with a pipe buried in them, brick workshops under sawtooth roofs, a chimney, girders, cogs and a
run of pipework, a smoky skyline far off; a hazy orange sun and drifting smoke in the sky.

Usage: make_works_art.py OUTPUT_DIR
"""

import math
import random

from PIL import ImageChops

import make_level_art as level
from art.paint import INK, Canvas, bezier, darker, lighter, mix

STEEL = (138, 146, 160)
GIRDER = (186, 86, 62)  # red-lead paint
BRICK = (176, 96, 72)
PIPE = (84, 150, 140)
BRASS = (222, 176, 84)
VALVE = (214, 64, 52)
CINDER = (92, 82, 80)
GROUND_FILL = (70, 62, 60)  # the works levels' "ground_fill_colour"
SMOKE = (146, 138, 134)


def cog_mask(c, cx, cy, r, teeth, depth=0.22, hole=0.3):
    """A cog wheel of outer radius r with `teeth` square teeth and a round hole in the middle."""
    outline = []
    for k in range(teeth * 4):
        a = (k / (teeth * 4)) * 2 * math.pi
        rr = r if k % 4 in (1, 2) else r * (1 - depth)
        outline.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
    mask = c.polygon_mask(outline)
    return ImageChops.subtract(mask, c.ellipse_mask((cx - r * hole, cy - r * hole, cx + r * hole, cy + r * hole)))


def cog(c, cx, cy, r, teeth, colour, outline=1.2):
    c.shape(cog_mask(c, cx, cy, r, teeth), (cx - r, cy - r, cx + r, cy + r), colour, outline=outline, shine=0.3)


def rivets(c, points, r=1.3, colour=STEEL):
    c.shape(c.ellipses_mask([(x - r, y - r, x + r, y + r) for x, y in points]), (0, 0, *c.size), colour,
            outline=0.5, light=lighter(colour, 0.5), dark=darker(colour, 0.1))


def pipe(c, x0, x1, y, thickness, colour=PIPE, flanges=()):
    """A horizontal pipe from x0 to x1 centred on row y, with flanges at the given x."""
    box = (x0, y - thickness / 2, x1, y + thickness / 2)
    c.shape(c.polygon_mask([(x0, box[1]), (x1, box[1]), (x1, box[3]), (x0, box[3])]), box, colour, outline=1.2,
            light=lighter(colour, 0.45), dark=darker(colour, 0.3), light_at=(0.5, 0.1))
    for x in flanges:
        flange = (x - 3, y - thickness / 2 - 3, x + 3, y + thickness / 2 + 3)
        c.shape(c.rounded_mask(flange, 1.5), flange, darker(colour, 0.1), outline=1.0, light_at=(0.5, 0.1))


def valve_wheel(c, cx, cy, r):
    spokes = [((cx - r, cy), (cx + r, cy)), ((cx, cy - r), (cx, cy + r))]
    rim = ImageChops.subtract(c.ellipse_mask((cx - r, cy - r, cx + r, cy + r)),
                              c.ellipse_mask((cx - r * 0.7, cy - r * 0.7, cx + r * 0.7, cy + r * 0.7)))
    wheel = ImageChops.lighter(rim, c.lines_mask(spokes, r * 0.3))
    c.shape(wheel, (cx - r, cy - r, cx + r, cy + r), VALVE, outline=0.9, shine=0.3)


def smoke_plume(c, x, y, size, seed, colour=SMOKE, drift=1.0):
    """Puffs rising from (x, y), growing, fading and drifting right with the wind."""
    rng = random.Random(seed)
    for k in range(5):
        r = size * (0.5 + 0.25 * k)
        px, py = x + drift * size * 0.9 * k, y - size * 0.9 * k + rng.uniform(-2, 2)
        c.fill(c.blur(c.ellipse_mask((px - r, py - r * 0.8, px + r, py + r * 0.8)), size * 0.15),
               lighter(colour, 0.08 * k), 0.85 - 0.14 * k)


# --- rings -----------------------------------------------------------------------------------

def ring_ground():
    """512 x 128: riveted steel deck plates along the surface, a pipe buried in the cinders below,
    cinders fading to the fill colour."""
    w, h = 512, 128
    c = Canvas(w, h)
    rng = random.Random(31)
    level.soil(c, [(0, 20), (w, 20)], CINDER, GROUND_FILL)
    lumps = []
    for _ in range(70):
        x, y, r = rng.uniform(0, w), rng.uniform(28, h - 36), rng.uniform(1.2, 3.0)
        lumps += [(x + dx - r, y - r * 0.8, x + dx + r, y + r * 0.8) for dx in (-w, 0, w)]
    c.shape(c.ellipses_mask(lumps), (0, 0, w, h), (58, 54, 56), outline=0, light=(96, 92, 96), dark=(40, 36, 40))
    pipe(c, -4, w + 4, 56, 14, mix(PIPE, CINDER, 0.35), flanges=(64, 320))
    # Deck plates: a band of steel in plates, seams and rivets.
    deck = c.polygon_mask([(0, 8), (w, 8), (w, 24), (0, 24)])
    c.outline(deck, 1.2, darker(STEEL, 0.55))
    c.shade(deck, (0, 8, w, 24), STEEL, light=lighter(STEEL, 0.35), dark=darker(STEEL, 0.25), light_at=(0.5, 0.0))
    seams, studs = [], []
    for i in range(8):
        x = i * w / 8
        seams.append(((x, 8), (x, 24)))
        studs += [(x + 5, 12), (x + 5, 20), (x + w / 8 - 5, 12), (x + w / 8 - 5, 20)]
    c.fill(c.lines_mask(seams, 1.0), darker(STEEL, 0.5))
    rivets(c, studs)
    # Sooty weeds pushing up between the plates.
    for i in range(6):
        x = (i + rng.uniform(0.2, 0.8)) * w / 6
        tuft = level.grass_tuft(20, 12, 40 + i, colour=(108, 140, 80), blades=5)
        tuft_canvas = Canvas(20, 12)
        tuft_canvas.image.alpha_composite(tuft.resize(tuft_canvas.image.size))
        c.paste_tiled(tuft_canvas, (x - 10, 0))
    return c.result()


def ring_near():
    """512 x 256, ridge near row 120 like the meadow's: a brick workshop under a sawtooth roof, a
    tall chimney, a girder bridge, a great cog and pipework running along in front."""
    w, h = 512, 256
    c = Canvas(w, h)
    # The chimney first, its smoke blowing right.
    cx = 232
    stack = c.polygon_mask([(cx - 12, h), (cx - 9, 36), (cx + 9, 36), (cx + 12, h)])
    c.shape(stack, (cx - 12, 36, cx + 12, h), BRICK, light=lighter(BRICK, 0.25), dark=darker(BRICK, 0.3))
    c.fill(c.lines_mask([((cx - 11, y), (cx + 11, y)) for y in (48, 52)], 1.6), darker(BRICK, 0.45))
    smoke_plume(c, cx + 4, 30, 12, 51)
    # The workshop: sawtooth roof, brick walls, tall windows.
    x0, x1, eaves = 8, 196, 128
    teeth = []
    for k in range(4):
        a = x0 + k * (x1 - x0) / 4
        teeth.append([(a, eaves), (a, eaves - 26), (a + (x1 - x0) / 4, eaves)])
    roof = c.polygon_mask(*teeth)
    c.shape(roof, (x0, eaves - 26, x1, eaves), (92, 96, 110), light=(140, 146, 160), dark=(64, 66, 80))
    glazing = c.lines_mask([((x0 + k * (x1 - x0) / 4 + 2, eaves - 4), (x0 + k * (x1 - x0) / 4 + 2, eaves - 22))
                            for k in range(4)], 3)
    c.fill(glazing, (200, 226, 236))
    wall = (x0, eaves, x1, h)
    c.shape(c.polygon_mask([(x0, eaves), (x1, eaves), (x1, h), (x0, h)]), wall, BRICK, light=lighter(BRICK, 0.2),
            dark=darker(BRICK, 0.25))
    courses = [((x0, y), (x1, y)) for y in range(eaves + 8, h, 8)]
    c.fill(c.lines_mask(courses, 0.8), darker(BRICK, 0.3), 0.6)
    for k in range(5):
        wx = x0 + 14 + k * 36
        window = (wx, eaves + 14, wx + 20, eaves + 48)
        c.shape(c.rounded_mask(window, 9), window, (70, 90, 110), outline=1.2, light=(150, 180, 200),
                dark=(50, 60, 80), light_at=(0.3, 0.1))
        c.stroke([(wx + 10, eaves + 16), (wx + 10, eaves + 48)], 1.0, (190, 190, 190))
    # The girder bridge on two legs.
    gx0, gx1, gy = 260, 410, 132
    chords = [((gx0, gy), (gx1, gy)), ((gx0, gy + 16), (gx1, gy + 16))]
    webs = [((gx0 + k * 15, gy + (16 if k % 2 else 0)), (gx0 + (k + 1) * 15, gy + (0 if k % 2 else 16)))
            for k in range(10)]
    legs = [((gx0 + 8, gy + 16), (gx0 + 8, h)), ((gx1 - 8, gy + 16), (gx1 - 8, h))]
    truss = ImageChops.lighter(c.lines_mask(chords + legs, 5), c.lines_mask(webs, 3))
    c.shape(truss, (gx0, gy, gx1, h), GIRDER, outline=1.1, light=lighter(GIRDER, 0.3), dark=darker(GIRDER, 0.3))
    # The great cog, half sunk, wrapping round the texture's edge.
    for x in (480 - w, 480):
        cog(c, x, 176, 58, 14, STEEL)
        c.ellipse((x - 10, 166, x + 10, 186), darker(STEEL, 0.3), outline=1.0)
    # Pipework along the front, a riser with a valve.
    pipe(c, -4, w + 4, 190, 12, flanges=(40, 168, 296, 424))
    riser = c.polygon_mask([(330, 190), (330, 150), (342, 150), (342, 190)])
    c.shape(riser, (330, 150, 342, 190), PIPE, outline=1.2, light_at=(0.1, 0.5))
    valve_wheel(c, 336, 146, 9)
    return c.result()


def ring_far():
    """512 x 256, ridge near row 90 like the meadow's: a skyline of sheds, chimneys with smoke, a
    water tower and a gantry crane, pale with distance."""
    w, h = 512, 256
    c = Canvas(w, h, supersample=2)
    haze = (160, 164, 176)
    rng = random.Random(61)
    shapes = []
    for i in range(8):
        x = i * w / 8 + rng.uniform(-6, 6)
        bw, top = rng.uniform(40, 62), rng.uniform(100, 128)
        shapes.append([(x, h), (x, top), (x + bw * 0.5, top - 12), (x + bw, top), (x + bw, h)])
    for x, top in ((60, 40), (190, 56), (330, 34), (450, 50)):
        shapes.append([(x - 6, h), (x - 5, top), (x + 5, top), (x + 6, h)])
        smoke_plume(c, x, top - 6, 7, int(x), colour=(196, 190, 186))
    # The water tower and the gantry.
    shapes.append([(262, 80), (262, 62), (290, 62), (290, 80)])
    shapes.append([(400, 70), (400, 64), (470, 64), (470, 70)])
    skyline = c.polygon_mask(*shapes)
    frame = c.lines_mask([((264, 80), (258, 130)), ((288, 80), (294, 130)), ((404, 70), (404, 130)),
                          ((430, 70), (430, 130)), ((404, 90), (430, 110)), ((430, 90), (404, 110)),
                          ((460, 70), (460, 96))], 2)
    skyline = ImageChops.lighter(skyline, frame)
    c.shade(skyline, (0, 30, w, h), haze, light=lighter(haze, 0.25), dark=darker(haze, 0.12), light_at=(0.5, 0.0))
    # The nearer yard: a low embankment.
    profile = [(x, 150 + level.wavy(w, x, [(2, 6), (5, 3)], 62)) for x in range(0, w + 1, 4)]
    bank = mix(haze, CINDER, 0.35)
    c.shade(c.polygon_mask(profile + [(w, h), (0, h)]), (0, 140, w, h), bank, light=lighter(bank, 0.2),
            dark=darker(bank, 0.1), light_at=(0.5, 0.0))
    return c.result()


# --- sky -------------------------------------------------------------------------------------

def hazy_sun():
    """144 x 144 like the meadow's sun: a big orange disc seen through the smoke, bands of haze
    drawn across it."""
    size = 144
    c = Canvas(size, size)
    m = size / 2
    c.glow(c.ellipse_mask((m - 52, m - 52, m + 52, m + 52)), (255, 200, 120), 12, 0.7)
    disc = c.ellipse_mask((m - 40, m - 40, m + 40, m + 40))
    c.shape(disc, (m - 40, m - 40, m + 40, m + 40), (255, 160, 70), outline=1.6, ink=(200, 100, 50),
            light=(255, 226, 150), dark=(240, 120, 60), shine=0.3)
    bands = c.lines_mask([((m - 52, m + dy), (m + 52, m + dy + 4)) for dy in (-10, 8, 24)], 5)
    c.fill(c.blur(bands, 2), (240, 200, 170), 0.55)
    for ex in (-13, 13):
        c.stroke(bezier([(m + ex - 6, m - 12), (m + ex, m - 8), (m + ex + 6, m - 12)]), 2.2, (190, 90, 40))
    return c.result()


def spark():
    c = Canvas(16, 16)
    c.glow(c.ellipse_mask((5, 5, 11, 11)), (255, 180, 80), 2, 0.9)
    c.ellipse((6, 6, 10, 10), (255, 226, 140), outline=0)
    return c.result()


# --- background (layer 2) --------------------------------------------------------------------

def water_tank():
    """96 x 128: a riveted water tank on a braced trestle."""
    c = Canvas(96, 128)
    legs = [((22, 127), (28, 62)), ((74, 127), (68, 62)), ((24, 112), (70, 78)), ((72, 112), (26, 78)),
            ((25, 96), (71, 96))]
    frame = c.lines_mask(legs, 4)
    c.shape(frame, (20, 60, 76, 127), GIRDER, outline=1.0, light_at=(0.5, 0.1))
    tank = (12, 18, 84, 66)
    c.shape(c.rounded_mask(tank, 6), tank, STEEL, light=lighter(STEEL, 0.4), dark=darker(STEEL, 0.3),
            light_at=(0.3, 0.3), shine=0.3)
    c.fill(c.lines_mask([((12, 34), (84, 34)), ((12, 50), (84, 50))], 1.2), darker(STEEL, 0.4))
    rivets(c, [(16 + k * 8, y) for k in range(9) for y in (30, 38, 46, 54)], 1.0)
    roof = c.polygon_mask([(8, 20), (48, 2), (88, 20)])
    c.shape(roof, (8, 2, 88, 20), darker(STEEL, 0.2))
    return c.result()


def chimney():
    """56 x 140: a tapering brick chimney with a banded top, smoke leaving it."""
    c = Canvas(56, 140)
    stack = c.polygon_mask([(14, 139), (19, 30), (37, 30), (42, 139)])
    c.shape(stack, (14, 30, 42, 139), BRICK, light=lighter(BRICK, 0.3), dark=darker(BRICK, 0.3))
    c.fill(c.lines_mask([((15, y), (41, y)) for y in range(40, 139, 7)], 0.8), darker(BRICK, 0.3), 0.6)
    top = (15, 26, 41, 36)
    c.shape(c.rounded_mask(top, 2), top, darker(BRICK, 0.35))
    smoke_plume(c, 28, 20, 7, 71)
    return c.result()


def pipe_stack():
    """80 x 48: lengths of pipe stacked three, two, one, seen end on."""
    c = Canvas(80, 48)
    for row, count in enumerate((3, 2, 1)):
        for k in range(count):
            x, y = 20 + k * 20 + row * 10, 37 - row * 16
            c.ellipse((x - 10, y - 10, x + 10, y + 10), PIPE if (k + row) % 2 else mix(PIPE, STEEL, 0.6),
                      outline=1.2, light_at=(0.3, 0.3))
            c.ellipse((x - 5, y - 5, x + 5, y + 5), (40, 44, 50), outline=0.6)
    return c.result()


def workshop():
    """112 x 104: a brick workshop under a sawtooth roof, a big door and a cog on its gable."""
    c = Canvas(112, 104)
    wall = (6, 40, 106, 103)
    c.shape(c.polygon_mask([(6, 40), (106, 40), (106, 103), (6, 103)]), wall, BRICK,
            light=lighter(BRICK, 0.25), dark=darker(BRICK, 0.25))
    c.fill(c.lines_mask([((6, y), (106, y)) for y in range(46, 103, 6)], 0.7), darker(BRICK, 0.3), 0.6)
    teeth = [[(x, 40), (x, 16), (x + 33, 40)] for x in (6, 39, 72)]
    c.shape(c.polygon_mask(*teeth), (6, 16, 106, 40), (92, 96, 110), light=(140, 146, 160), dark=(64, 66, 80))
    c.fill(c.lines_mask([((x + 2, 20), (x + 2, 38)) for x in (6, 39, 72)], 2.6), (200, 226, 236))
    door = (40, 62, 74, 103)
    c.shape(c.polygon_mask([(40, 62), (74, 62), (74, 103), (40, 103)]), door, (96, 110, 120))
    c.fill(c.lines_mask([((40 + k * 6.8, 62), (40 + k * 6.8, 103)) for k in range(1, 5)], 1.0), (70, 80, 90))
    cog(c, 90, 58, 10, 8, BRASS, outline=1.0)
    cog(c, 20, 58, 8, 7, STEEL, outline=1.0)
    return c.result()


def girder_rail():
    """128 x 40: a length of red-lead truss on short posts."""
    c = Canvas(128, 40)
    chords = [((2, 8), (126, 8)), ((2, 24), (126, 24))]
    posts = [((8, 8), (8, 39)), ((120, 8), (120, 39)), ((64, 24), (64, 39))]
    webs = [((2 + k * 15.5, 8 if k % 2 else 24), (2 + (k + 1) * 15.5, 24 if k % 2 else 8)) for k in range(8)]
    truss = ImageChops.lighter(c.lines_mask(chords + posts, 4.5), c.lines_mask(webs, 2.6))
    c.shape(truss, (0, 6, 128, 39), GIRDER, outline=1.1, light=lighter(GIRDER, 0.3), dark=darker(GIRDER, 0.3))
    rivets(c, [(8, 8), (8, 24), (120, 8), (120, 24), (64, 24)], 1.3, STEEL)
    return c.result()


# --- foreground (layer 3) --------------------------------------------------------------------

def pipe_stubs():
    """64 x 32: pipes coming up out of the ground, one with a valve, weeds between them."""
    c = Canvas(64, 32)
    tuft = level.grass_tuft(64, 32, 83, colour=(108, 140, 80), blades=6)
    c.image.alpha_composite(tuft.resize(c.image.size))
    elbow = c.stroke_mask(bezier([(16, 31), (16, 14), (28, 12)], 10), 7)
    c.shape(elbow, (12, 8, 30, 31), PIPE, outline=1.1, light_at=(0.2, 0.3))
    c.shape(c.rounded_mask((27, 8, 32, 16), 1), (27, 8, 32, 16), darker(PIPE, 0.15), outline=1.0)
    riser = c.polygon_mask([(42, 31), (42, 16), (49, 16), (49, 31)])
    c.shape(riser, (42, 16, 49, 31), mix(PIPE, STEEL, 0.6), outline=1.1, light_at=(0.2, 0.3))
    valve_wheel(c, 45.5, 13, 6)
    return c.result()


def gauge():
    """48 x 28: a pressure gauge on a short pipe."""
    c = Canvas(48, 28)
    c.shape(c.polygon_mask([(21, 27), (21, 16), (27, 16), (27, 27)]), (21, 16, 27, 27), STEEL, outline=1.0)
    face = (12, 1, 36, 25)
    c.ellipse(face, BRASS, outline=1.2, shine=0.3)
    c.ellipse((15, 4, 33, 22), (250, 246, 230), outline=0.8)
    c.stroke([(24, 13), (30, 8)], 1.4, VALVE)
    c.fill(c.lines_mask([((24 + math.cos(a) * 7, 13 + math.sin(a) * 7), (24 + math.cos(a) * 8.5, 13 + math.sin(a) * 8.5))
                         for a in (math.pi * (0.8 + 0.2 * k) for k in range(8))], 0.8), INK)
    return c.result()


def drums():
    """72 x 40: two oil drums, one standing, one lying on its side."""
    c = Canvas(72, 40)
    blue = (70, 110, 170)
    standing = (4, 4, 32, 39)
    c.shape(c.rounded_mask(standing, 3), standing, blue, light=lighter(blue, 0.35), dark=darker(blue, 0.3),
            light_at=(0.3, 0.2))
    c.fill(c.lines_mask([((4, 14), (32, 14)), ((4, 28), (32, 28))], 1.4), darker(blue, 0.4))
    c.ellipse((6, 2, 30, 8), lighter(blue, 0.2), outline=1.0)
    lying = (34, 14, 70, 39)
    c.shape(c.rounded_mask(lying, 3), lying, VALVE, light=lighter(VALVE, 0.35), dark=darker(VALVE, 0.3),
            light_at=(0.3, 0.2))
    c.fill(c.lines_mask([((44, 14), (44, 39)), ((58, 14), (58, 39))], 1.4), darker(VALVE, 0.4))
    c.ellipse((64, 14, 72, 39), lighter(VALVE, 0.15), outline=1.0)
    return c.result()


def oil_can():
    """40 x 44: an oil can with its long spout."""
    c = Canvas(40, 44)
    c.stroke([(22, 22), (37, 4)], 2.4, BRASS, outline=1.0)
    body = c.polygon_mask([(4, 43), (4, 26), (14, 18), (26, 18), (36, 26), (36, 43)])
    c.shape(body, (4, 18, 36, 43), (200, 60, 50), light=(250, 120, 100), dark=(140, 40, 40), shine=0.4)
    c.shape(c.rounded_mask((14, 14, 26, 20), 2), (14, 14, 26, 20), BRASS, outline=1.0)
    c.stroke(bezier([(8, 30), (2, 22), (10, 16)], 8), 2.0, darker(STEEL, 0.2), outline=0.8)
    return c.result()


def bricks():
    """48 x 28: a stack of loose bricks."""
    c = Canvas(48, 28)
    for x, y, bw in ((2, 18, 22), (24, 18, 22), (12, 9, 22), (30, 9, 14)):
        box = (x, y, x + bw, y + 9)
        c.shape(c.rounded_mask(box, 1.5), box, BRICK, outline=1.0, light=lighter(BRICK, 0.3), light_at=(0.4, 0.1))
    return c.result()


def cogs():
    """40 x 28: two cogs dropped on the ground."""
    c = Canvas(40, 28)
    cog(c, 13, 16, 11, 9, STEEL, outline=1.0)
    cog(c, 30, 20, 7.5, 7, BRASS, outline=1.0)
    return c.result()


def title_backdrop(w, h):
    """Behind the group's title on its menu screen: a riveted steel plate hung on chains from a
    girder, cogs turning behind its lower corners."""
    c = Canvas(w, h)
    chords = [((0, 6), (w, 6)), ((0, 20), (w, 20))]
    webs = [((k * 20, 6 if k % 2 else 20), ((k + 1) * 20, 20 if k % 2 else 6)) for k in range(w // 20)]
    truss = ImageChops.lighter(c.lines_mask(chords, 4.5), c.lines_mask(webs, 2.6))
    c.shape(truss, (0, 4, w, 22), GIRDER, outline=1.1, light=lighter(GIRDER, 0.3), dark=darker(GIRDER, 0.3))
    links = [(x - 3, y - 4, x + 3, y + 4) for x in (90, w - 90) for y in range(26, 44, 7)]
    c.shape(c.ellipses_mask(links), (0, 20, w, 46), STEEL, outline=0.8)
    cog(c, 54, h - 34, 30, 10, BRASS)
    cog(c, w - 54, h - 30, 26, 9, STEEL)
    plate = (40, 40, w - 40, h - 12)
    c.shadow(c.rounded_mask(plate, 8), (0, 3), 3, strength=0.4)
    c.shape(c.rounded_mask(plate, 8), plate, (96, 104, 120), outline=1.6, light=(150, 158, 174), dark=(66, 72, 86),
            light_at=(0.4, 0.0))
    rivets(c, [(x, y) for x in range(52, w - 40, 22) for y in (48, h - 20)] + [(48, h / 2 + 14), (w - 48, h / 2 + 14)],
           1.8)
    return c.result()


def look():
    return level.Look(
        ground=ring_ground(), near=ring_near(), far=ring_far(),
        sky={
            "works_sun.png": hazy_sun(),
            "works_smoke_1.png": level.heap(96, 80, 901, SMOKE, 0.75),
            "works_smoke_2.png": level.heap(72, 60, 902, lighter(SMOKE, 0.2), 0.7),
            "works_smoke_3.png": level.heap(52, 44, 903, darker(SMOKE, 0.15), 0.75),
            "works_spark.png": spark(),
        },
        background=level.background(tree_round=water_tank(), tree_tall=chimney(), bush=pipe_stack(),
                                    cottage=workshop(), fence=girder_rail()),
        foreground=level.foreground(grass_1=pipe_stubs(), grass_2=gauge(), daisies=drums(), mushroom=oil_can(),
                                    stones=bricks(), clover=cogs()))


if __name__ == "__main__":
    level.look_main(look, "works", __doc__)
