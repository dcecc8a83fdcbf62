#!/usr/bin/env python3
"""Draws the player's bee, its buddies and its trail.

Writes, into OUTPUT_DIR:
  vantrel.png + vantrel.plist  the sprite sheet of the lead bee's parts and the buddy wing beat
  vantrel_trail.png            the ribbon texture of the bee's trail (repeats along its length)

The lead bee faces +x (right). The part functions take a zoom, so that bigger pictures of the
same bee can be drawn elsewhere (the menu's rank bee). Part sizes fit its rig: a head circle of radius 19 points drawn
centred; the abdomen pinned 14 points behind the head at its point (28, 9); wings hinged at their
point (18, 3); antennae rooted 3 points below their point (16, 0), the left one mirrored.

Usage: make_bee_art.py OUTPUT_DIR
"""

import math
import os
import sys

from PIL import Image, ImageChops

from art import output, sheet
from art.paint import INK, Canvas, bezier, mix

GOLD = (255, 196, 54)
STRIPE = (92, 54, 30)
CHEEK = (255, 130, 120)
WING = (214, 240, 255)


def head(blink, zoom=1.0):
    c = Canvas(44, 44, zoom)
    box = (3, 3, 41, 41)
    c.ellipse(box, GOLD, outline=1.6, light=(255, 242, 170), dark=(226, 140, 30), shine=0.55)
    # A band of fuzz at the back of the head, where it meets the abdomen.
    fuzz = ImageChops.multiply(c.blur(c.ellipse_mask((-8, 6, 14, 38)), 2.0), c.ellipse_mask(box))
    c.fill(fuzz, (232, 150, 36), 0.5)
    # Cheek.
    c.fill(c.blur(c.ellipse_mask((27, 25, 37, 31)), 1.2), CHEEK, 0.75)
    # Eye, looking ahead.
    if blink:
        c.stroke(bezier([(24.5, 17.5), (29.5, 22.5), (35, 16.5)]), 1.9, INK)
        c.stroke([(25.5, 18.5), (23.5, 16.5)], 1.2, INK)
    else:
        eye = (24, 10, 35, 23.5)
        c.ellipse(eye, (255, 255, 255), outline=1.2, light=(255, 255, 255), dark=(210, 220, 235))
        c.ellipse((28.5, 13, 34, 21.5), (40, 28, 36), outline=0, light=(90, 66, 80), dark=(20, 12, 18))
        c.fill(c.ellipse_mask((29.6, 14.2, 31.8, 16.6)), (255, 255, 255))
        c.fill(c.ellipse_mask((31.8, 18.4, 32.9, 19.6)), (255, 255, 255), 0.8)
    # Smile near the front of the face.
    c.stroke(bezier([(31.5, 30.5), (35.5, 33.5), (38.5, 28.5)]), 1.3, INK)
    return c.result()


def body(zoom=1.0):
    c = Canvas(40, 18, zoom)
    box = (4.5, 1.5, 39, 16.5)
    abdomen = c.ellipse_mask(box)
    sting = c.polygon_mask([(0.5, 9), (6.5, 6.5), (6.5, 11.5)])
    c.outline(sting, 1.0)
    c.fill(sting, STRIPE)
    c.shape(abdomen, box, GOLD, outline=1.6, light=(255, 238, 160), dark=(214, 128, 26))
    stripes = c.new_mask()
    for x0 in (9.5, 18, 26.5):
        stripes = ImageChops.lighter(stripes, c.polygon_mask([(x0, 0), (x0 + 4.5, 0), (x0 + 3.5, 18), (x0 - 1, 18)]))
    stripes = ImageChops.multiply(stripes, abdomen)
    c.shade(stripes, box, STRIPE, light=(150, 100, 64), dark=(56, 30, 18))
    c.highlight(abdomen, box, 0.5)
    return c.result()


def wing_mask(c, root, tip, breadth):
    """A leaf-shaped wing from root to tip, `breadth` wide at its widest."""
    (rx, ry), (tx, ty) = root, tip
    length = math.hypot(tx - rx, ty - ry)
    ux, uy = (tx - rx) / length, (ty - ry) / length
    nx, ny = -uy, ux
    points = []
    for i in range(41):
        t = i / 40 * math.pi
        along = (1 - math.cos(t)) / 2 * length
        across = math.sin(t) ** 0.8 * breadth / 2 * (0.75 + 0.25 * along / length)
        points.append((rx + ux * along + nx * across, ry + uy * along + ny * across))
    for i in range(40, -1, -1):
        t = i / 40 * math.pi
        along = (1 - math.cos(t)) / 2 * length
        across = math.sin(t) ** 0.8 * breadth / 2 * 0.55
        points.append((rx + ux * along - nx * across, ry + uy * along - ny * across))
    return c.polygon_mask(points)


def wing(zoom=1.0):
    c = Canvas(24, 30, zoom)
    root, tip = (18, 27), (6, 3)
    mask = wing_mask(c, root, tip, 15)
    c.fill(c.dilate(mask, 1.2), INK + (200,))
    c.shade(mask, (2, 2, 22, 28), WING, light=(255, 255, 255), dark=(150, 196, 235), light_at=(0.35, 0.2))
    # Veins.
    for end in ((5, 8), (9, 5), (4, 13)):
        c.stroke(bezier([(17, 25), (12, 16), end]), 0.8, (130, 170, 210))
    c.highlight(mask, (2, 2, 22, 28), 0.7, light_at=(0.35, 0.3))
    image = c.result()
    # The wings are see-through: the body shows behind them.
    alpha = image.getchannel("A").point(lambda v: round(v * 0.86))
    image.putalpha(alpha)
    return image


def antenna(zoom=1.0):
    c = Canvas(19, 22, zoom)
    stalk = bezier([(16, 22.5), (15.5, 12), (7, 12), (6, 6)])
    c.stroke(stalk, 1.9, STRIPE, outline=0.6)
    c.ellipse((2, 1, 10, 9), STRIPE, outline=1.0, light=(170, 120, 80), dark=(50, 28, 16), shine=0.6)
    return c.result()


def small_bee(frame):
    """A buddy bee facing right; frame 1, 2, 3 have the wing up, level and down."""
    c = Canvas(28, 24)
    wing_tips = {1: (8, 1.5), 2: (3.5, 5.5), 3: (2, 10)}
    back = wing_mask(c, (12, 11), (wing_tips[frame][0] + 3, wing_tips[frame][1] + 1), 7)
    c.fill(c.dilate(back, 0.9), INK + (150,))
    c.shade(back, (0, 0, 16, 12), WING, light=(255, 255, 255), dark=(160, 200, 235))
    abdomen = (2.5, 10, 17.5, 20.5)
    c.shape(c.ellipse_mask(abdomen), abdomen, GOLD, outline=1.2, light=(255, 236, 150), dark=(214, 128, 26))
    stripes = c.new_mask()
    for x0 in (6, 10.5):
        stripes = ImageChops.lighter(stripes, c.polygon_mask([(x0, 8), (x0 + 2.4, 8), (x0 + 1.8, 22), (x0 - 0.6, 22)]))
    c.shade(ImageChops.multiply(stripes, c.ellipse_mask(abdomen)), abdomen, STRIPE, light=(140, 96, 60),
            dark=(56, 30, 18))
    head_box = (13.5, 6.5, 26, 19)
    c.stroke(bezier([(19, 8), (18.5, 3.5), (15.5, 2.5)]), 1.0, STRIPE)
    c.ellipse(head_box, GOLD, outline=1.2, light=(255, 244, 176), dark=(226, 140, 30), shine=0.5)
    c.fill(c.ellipse_mask((20.4, 9.6, 23.6, 13.6)), (40, 28, 36))
    c.fill(c.ellipse_mask((21.2, 10.3, 22.3, 11.5)), (255, 255, 255))
    c.fill(c.blur(c.ellipse_mask((21, 14.2, 24.4, 16.4)), 0.6), CHEEK, 0.7)
    front = wing_mask(c, (12.5, 11.5), wing_tips[frame], 8)
    c.fill(c.dilate(front, 0.9), INK + (170,))
    c.shade(front, (0, 0, 16, 12), WING, light=(255, 255, 255), dark=(160, 200, 235))
    return c.result()


def trail():
    """A soft warm streak: opaque down the middle, clear at both sides, gently shimmering along."""
    size = 32
    image = Image.new("RGBA", (size, size))
    pixels = image.load()
    for y in range(size):
        shimmer = 0.85 + 0.15 * math.cos(y / size * 2 * math.pi)
        for x in range(size):
            across = (x + 0.5) / size * 2 - 1
            alpha = math.exp(-(across / 0.5) ** 2) * shimmer
            core = math.exp(-(across / 0.22) ** 2)
            colour = mix((255, 214, 110), (255, 252, 236), core)
            pixels[x, y] = colour + (round(alpha * 255),)
    return image


def main(out_dir):
    frames = {
        "vantrel_head.png": head(blink=False),
        "vantrel_head_blink.png": head(blink=True),
        "vantrel_body.png": body(),
        "vantrel_antennae.png": antenna(),
        "vantrel_wing.png": wing(),
        "small_bee_1.png": small_bee(1),
        "small_bee_2.png": small_bee(2),
        "small_bee_3.png": small_bee(3),
    }
    sheet.write(frames, os.path.join(out_dir, "vantrel.png"), os.path.join(out_dir, "vantrel.plist"))
    output.save_png(trail(), os.path.join(out_dir, "vantrel_trail.png"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
