"""Draws the machines and composite objects of the foreground layer, for make_objects_art.py.

frames() gives the frames that go into objects_fg (frame name -> image), in the same style as the
other level objects; rope_images() the rope textures, which are separate files because the game
repeats them along a rope:

  turbine_blade, turbine_hub          a wind turbine's blade drawn along +x from its pivot at
                                      (6, 10) from the lower left, and the hub over the pivot
  waterwheel_blade                    a water-tower turbine's paddle, pivot at (4, 9)
  wood_cross                          a turning cross of two planks, turning about its centre
  big_wheel_wheel, big_wheel_centre   one spoke and rim segment of the big wheel (anchor (0.5, 0):
                                      the segment stands up from the hub) and its hub
  raft, raft_mast, raft_flag          the right half of the raft (mirrored for the left), the mast
                                      (stretched to its height) and the flag
  cart, trolley, cart_wheel           a powered cart's deck, a free trolley's deck, their wheel
  crane_holder, crane_cable, crane_hook, crane_platform, crane_wire
                                      the crane's sliding holder, its cable (stretched), the hook,
                                      the platform and the thin wires to its corners
  balloon_half, balloon_basket, balloon_rock, balloon_wire
                                      the right half of the balloon (drawn twice, mirrored), its
                                      basket, the ballast rock and the stiff wire form of the tie
  tower_plank, tower_plank_broken, tower_brace, tower_brace_broken
                                      the tower's uprights and braces, intact and broken
  clock_face                          the clock tower's top with its face, centre at (48, 84)
  clock_hand_big, clock_hand_small    the hands, drawn along +x from their pivot at (4, 4)
  rope_plain.png, balloon_rope.png    rope textures: a twisted cord whose stripes repeat along x
"""

import math

from art.paint import INK, Canvas, bezier, darker, lighter

WOOD = (184, 128, 72)
WOOD_DARK = (140, 92, 52)
IRON = (120, 124, 138)
RED = (214, 84, 64)
SAIL = (250, 240, 214)
STONE = (168, 160, 150)
BRICK = (200, 150, 110)
BALLOON = (236, 96, 84)
BALLOON_STRIPE = (255, 214, 96)
CORD = (210, 170, 110)


def turbine_blade():
    c = Canvas(92, 20)
    blade = c.polygon_mask(bezier([(6, 10), (30, 2), (88, 6)], 12) + bezier([(88, 12), (30, 18), (6, 10)], 12))
    c.shadow(blade, (1, 1), 1.5)
    c.shape(blade, (6, 2, 88, 18), SAIL, outline=1.4, shine=0.2)
    c.stroke([(10, 10), (84, 9)], 1.0, darker(SAIL, 0.25))
    return c.result()


def turbine_hub():
    c = Canvas(24, 24)
    c.ellipse((2, 2, 22, 22), RED, outline=1.4, shine=0.5)
    c.ellipse((9, 9, 15, 15), darker(RED, 0.3), outline=0.8)
    return c.result()


def waterwheel_blade():
    c = Canvas(70, 18)
    c.stroke([(4, 9), (58, 9)], 4, WOOD_DARK, outline=1.0)
    paddle = c.rounded_mask((52, 1, 68, 17), 2)
    c.shape(paddle, (52, 1, 68, 17), WOOD, outline=1.4, shine=0.15)
    c.ellipse((1, 6, 7, 12), IRON, outline=0.8)
    return c.result()


def wood_cross():
    c = Canvas(100, 100)
    for box in ((4, 42, 96, 58), (42, 4, 58, 96)):
        plank = c.rounded_mask(box, 3)
        c.shadow(plank, (1, 2), 2)
        c.shape(plank, box, WOOD, outline=1.6, shine=0.15)
    for x in (14, 84):
        c.ellipse((x - 3, 47, x + 3, 53), IRON, outline=0.8)
    c.ellipse((44, 44, 56, 56), IRON, outline=1.2, shine=0.4)
    return c.result()


def big_wheel_segment():
    """Stands up from the hub at the bottom centre: a spoke to a curved piece of rim and a seat."""
    c = Canvas(56, 120)
    c.stroke([(28, 118), (28, 20)], 4, WOOD_DARK, outline=1.0)
    rim = bezier([(2, 26), (28, 14), (54, 26)], 12)
    c.stroke(rim, 6, WOOD, outline=1.2)
    seat = c.rounded_mask((16, 4, 40, 18), 4)
    c.shape(seat, (16, 4, 40, 18), RED, outline=1.3, shine=0.35)
    return c.result()


def big_wheel_centre():
    c = Canvas(40, 40)
    c.ellipse((2, 2, 38, 38), IRON, outline=1.5, shine=0.4)
    for k in range(6):
        a = k * math.pi / 3
        c.ellipse((20 + 11 * math.cos(a) - 2, 20 + 11 * math.sin(a) - 2, 20 + 11 * math.cos(a) + 2,
                   20 + 11 * math.sin(a) + 2), darker(IRON, 0.3), outline=0)
    return c.result()


def raft_half():
    """The right half: logs from the middle (x 0) to the bow."""
    c = Canvas(70, 26)
    for k in range(4):
        box = (k * 16, 4 + (k == 3) * 2, k * 16 + 20, 24 - (k == 3) * 2)
        log = c.rounded_mask(box, 7)
        c.shape(log, box, WOOD, outline=1.3, shine=0.15)
        c.ellipse((box[2] - 7, box[1] + 3, box[2] - 1, box[3] - 3), lighter(WOOD, 0.25), outline=0.8)
    c.stroke([(0, 9), (66, 9)], 1.6, (120, 90, 60))
    c.stroke([(0, 19), (66, 19)], 1.6, (120, 90, 60))
    return c.result()


def raft_mast():
    c = Canvas(8, 64)
    mast = c.rounded_mask((1, 0, 7, 64), 2)
    c.shape(mast, (1, 0, 7, 64), WOOD_DARK, outline=1.0)
    return c.result()


def raft_flag():
    c = Canvas(40, 28)
    flag = c.polygon_mask(bezier([(2, 2), (20, -2), (38, 6)], 8) + bezier([(38, 22), (20, 28), (2, 26)], 8))
    c.shape(flag, (2, 2, 38, 26), RED, outline=1.3, shine=0.3)
    c.stroke([(8, 14), (30, 14)], 3, SAIL)
    return c.result()


def cart_deck(colour):
    c = Canvas(104, 40)
    body = c.polygon_mask([(2, 4), (102, 4), (94, 36), (10, 36)])
    c.shadow(body, (1, 2), 2)
    c.shape(body, (2, 4, 102, 36), colour, outline=1.6, shine=0.15)
    for x in (30, 52, 74):
        c.stroke([(x, 8), (x, 32)], 1.2, darker(colour, 0.3))
    c.stroke([(2, 6), (102, 6)], 3, darker(colour, 0.15), outline=0.8)
    return c.result()


def cart_wheel():
    c = Canvas(32, 32)
    c.ellipse((1, 1, 31, 31), (70, 60, 56), outline=1.4)
    c.ellipse((5, 5, 27, 27), WOOD, outline=1.0, shine=0.2)
    for k in range(4):
        a = k * math.pi / 4
        c.stroke([(16 - 10 * math.cos(a), 16 - 10 * math.sin(a)), (16 + 10 * math.cos(a), 16 + 10 * math.sin(a))],
                 1.6, WOOD_DARK)
    c.ellipse((12, 12, 20, 20), IRON, outline=0.8)
    return c.result()


def crane_holder():
    c = Canvas(64, 32)
    box = c.rounded_mask((2, 4, 62, 28), 5)
    c.shadow(box, (1, 2), 2)
    c.shape(box, (2, 4, 62, 28), (240, 186, 60), outline=1.6, shine=0.3)
    for x in (14, 50):
        c.ellipse((x - 5, 20, x + 5, 30), (70, 60, 56), outline=1.0)
    c.stroke([(10, 10), (54, 10)], 2, darker((240, 186, 60), 0.25))
    return c.result()


def cord(width, height, colour, outline):
    c = Canvas(width, height)
    c.stroke([(width / 2, 0), (width / 2, height)], width - 2 * outline, colour, outline=outline)
    return c.result()


def crane_hook():
    c = Canvas(24, 28)
    c.stroke(bezier([(12, 2), (12, 16), (22, 20), (14, 26)], 12) + bezier([(14, 26), (8, 27), (5, 20)], 6)[1:], 3,
             IRON, outline=1.0)
    c.ellipse((7, 0, 17, 8), IRON, outline=1.0, shine=0.3)
    return c.result()


def crane_platform():
    c = Canvas(100, 14)
    box = c.rounded_mask((1, 2, 99, 12), 2)
    c.shape(box, (1, 2, 99, 12), WOOD, outline=1.4, shine=0.1)
    for x in (20, 40, 60, 80):
        c.stroke([(x, 3), (x, 11)], 1.0, darker(WOOD, 0.3))
    return c.result()


def balloon_half():
    """The right half of the envelope, its straight edge at x 0."""
    c = Canvas(50, 112)
    half = c.polygon_mask(bezier([(0, 2), (52, 4), (50, 62), (8, 110)], 20) + [(0, 110)])
    c.shape(half, (-50, 2, 50, 110), BALLOON, outline=1.5, shine=0.35, light_at=(0.45, 0.25))
    for x in (16, 34):
        stripe = c.polygon_mask(bezier([(x - 4, 3), (x + 12, 30), (x + 8, 70), (x * 0.3, 108)], 16) +
                                bezier([(x * 0.3 + 3, 108), (x + 14, 70), (x + 18, 30), (x + 4, 4)], 16))
        c.fill(stripe, BALLOON_STRIPE, 0.85)
    c.clip(half)
    return c.result()


def balloon_basket():
    c = Canvas(46, 36)
    basket = c.polygon_mask([(2, 6), (44, 6), (38, 34), (8, 34)])
    c.shadow(basket, (1, 2), 2)
    c.shape(basket, (2, 6, 44, 34), (196, 150, 90), outline=1.5)
    for y in (14, 22, 30):
        c.stroke([(6, y), (40, y)], 1.2, darker((196, 150, 90), 0.3))
    for x in (12, 20, 28, 36):
        c.stroke([(x, 8), (x - 1, 32)], 1.0, darker((196, 150, 90), 0.2))
    c.shape(c.rounded_mask((0, 2, 46, 9), 3), (0, 2, 46, 9), WOOD_DARK, outline=1.2)
    return c.result()


def balloon_rock():
    c = Canvas(32, 28)
    rock = c.polygon_mask(bezier([(4, 24), (-2, 12), (8, 2), (18, 3)], 12) + bezier([(18, 3), (32, 4), (34, 22), (22, 27)], 12))
    c.shadow(rock, (1, 2), 2)
    c.shape(rock, (0, 2, 32, 27), STONE, outline=1.4, shine=0.3)
    c.stroke([(10, 4), (16, 0)], 2.0, CORD, outline=0.6)
    return c.result()


def tower_piece(width, height, broken):
    c = Canvas(width, height)
    if broken:
        for top, bottom in ((2, height * 0.45), (height * 0.55, height - 2)):
            box = (2, top, width - 2, bottom)
            c.shape(c.rounded_mask(box, 2), box, darker(WOOD, 0.1), outline=1.2)
        c.stroke([(2, height * 0.47), (width / 2, height * 0.43), (width - 2, height * 0.5)], 1.2, INK)
        return c.result()
    box = (2, 2, width - 2, height - 2)
    plank = c.rounded_mask(box, 2)
    c.shape(plank, box, WOOD, outline=1.4, shine=0.1)
    for y in (8, height - 8):
        c.ellipse((width / 2 - 2, y - 2, width / 2 + 2, y + 2), IRON, outline=0.6)
    c.stroke([(width / 2, 12), (width / 2 - 1, height - 12)], 1.0, darker(WOOD, 0.25))
    return c.result()


def clock_face():
    """The top of the clock tower: brick, a pointed roof and the face, centre at (48, 84)."""
    c = Canvas(96, 168)
    tower = c.rounded_mask((10, 40, 86, 166), 3)
    c.shadow(tower, (1, 2), 2)
    c.shape(tower, (10, 40, 86, 166), BRICK, outline=1.6, shine=0.1)
    for y in range(52, 164, 12):
        c.stroke([(12, y), (84, y)], 0.8, darker(BRICK, 0.2))
    roof = c.polygon_mask([(4, 44), (48, 0), (92, 44)])
    c.shape(roof, (4, 0, 92, 44), (90, 110, 150), outline=1.6, shine=0.25)
    c.ellipse((18, 54, 78, 114), (250, 246, 230), outline=2.0, shine=0.2)
    for k in range(12):
        a = k * math.pi / 6
        r0, r1 = (22, 27) if k % 3 else (19, 27)
        c.stroke([(48 + r0 * math.cos(a), 84 + r0 * math.sin(a)), (48 + r1 * math.cos(a), 84 + r1 * math.sin(a))],
                 1.6 if k % 3 else 2.4, INK)
    c.ellipse((34, 126, 62, 164), darker(BRICK, 0.45), outline=1.2)
    return c.result()


def clock_hand(length, width):
    """Points along +x from the pivot at (4, 4) from the lower left."""
    c = Canvas(length, 8)
    hand = c.polygon_mask([(4, 4 - width / 2), (length - 8, 4 - width / 4), (length - 1, 4), (length - 8, 4 + width / 4),
                           (4, 4 + width / 2)])
    c.shape(hand, (0, 0, length, 8), (54, 40, 34), outline=0.6)
    c.ellipse((1, 1, 7, 7), (200, 160, 60), outline=0.8)
    return c.result()


def rope_texture(colour, stripe):
    """A cord along x whose twist stripes repeat every 16 pixels, so copies join seamlessly."""
    c = Canvas(32, 8)
    c.stroke([(-2, 4), (34, 4)], 5, colour, outline=1.0)
    for x in (0, 16, 32):
        c.stroke([(x - 4, 6.5), (x + 4, 1.5)], 2.0, stripe)
    return c.result()


def frames():
    return {
        "turbine_blade.png": turbine_blade(),
        "turbine_hub.png": turbine_hub(),
        "waterwheel_blade.png": waterwheel_blade(),
        "wood_cross.png": wood_cross(),
        "big_wheel_wheel.png": big_wheel_segment(),
        "big_wheel_centre.png": big_wheel_centre(),
        "raft.png": raft_half(),
        "raft_mast.png": raft_mast(),
        "raft_flag.png": raft_flag(),
        "cart.png": cart_deck((92, 150, 200)),
        "trolley.png": cart_deck((120, 172, 96)),
        "cart_wheel.png": cart_wheel(),
        "crane_holder.png": crane_holder(),
        "crane_cable.png": cord(4, 32, (70, 70, 76), 1.0),
        "crane_hook.png": crane_hook(),
        "crane_platform.png": crane_platform(),
        "crane_wire.png": cord(3, 32, (90, 90, 96), 0.6),
        "balloon_half.png": balloon_half(),
        "balloon_basket.png": balloon_basket(),
        "balloon_rock.png": balloon_rock(),
        "balloon_wire.png": cord(4, 32, CORD, 1.0),
        "tower_plank.png": tower_piece(14, 100, False),
        "tower_plank_broken.png": tower_piece(14, 100, True),
        "tower_brace.png": tower_piece(10, 124, False),
        "tower_brace_broken.png": tower_piece(10, 124, True),
        "clock_face.png": clock_face(),
        "clock_hand_big.png": clock_hand(40, 5),
        "clock_hand_small.png": clock_hand(30, 7),
    }


def rope_images():
    return {
        "rope_plain.png": rope_texture(CORD, darker(CORD, 0.35)),
        "balloon_rope.png": rope_texture((236, 226, 200), (200, 90, 80)),
    }
