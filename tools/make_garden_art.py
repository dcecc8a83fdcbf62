#!/usr/bin/env python3
"""Draws the garden's look (see make_level_art.py for the files): a cultivated garden of striped
lawn over brick edging, clipped hedges and topiary, flower borders, an orchard in rows, a
greenhouse, a picket fence with roses, pots, a planter and a watering can; blossom drifting over
a clear sky.

Usage: make_garden_art.py OUTPUT_DIR
"""

import math
import random

from PIL import ImageChops

import make_level_art as level
from art.paint import Canvas, bezier, darker, lighter, mix

LAWN = (112, 190, 78)
HEDGE = (58, 134, 72)
BRICK = (196, 104, 76)
MORTAR = (226, 206, 180)
SOIL = (124, 82, 56)
GROUND_FILL = (96, 62, 42)  # the garden levels' "ground_fill_colour"
BARK = (132, 86, 52)
TERRACOTTA = (214, 116, 72)
PAINT = (246, 244, 236)  # white paint of fence and greenhouse
BLOOMS = [(244, 120, 170), (255, 214, 80), (250, 250, 250), (168, 130, 226), (234, 84, 72)]
BLOSSOM = (255, 190, 214)


def flower_dots(c, box, count, seed, r=2.2, colours=BLOOMS):
    """Little round blooms strewn over a box (a bed seen from a distance), each with a glint."""
    rng = random.Random(seed)
    x0, y0, x1, y1 = box
    blooms = {colour: [] for colour in colours}
    for _ in range(count):
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        blooms[rng.choice(colours)].append((x - r, y - r, x + r, y + r))
    for colour, boxes in blooms.items():
        if boxes:
            c.shape(c.ellipses_mask(boxes), box, colour, outline=0.6, light=colour, dark=darker(colour, 0.15))
    glints = [(bx + r * 0.5, by + r * 0.5, bx + r * 1.1, by + r * 1.1) for boxes in blooms.values()
              for bx, by, _, _ in boxes]
    c.fill(c.ellipses_mask(glints), (255, 255, 255), 0.6)


def clipped(c, mask, box, colour=HEDGE, outline=1.4):
    """A clipped hedge surface: shaded green with the fine scallops of trimmed leaves."""
    c.shape(mask, box, colour, outline=outline, light=lighter(colour, 0.3), dark=darker(colour, 0.3),
            light_at=(0.4, 0.1))
    x0, y0, x1, y1 = box
    rng = random.Random(int(x0 * 7 + y0 * 13))
    leaves = []
    for _ in range(int((x1 - x0) * (y1 - y0) / 40)):
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        leaves.append((x - 1.6, y - 1.2, x + 1.6, y + 1.2))
    c.fill(ImageChops.multiply(c.ellipses_mask(leaves), mask), lighter(colour, 0.22), 0.6)


# --- rings -----------------------------------------------------------------------------------

def ring_ground():
    """512 x 128: a mown lawn in stripes along the top, a course of bricks edging it, dark bed
    soil fading to the fill colour."""
    w, h = 512, 128
    c = Canvas(w, h)
    level.soil(c, [(0, 30), (w, 30)], SOIL, GROUND_FILL)
    rng = random.Random(21)
    level.pebbles(c, rng, 18, SOIL, (214, 190, 160), size=((2.5, 4), (1.5, 2.5)))
    # The brick edging: one course, every brick a little different.
    c.fill(c.polygon_mask([(0, 22), (w, 22), (w, 38), (0, 38)]), MORTAR)
    for i in range(16):
        x = i * w / 16
        colour = mix(BRICK, (160, 80, 60), rng.uniform(0, 0.5))
        brick = (x + 1, 23, x + w / 16 - 1, 37)
        c.shape(c.rounded_mask(brick, 2), brick, colour, outline=0.8, ink=darker(BRICK, 0.5),
                light=lighter(colour, 0.25), dark=darker(colour, 0.2), light_at=(0.4, 0.0))
    # The lawn: a level band in alternating mown stripes, short even blades along its top.
    lawn = c.polygon_mask([(0, 8), (w, 8), (w, 24), (0, 24)])
    c.outline(lawn, 1.2, darker(LAWN, 0.5))
    for i in range(16):
        colour = lighter(LAWN, 0.18) if i % 2 else LAWN
        stripe = ImageChops.multiply(lawn, c.polygon_mask([(i * 32, 0), (i * 32 + 32, 0), (i * 32 + 32, 30),
                                                           (i * 32, 30)]))
        c.shade(stripe, (i * 32, 8, i * 32 + 32, 24), colour, light=lighter(colour, 0.2), dark=darker(colour, 0.12),
                light_at=(0.5, 0.0))
    blades = []
    for i in range(256):
        x = i * w / 256
        for tx in level.tiled(w, x):
            blades.append([(tx - 1.2, 10), (tx + rng.uniform(-0.6, 0.6), rng.uniform(4, 6)), (tx + 1.2, 10)])
    c.fill(c.polygon_mask(*blades), lighter(LAWN, 0.1))
    return c.result()


def ring_near():
    """512 x 256, ridge near row 120 like the meadow's: a clipped hedge wall with an arch, balls and
    cones of topiary rising over it, a flower border at its foot."""
    w, h = 512, 256
    c = Canvas(w, h)
    wall_top = 140
    # Topiary behind the wall's top: balls on stems and cones.
    for i, x in enumerate((40, 168, 296, 424)):
        if i % 2:
            cone = c.polygon_mask([(x - 20, wall_top + 6), (x, wall_top - 70), (x + 20, wall_top + 6)])
            clipped(c, cone, (x - 20, wall_top - 70, x + 20, wall_top + 6))
        else:
            c.stroke([(x, wall_top + 4), (x, wall_top - 30)], 5, BARK, outline=1.0)
            ball = (x - 24, wall_top - 74, x + 24, wall_top - 26)
            clipped(c, c.ellipse_mask(ball), ball)
    # The hedge wall in clipped sections, an arch cut through every other one.
    for i in range(4):
        x = i * w / 4
        section = c.rounded_mask((x + 3, wall_top + (6 if i % 2 else 0), x + w / 4 - 3, h + 20), 12)
        if i % 2 == 0:
            section = ImageChops.subtract(section, c.rounded_mask((x + 46, wall_top + 24, x + 82, h + 20), 18))
        clipped(c, section, (x, wall_top, x + w / 4, h))
    # A bed of dark soil at the hedge's foot, full of flowers.
    bed = c.polygon_mask([(0, 192), (w, 192), (w, h), (0, h)])
    c.shade(bed, (0, 186, w, h), SOIL, light=lighter(SOIL, 0.2), dark=darker(SOIL, 0.2), light_at=(0.5, 0.0))
    flower_dots(c, (4, 184, w - 4, 200), 90, 31, r=3.0)
    return c.result()


def ring_far():
    """512 x 256, ridge near row 90 like the meadow's: an orchard of round trees in rows over
    gently rolling lawns, a greenhouse catching the light, all softened by distance."""
    w, h = 512, 256
    c = Canvas(w, h, supersample=2)
    mist = (156, 202, 176)
    profile = [(x, 118 + level.wavy(w, x, [(2, 8), (5, 4)], 41)) for x in range(0, w + 1, 4)]
    land = c.polygon_mask(profile + [(w, h), (0, h)])
    # Greenhouse first, so the trees of the front row stand before it.
    gx = 300
    house = c.polygon_mask([(gx - 34, 122), (gx - 34, 100), (gx, 82), (gx + 34, 100), (gx + 34, 122)])
    c.shape(house, (gx - 34, 82, gx + 34, 122), (214, 236, 240), outline=0.8, ink=(130, 160, 160),
            light=(250, 255, 255), dark=(176, 210, 214))
    c.fill(c.lines_mask([((gx + k * 11, 90 + abs(k) * 2.5), (gx + k * 11, 122)) for k in range(-3, 4)]
                        + [((gx - 34, 100), (gx + 34, 100))], 1.0), (150, 176, 176))
    for row, (y, size, colour) in enumerate(((104, 11, (120, 176, 140)), (124, 14, (100, 164, 120)))):
        for i in range(12):
            x = (i + 0.5 * row) * w / 12 + 6
            if row == 0 and abs(x - gx) < 44:
                continue
            tree = Canvas(40, 60, supersample=2)
            tree.stroke([(20, 58), (20, 30)], 3, (120, 120, 100))
            tree.shade(tree.ellipse_mask((20 - size, 30 - size * 1.9, 20 + size, 30 + size * 0.1)),
                       (20 - size, 30 - size * 2, 20 + size, 30), colour, light=lighter(colour, 0.3),
                       dark=darker(colour, 0.2))
            c.paste_tiled(tree, (x - 20, y - 58 + 14))
    c.shade(land, (0, 100, w, h), mist, light=lighter(mist, 0.3), dark=darker(mist, 0.15), light_at=(0.5, 0.0))
    # Mown stripes on the nearest lawn.
    stripes = [[(x, 150), (x + 24, 150), (x + 40, h), (x + 16, h)] for x in range(-24, w + 24, 48)]
    c.fill(ImageChops.multiply(c.polygon_mask(*stripes), land), lighter(mist, 0.25), 0.5)
    return c.result()


# --- sky -------------------------------------------------------------------------------------

def blossom(size, petal):
    """A five-petalled blossom, round, fine at any angle."""
    c = Canvas(size, size)
    m, r = size / 2, size * 0.22
    for k in range(5):
        a = k * 2 * math.pi / 5
        x, y = m + math.cos(a) * r, m + math.sin(a) * r
        c.ellipse((x - r, y - r, x + r, y + r), petal, outline=0.8, ink=darker(petal, 0.4))
    c.ellipse((m - r * 0.5, m - r * 0.5, m + r * 0.5, m + r * 0.5), (255, 214, 90), outline=0.6, shine=0.5)
    return c.result()


def petal(w, h, colour):
    c = Canvas(w, h)
    mask = c.polygon_mask(bezier([(w / 2, 2), (w - 1, h * 0.3), (w / 2, h - 2)], 10) +
                          bezier([(w / 2, h - 2), (1, h * 0.3), (w / 2, 2)], 10))
    c.shape(mask, (0, 0, w, h), colour, outline=0.8, ink=darker(colour, 0.4), shine=0.4)
    return c.result()


# --- background (layer 2) --------------------------------------------------------------------

def blossom_tree():
    """96 x 128: a standard fruit tree in blossom, its crown clipped round on a straight trunk."""
    c = Canvas(96, 128)
    c.shape(c.polygon_mask([(44, 127), (45, 60), (51, 60), (52, 127)]), (44, 60, 52, 127), BARK)
    crown = (10, 6, 86, 76)
    clipped(c, c.ellipse_mask(crown), crown, colour=(86, 156, 82))
    flower_dots(c, (20, 12, 76, 66), 26, 61, r=3.0, colours=[BLOSSOM, (255, 236, 242), (250, 160, 190)])
    return c.result()


def cone_topiary():
    """56 x 140: a yew clipped into three tiers, standing in a square planter."""
    c = Canvas(56, 140)
    planter = (12, 112, 44, 139)
    c.shape(c.rounded_mask(planter, 2), planter, TERRACOTTA, light=lighter(TERRACOTTA, 0.3))
    c.stroke([(12, 118), (44, 118)], 1.2, darker(TERRACOTTA, 0.4))
    c.stroke([(28, 114), (28, 104)], 4, BARK, outline=1.0)
    for top, bottom, half in ((4, 46, 12), (34, 78, 18), (64, 108, 24)):
        tier = c.polygon_mask([(28 - half, bottom), (28, top), (28 + half, bottom)])
        clipped(c, tier, (28 - half, top, 28 + half, bottom), colour=(48, 120, 66))
    return c.result()


def box_hedge():
    """80 x 48: a block of box hedge clipped square with rounded edges, white flowers at its foot."""
    c = Canvas(80, 48)
    block = (4, 8, 76, 46)
    clipped(c, c.rounded_mask(block, 9), block)
    flower_dots(c, (6, 40, 74, 46), 9, 71, r=2.2, colours=[(250, 250, 250), (255, 230, 120)])
    return c.result()


def greenhouse():
    """112 x 104: a white-framed glass house on a brick plinth, plants showing through."""
    c = Canvas(112, 104)
    plinth = (8, 84, 104, 103)
    c.shape(c.rounded_mask(plinth, 2), plinth, BRICK, light=lighter(BRICK, 0.25))
    for y in (90, 96):
        c.stroke([(8, y), (104, y)], 0.8, MORTAR)
    # Plants inside, seen through the glass.
    for x, r, colour in ((26, 12, (90, 170, 80)), (50, 15, (70, 150, 80)), (76, 12, (110, 180, 90)), (92, 9, LAWN)):
        c.ellipse((x - r, 84 - r * 2, x + r, 86), colour, outline=0.8)
    flower_dots(c, (18, 62, 96, 80), 8, 81, r=2.4)
    glass = c.polygon_mask([(10, 84), (10, 40), (56, 10), (102, 40), (102, 84)])
    c.fill(glass, (214, 240, 250), 0.45)
    c.highlight(glass, (10, 10, 102, 84), 0.5, light_at=(0.3, 0.3))
    frame = [((10, 84), (10, 40)), ((10, 40), (56, 10)), ((56, 10), (102, 40)), ((102, 40), (102, 84)),
             ((10, 40), (102, 40)), ((10, 62), (102, 62))]
    frame += [((x, 84), (x, 40)) for x in (33, 56, 79)]
    frame += [((x, 40), (56, 10)) for x in (33, 79)]
    mask = c.lines_mask(frame, 2.4)
    c.outline(mask, 0.9)
    c.fill(mask, PAINT)
    return c.result()


def picket_fence():
    """128 x 40: a white picket fence with a rose climbing over it."""
    c = Canvas(128, 40)
    for y in (16, 30):
        c.shape(c.rounded_mask((2, y - 2.5, 126, y + 2.5), 1.5), (2, y - 3, 126, y + 3), PAINT)
    for x in range(6, 128, 12):
        picket = c.polygon_mask([(x - 4, 39), (x - 4, 9), (x, 3), (x + 4, 9), (x + 4, 39)])
        c.shape(picket, (x - 4, 3, x + 4, 39), PAINT, outline=1.0, light=(255, 255, 255), dark=(206, 204, 196))
    c.stroke(bezier([(20, 39), (40, 12), (70, 20), (96, 10)]), 1.6, (70, 120, 60), outline=0.6)
    for x, y in ((30, 24), (44, 12), (60, 18), (78, 16), (92, 10)):
        c.ellipse((x - 4, y - 3, x + 4, y + 3), (90, 160, 80), outline=0.7)
    for x, y in ((38, 18), (66, 16), (88, 8)):
        c.ellipse((x - 4.5, y - 4.5, x + 4.5, y + 4.5), (226, 70, 100), outline=0.9, shine=0.4)
        c.stroke(bezier([(x - 2, y), (x, y - 2), (x + 2, y)], 6), 0.8, (150, 30, 60))
    return c.result()


# --- foreground (layer 3) --------------------------------------------------------------------

def marigolds(w, h, seed, blooms):
    """A low clump of leaves with round orange and yellow blooms: the flower border's edging."""
    c = Canvas(w, h)
    rng = random.Random(seed)
    mask = c.new_mask()
    for k in range(5):
        x = w * (0.15 + 0.7 * k / 4)
        mask = ImageChops.lighter(mask, c.ellipse_mask((x - w * 0.16, h * 0.45, x + w * 0.16, h + 4)))
    c.shape(mask, (0, h * 0.4, w, h), (80, 150, 70), outline=1.0, light=(130, 190, 100), dark=(50, 110, 50))
    for _ in range(blooms):
        x, y = rng.uniform(w * 0.15, w * 0.85), rng.uniform(h * 0.3, h * 0.6)
        r = rng.uniform(4, 5.5)
        colour = rng.choice([(255, 150, 40), (255, 200, 50), (250, 120, 40)])
        c.ellipse((x - r, y - r, x + r, y + r), colour, outline=0.9, shine=0.3)
        c.ellipse((x - 1.5, y - 1.5, x + 1.5, y + 1.5), darker(colour, 0.3), outline=0)
    return c.result()


def tulips():
    """48 x 28: three tulips."""
    c = Canvas(48, 28)
    for x, top, colour in ((12, 8, (234, 70, 80)), (24, 4, (255, 190, 60)), (36, 9, (236, 110, 170))):
        c.stroke([(x, 27), (x, top + 6)], 1.6, (80, 150, 70), outline=0.5)
        cup = c.polygon_mask([(x - 5, top), (x - 2.5, top + 3), (x, top), (x + 2.5, top + 3), (x + 5, top)] +
                             bezier([(x + 5, top), (x + 5, top + 9), (x, top + 9)], 6)[1:] +
                             bezier([(x, top + 9), (x - 5, top + 9), (x - 5, top)], 6)[1:])
        c.shape(cup, (x - 5, top, x + 5, top + 9), colour, outline=0.9, shine=0.3)
    c.shape(c.polygon_mask(bezier([(16, 27), (8, 20), (6, 14)], 6) + [(16, 24)]), (6, 14, 16, 27),
            (90, 160, 80), outline=0.7)
    return c.result()


def planter():
    """72 x 40: a wooden planter trough full of pansies."""
    c = Canvas(72, 40)
    wood = (176, 120, 74)
    box = c.polygon_mask([(6, 20), (66, 20), (62, 39), (10, 39)])
    leaves = c.new_mask()
    for k in range(7):
        x = 10 + k * 8.7
        leaves = ImageChops.lighter(leaves, c.ellipse_mask((x - 7, 10, x + 7, 24)))
    c.shape(leaves, (6, 10, 66, 24), (80, 150, 70), outline=1.0)
    rng = random.Random(91)
    for k in range(6):
        x, y = 12 + k * 9.6, rng.uniform(9, 14)
        colour = rng.choice([(150, 100, 220), (255, 210, 60), (240, 120, 170), (250, 250, 250)])
        for a in (0.6, 2.2, 3.8, 5.2):
            px, py = x + math.cos(a) * 2.6, y + math.sin(a) * 2.6
            c.ellipse((px - 3, py - 3, px + 3, py + 3), colour, outline=0.6)
        c.ellipse((x - 1.4, y - 1.4, x + 1.4, y + 1.4), (80, 40, 60), outline=0)
    c.shape(box, (6, 20, 66, 39), wood, light=lighter(wood, 0.3), dark=darker(wood, 0.25))
    for y in (26, 32):
        c.stroke([(8, y), (64, y)], 0.9, darker(wood, 0.4))
    return c.result()


def watering_can():
    """40 x 44: a green watering can with its rose pointing up and right."""
    c = Canvas(40, 44)
    green = (90, 170, 120)
    c.stroke(bezier([(26, 28), (32, 22), (37, 10)], 8), 3.2, green, outline=1.0)
    rose = c.polygon_mask([(33, 8), (39, 4), (40, 12), (36, 13)])
    c.shape(rose, (33, 4, 40, 13), green, outline=0.9)
    handle = c.stroke_mask(bezier([(8, 22), (8, 8), (20, 8), (24, 20)], 12), 2.6)
    c.outline(handle, 1.0)
    c.fill(handle, green)
    body = (4, 18, 28, 43)
    c.shape(c.rounded_mask(body, 4), body, green, light=lighter(green, 0.4), dark=darker(green, 0.3), shine=0.4)
    c.stroke([(5, 36), (27, 36)], 1.0, darker(green, 0.4))
    return c.result()


def pots():
    """48 x 28: terracotta pots stacked on their sides and one upright."""
    c = Canvas(48, 28)
    upright = c.polygon_mask([(24, 6), (44, 6), (41, 27), (27, 27)])
    c.shape(upright, (24, 6, 44, 27), TERRACOTTA, light=lighter(TERRACOTTA, 0.3), dark=darker(TERRACOTTA, 0.25))
    c.shape(c.rounded_mask((22, 4, 46, 10), 2), (22, 4, 46, 10), TERRACOTTA, outline=1.0, shine=0.3)
    c.ellipse((26, 4.5, 42, 8.5), darker(TERRACOTTA, 0.45), outline=0)
    side = c.polygon_mask([(2, 14), (20, 17), (20, 27), (2, 27)])
    c.shape(side, (2, 14, 20, 27), TERRACOTTA, light=lighter(TERRACOTTA, 0.3))
    c.ellipse((16, 14, 24, 27), darker(TERRACOTTA, 0.2), outline=1.0)
    c.ellipse((18, 17, 22, 24), darker(TERRACOTTA, 0.5), outline=0)
    return c.result()


def cabbage():
    """40 x 28: a round cabbage from the vegetable bed."""
    c = Canvas(40, 28)
    colour = (140, 196, 110)
    for box in ((2, 10, 20, 27), (20, 10, 38, 27)):
        c.ellipse(box, darker(colour, 0.15), outline=1.0)
    head = (9, 3, 31, 26)
    c.ellipse(head, colour, outline=1.2, light=lighter(colour, 0.4), dark=darker(colour, 0.2))
    for points in ([(14, 22), (13, 12), (20, 6)], [(26, 22), (27, 12), (20, 6)], [(20, 25), (20, 14)]):
        c.stroke(bezier(points, 8) if len(points) == 3 else points, 0.9, darker(colour, 0.35))
    return c.result()


def title_backdrop(w, h):
    """Behind the group's title on its menu screen: a clipped hedge with a ball of topiary at
    either end and a border of flowers at its foot."""
    c = Canvas(w, h)
    for x in (44, w - 44):
        c.stroke([(x, h * 0.4), (x, h * 0.2)], 5, BARK, outline=1.0)
        ball = (x - 26, h * 0.02, x + 26, h * 0.02 + 52)
        clipped(c, c.ellipse_mask(ball), ball)
    hedge = (24, h * 0.3, w - 24, h - 14)
    clipped(c, c.rounded_mask(hedge, 18), hedge)
    flower_dots(c, (30, h - 22, w - 30, h - 8), 60, 911, r=3.4)
    return c.result()


def look():
    return level.Look(
        ground=ring_ground(), near=ring_near(), far=ring_far(),
        sky={
            "garden_sun.png": level.sun(),
            "garden_puff_1.png": level.puff(72, 48, 61),
            "garden_puff_2.png": level.puff(52, 36, 62),
            "garden_blossom.png": blossom(24, BLOSSOM),
            "garden_petal.png": petal(14, 20, (255, 206, 222)),
        },
        background=level.background(tree_round=blossom_tree(), tree_tall=cone_topiary(), bush=box_hedge(),
                                    cottage=greenhouse(), fence=picket_fence()),
        foreground=level.foreground(grass_1=marigolds(64, 32, 101, 5), grass_2=tulips(), daisies=planter(),
                                    mushroom=watering_can(), stones=pots(), clover=cabbage()))


if __name__ == "__main__":
    level.look_main(look, "garden", __doc__)
