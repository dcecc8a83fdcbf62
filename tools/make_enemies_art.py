#!/usr/bin/env python3
"""Draws the level's dangers and makes their sounds.

Writes, into OUTPUT_DIR:
  objects_bg.png + objects_bg.plist   layer 2 (sky creatures and weather), one batch node:
      crow_1 .. crow_4, crow_peck_1 .. crow_peck_2, crow_sling
                                      a crow's wing beat, its peck, and the sling it shoots with
      cloud_plain, cloud_rain, cloud_storm, cloud_hide, cloud_fog, cloud_dusk
                                      clouds: plain, rain (with rain_1 .. rain_3 falling below it),
                                      thunder, the bee's shelter, drifting fog and the dusk cloud
      tornado_1 .. tornado_3          a spinning funnel
      hornet_body_1 .. hornet_body_2, hornet_wings_1 .. hornet_wings_2
                                      the hornet's sting and its wing beat
      steam_1 .. steam_3, steam_hot_1 .. steam_hot_3
                                      puffs of steam, cool and scalding
  enemies_fg.png + enemies_fg.plist   layer 3 (ground creatures and shots):
      beetle_1 .. beetle_2            a walking beetle's step
      mantis, mantis_thorn            a mantis and the thorn it aims
      robocam, robocam_lens           the camera hanging below its pivot (the frame's centre) and its
                                      lens turret
      rooster_1 .. rooster_4          a rooster standing, then pecking forwards
      shot_seed, shot_thorn, shot_acorn, shot_hail, shot_spark, shot_drop
                                      the shots 300 .. 304 and 350
  <name>.wav   16-bit mono sounds: enemy_caw, enemy_sting, enemy_zap, enemy_hiss, enemy_thud,
               enemy_cluck, shot_hit

Frame sizes are points of the game (one pixel each). Output is the same on every run.

Usage: make_enemies_art.py OUTPUT_DIR
"""

import math
import os
import sys

from PIL import ImageChops

from art import sheet
from art.paint import INK, Canvas, bezier, darker, lighter
from make_objects_art import knock, save_wav, sequence, tone

CROW = (70, 76, 110)
BEAK = (246, 170, 60)
CLOUD = (250, 250, 255)
RAIN_CLOUD = (176, 186, 206)
STORM_CLOUD = (120, 110, 150)
DUSK = (240, 180, 190)
HORNET = (250, 196, 40)
STEAM = (240, 244, 250)
STEAM_HOT = (255, 196, 170)
BEETLE = (214, 64, 52)
MANTIS = (120, 190, 84)
METAL = (150, 170, 180)
ROOSTER = (236, 226, 206)
COMB = (226, 58, 50)


def eye(c, x, y, r=2.2):
    """A friendly eye: white, a dark pupil and a glint."""
    c.ellipse((x - r, y - r, x + r, y + r), (255, 255, 255), outline=0.8)
    c.fill(c.ellipse_mask((x - r * 0.45, y - r * 0.45, x + r * 0.55, y + r * 0.55)), INK)
    c.fill(c.ellipse_mask((x - r * 0.15, y - r * 0.4, x + r * 0.25, y)), (255, 255, 255))


# --- sky creatures ---------------------------------------------------------------------------

def crow(wing, peck=0.0):
    """A round crow facing right; `wing` from -1 (down) to 1 (up), `peck` 0..1 leans it forwards."""
    c = Canvas(48, 36)
    lean = peck * 4
    c.ellipse((4 + lean, 10, 36 + lean, 32), CROW, outline=1.4, shine=0.25)
    c.ellipse((24 + lean, 4, 40 + lean, 20), CROW, outline=1.4, shine=0.3)
    gape = 3 * peck
    c.shape(c.polygon_mask([(38 + lean, 10), (47, 12 + gape / 2), (38 + lean, 14)]), (38, 10, 47, 15), BEAK,
            outline=0.9)
    if gape:
        c.shape(c.polygon_mask([(38 + lean, 14), (46, 15 + gape), (38 + lean, 16)]), (38, 14, 46, 18), BEAK,
                outline=0.9)
    eye(c, 33 + lean, 10)
    tip = (10, 22 - 12 * wing)
    c.shape(c.polygon_mask(bezier([(14, 20), tip, (8, 28), (22, 26)], 12)), (6, 6, 24, 30), lighter(CROW, 0.15),
            outline=1.1)
    c.stroke([(16, 32), (16, 35)], 1.2, BEAK)
    c.stroke([(22, 32), (22, 35)], 1.2, BEAK)
    return c.result()


def sling():
    c = Canvas(18, 8)
    c.shape(c.rounded_mask((1, 1, 17, 7), 3), (1, 1, 17, 7), (150, 104, 60), outline=0.9, shine=0.2)
    c.fill(c.ellipse_mask((13, 2.5, 16, 5.5)), INK)
    return c.result()


def cloud(base, w=96, h=56, face=True, frown=False):
    """A puffy cloud of overlapping discs with a sleepy face."""
    c = Canvas(w, h)
    discs = [(0.08, 0.45, 0.26), (0.3, 0.25, 0.32), (0.58, 0.3, 0.3), (0.8, 0.5, 0.24), (0.45, 0.5, 0.28)]
    mask = c.ellipse_mask((w * 0.08, h * 0.5, w * 0.92, h - 3))
    for fx, fy, fr in discs:
        r = fr * h
        cx, cy = fx * w + r * 0.4, fy * h + r * 0.35
        mask = ImageChops.lighter(mask, c.ellipse_mask((cx - r, cy - r, cx + r, cy + r)))
    c.shape(mask, (0, 0, w, h), base, outline=1.4, shine=0.35, light_at=(0.35, 0.2))
    if face:
        y = h * 0.58
        for x in (w * 0.4, w * 0.6):
            c.stroke(bezier([(x - 3, y), (x, y + (-2 if frown else 2)), (x + 3, y)], 6), 1.1, INK)
        mouth = h * 0.72
        c.stroke(bezier([(w / 2 - 3, mouth + (1.5 if frown else 0)), (w / 2, mouth + (-1 if frown else 2)),
                         (w / 2 + 3, mouth + (1.5 if frown else 0))], 6), 1.0, INK)
    return c.result()


def rain(frame):
    """Slanted drops, shifted downwards each frame so the loop falls."""
    c = Canvas(64, 48)
    for k in range(9):
        x = 6 + k * 6.5
        y = ((k * 17 + frame * 16) % 48) - 6
        c.stroke([(x, y), (x - 2, y + 8)], 2.0, (120, 170, 240), outline=0.6, ink=(70, 110, 180))
    return c.result()


def tornado(frame):
    c = Canvas(56, 96)
    for band in range(7):
        y = 6 + band * 12
        half = 24 - band * 2.8
        shift = 3 * math.sin(band * 0.9 + frame * 2.1)
        box = (28 - half + shift, y, 28 + half + shift, y + 14)
        c.ellipse(box, lighter((120, 124, 140), 0.1 + band * 0.05), outline=1.1, shine=0.15)
    return c.result()


def hornet_body(frame):
    """The hornet facing right; frame 2 curls the sting forwards."""
    c = Canvas(48, 32)
    curl = 4 if frame == 2 else 0
    c.shape(c.polygon_mask([(6, 18 + curl), (0, 22 + curl * 1.5), (7, 22 + curl)]), (0, 16, 8, 26), INK, outline=0)
    body = c.ellipse_mask((4, 10, 32, 28))
    c.outline(body, 1.4)
    c.shade(body, (4, 10, 32, 28), HORNET)
    for x in (10, 17, 24):
        stripe = c.polygon_mask([(x, 8), (x + 4, 8), (x + 4, 30), (x, 30)])
        c.fill(ImageChops.multiply(stripe, body), darker(INK, 0.1))
    c.ellipse((28, 9, 44, 25), HORNET, outline=1.4, shine=0.35)
    eye(c, 38, 15, 2.6)
    c.stroke([(36, 10), (40, 2)], 1.0, INK)
    c.stroke([(40, 10), (45, 3)], 1.0, INK)
    return c.result()


def hornet_wings(frame):
    c = Canvas(28, 20)
    lift = 6 if frame == 1 else 0
    c.ellipse((2, 2 + lift, 26, 14 + lift / 2), (220, 236, 255), outline=0.9, shine=0.5)
    return c.result()


def steam(frame, base):
    c = Canvas(48, 48)
    grow = frame * 2
    puffs = [(18, 28, 10 + grow), (30, 24, 9 + grow), (24, 16, 8 + grow)]
    for x, y, r in puffs:
        c.ellipse((x - r, y - r, x + r, y + r), base, outline=0.8, ink=darker(base, 0.35), shine=0.4)
    return c.result()


# --- ground creatures and shots ----------------------------------------------------------------

def beetle(frame):
    c = Canvas(40, 28)
    step = 2 if frame == 2 else -2
    for x in (12, 20, 28):
        c.stroke([(x, 20), (x + step, 27)], 1.4, INK)
        step = -step
    c.ellipse((4, 4, 32, 24), BEETLE, outline=1.4, shine=0.4)
    c.stroke([(18, 5), (18, 23)], 1.0, INK)
    for x, y in ((11, 11), (25, 11), (13, 18), (23, 18)):
        c.fill(c.ellipse_mask((x - 2, y - 2, x + 2, y + 2)), INK)
    c.ellipse((28, 9, 38, 19), (60, 50, 50), outline=1.2)
    eye(c, 34, 13, 1.8)
    return c.result()


def mantis():
    c = Canvas(40, 40)
    c.stroke([(14, 30), (10, 39)], 1.4, darker(MANTIS, 0.3))
    c.stroke([(22, 30), (26, 39)], 1.4, darker(MANTIS, 0.3))
    c.ellipse((4, 18, 30, 32), MANTIS, outline=1.4, shine=0.3)
    c.stroke([(24, 22), (28, 8)], 4, MANTIS, outline=1.0)
    c.ellipse((22, 2, 36, 14), MANTIS, outline=1.4, shine=0.35)
    eye(c, 31, 7, 2.4)
    return c.result()


def thorn():
    c = Canvas(20, 8)
    c.shape(c.polygon_mask([(1, 1), (19, 4), (1, 7)]), (1, 1, 19, 7), (140, 96, 60), outline=0.9, shine=0.2)
    return c.result()


def robocam():
    """The camera hanging from its pivot, which is the frame's centre."""
    c = Canvas(40, 64)
    c.stroke([(20, 32), (20, 42)], 3, darker(METAL, 0.3), outline=0.8)
    c.ellipse((17, 29, 23, 35), darker(METAL, 0.2), outline=0.8)
    c.shape(c.rounded_mask((3, 38, 37, 60), 6), (3, 38, 37, 60), METAL, outline=1.4, shine=0.35)
    c.fill(c.ellipse_mask((8, 42, 12, 46)), (240, 90, 80))
    return c.result()


def lens():
    c = Canvas(18, 12)
    c.shape(c.rounded_mask((1, 2, 12, 10), 2), (1, 2, 12, 10), darker(METAL, 0.2), outline=0.9)
    c.ellipse((9, 1, 17, 11), (90, 170, 220), outline=1.0, shine=0.6)
    return c.result()


def rooster(frame):
    """Standing (1), then the head dipping forwards to peck (2 .. 4)."""
    c = Canvas(64, 64)
    reach = (0, 5, 10, 13)[frame - 1]
    dip = (0, 4, 9, 14)[frame - 1]
    c.stroke([(26, 48), (24, 62)], 2, BEAK)
    c.stroke([(34, 48), (36, 62)], 2, BEAK)
    for k, colour in enumerate(((60, 130, 90), (40, 90, 120), (200, 80, 60))):
        c.stroke(bezier([(16, 36), (4 - k * 2, 22 + k * 3), (6 + k * 3, 12 + k * 4)], 10), 4, colour, outline=1.0)
    c.ellipse((12, 28, 46, 52), ROOSTER, outline=1.4, shine=0.3)
    hx, hy = 40 + reach, 14 + dip
    c.stroke([(36, 34), (hx, hy + 4)], 8, ROOSTER, outline=1.2)
    c.shape(c.polygon_mask(comb(hx, hy)), (hx - 6, hy - 12, hx + 6, hy), COMB, outline=1.0)
    c.ellipse((hx - 7, hy - 6, hx + 7, hy + 8), ROOSTER, outline=1.3, shine=0.3)
    c.shape(c.polygon_mask([(hx + 5, hy - 1), (hx + 13, hy + 2), (hx + 5, hy + 4)]), (hx + 5, hy - 1, hx + 13, hy + 4),
            BEAK, outline=0.9)
    c.ellipse((hx + 2, hy + 4, hx + 6, hy + 10), COMB, outline=0.8)
    eye(c, hx + 1, hy, 2.2)
    return c.result()


def comb(x, y):
    """The rooster's comb, three points over the head."""
    return [(x - 6, y - 2), (x - 5, y - 9), (x - 2, y - 5), (x, y - 11), (x + 2, y - 5), (x + 5, y - 9),
            (x + 6, y - 2)]


def shot(kind):
    c = Canvas(*{"seed": (12, 12), "thorn": (16, 8), "acorn": (14, 16), "hail": (12, 12), "spark": (12, 12),
                 "drop": (12, 12)}[kind])
    if kind == "seed":
        c.ellipse((2, 3, 10, 9), (160, 120, 70), outline=1.0, shine=0.4)
    elif kind == "thorn":
        c.shape(c.polygon_mask([(1, 1), (15, 4), (1, 7)]), (1, 1, 15, 7), (120, 150, 70), outline=0.9)
    elif kind == "acorn":
        c.ellipse((2, 5, 12, 15), (190, 130, 70), outline=1.0, shine=0.4)
        c.shape(c.rounded_mask((1, 2, 13, 7), 3), (1, 2, 13, 7), (120, 84, 50), outline=1.0)
    elif kind == "hail":
        c.ellipse((1, 1, 11, 11), (230, 240, 255), outline=1.0, ink=(110, 140, 180), shine=0.7)
    elif kind == "spark":
        c.glow(c.ellipse_mask((3, 3, 9, 9)), (255, 220, 120), 3)
        c.ellipse((3, 3, 9, 9), (255, 240, 170), outline=0.6, ink=(230, 140, 40))
    else:
        c.shape(c.polygon_mask(bezier([(6, 1), (1, 9), (6, 12), (11, 9)], 6) + [(6, 1)]), (1, 1, 11, 12),
                (120, 180, 250), outline=0.9, ink=(70, 110, 180), shine=0.5)
    return c.result()


def background_frames():
    frames = {"crow_sling.png": sling(), "cloud_plain.png": cloud(CLOUD), "cloud_rain.png": cloud(RAIN_CLOUD),
              "cloud_storm.png": cloud(STORM_CLOUD, frown=True), "cloud_hide.png": cloud(lighter(CLOUD, 0.5), 128, 72),
              "cloud_fog.png": cloud((226, 230, 236), 112, 40, face=False), "cloud_dusk.png": cloud(DUSK)}
    for k, wing in enumerate((1.0, 0.3, -1.0, 0.3), 1):
        frames["crow_%d.png" % k] = crow(wing)
    for k in (1, 2):
        frames["crow_peck_%d.png" % k] = crow(0.0, k / 2)
        frames["hornet_body_%d.png" % k] = hornet_body(k)
        frames["hornet_wings_%d.png" % k] = hornet_wings(k)
    for k in (1, 2, 3):
        frames["rain_%d.png" % k] = rain(k)
        frames["tornado_%d.png" % k] = tornado(k)
        frames["steam_%d.png" % k] = steam(k, STEAM)
        frames["steam_hot_%d.png" % k] = steam(k, STEAM_HOT)
    return frames


def foreground_frames():
    frames = {"mantis.png": mantis(), "mantis_thorn.png": thorn(), "robocam.png": robocam(),
              "robocam_lens.png": lens()}
    for k in (1, 2):
        frames["beetle_%d.png" % k] = beetle(k)
    for k in (1, 2, 3, 4):
        frames["rooster_%d.png" % k] = rooster(k)
    for kind in ("seed", "thorn", "acorn", "hail", "spark", "drop"):
        frames["shot_%s.png" % kind] = shot(kind)
    return frames


def sounds():
    return {
        "enemy_caw": tone([520, 780], 0.24, glide=-0.6, noise=0.35, seed=21),
        "enemy_sting": tone([1320, 1760], 0.12, glide=0.7, noise=0.1, seed=22),
        "enemy_zap": sequence(tone([1200, 1800], 0.06, noise=0.6, seed=23), knock(0.3, 70, 24)),
        "enemy_hiss": tone([3000], 0.35, attack=0.05, noise=0.9, seed=25),
        "enemy_thud": knock(0.14, 110, 26),
        "enemy_cluck": sequence(knock(0.05, 600, 27), tone([700, 1050], 0.1, glide=-0.4)),
        "shot_hit": knock(0.08, 900, 28),
    }


def main(out_dir):
    sheet.write(background_frames(), os.path.join(out_dir, "objects_bg.png"), os.path.join(out_dir, "objects_bg.plist"))
    sheet.write(foreground_frames(), os.path.join(out_dir, "enemies_fg.png"), os.path.join(out_dir, "enemies_fg.plist"))
    for name, samples in sounds().items():
        save_wav(samples, os.path.join(out_dir, name + ".wav"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
