"""Packs named frames into one power-of-two texture and writes the engine's sprite-sheet list.

The property list uses layout format 2: per frame "frame" {{x,y},{w,h}} in texture pixels,
"offset" {0,0}, "rotated" NO, "sourceColorRect" and "sourceSize"; frames are stored untrimmed and
unrotated, so a frame's content size is exactly the picture drawn for it and anchors given in
points of that size land where the artwork expects them.
"""

import os

from PIL import Image

from art import output

PADDING = 2  # transparent pixels between frames, so linear filtering never bleeds across


def _next_power_of_two(value):
    size = 1
    while size < value:
        size *= 2
    return size


def _shelf_pack(sizes, width):
    """Places (name, w, h) rectangles row by row; returns positions and the height used."""
    x = y = row_height = 0
    placed = {}
    for name, w, h in sizes:
        if x + w + PADDING > width:
            x, y, row_height = 0, y + row_height, 0
        placed[name] = (x + PADDING, y + PADDING)
        x += w + PADDING
        row_height = max(row_height, h + PADDING)
    return placed, y + row_height + PADDING


def pack(frames):
    """frames: {name: RGBA image}. Returns (texture, {name: (x, y, w, h)})."""
    sizes = sorted(((name, im.width, im.height) for name, im in frames.items()), key=lambda s: (-s[2], -s[1], s[0]))
    area = sum((w + PADDING) * (h + PADDING) for _, w, h in sizes)
    widest = max(w for _, w, _ in sizes) + 2 * PADDING
    width = max(_next_power_of_two(widest), _next_power_of_two(int(area ** 0.5)))
    while True:
        placed, used = _shelf_pack(sizes, width)
        height = _next_power_of_two(used)
        # Prefer a squarer texture when the shelves overflow a much narrower one.
        if height <= width * 2:
            break
        width *= 2
    texture = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    rects = {}
    for name, (x, y) in placed.items():
        texture.paste(frames[name], (x, y))
        rects[name] = (x, y, frames[name].width, frames[name].height)
    return texture, rects


def write(frames, png_path, plist_path):
    """Packs the frames and writes the texture and its property list."""
    texture, rects = pack(frames)
    texture_name = os.path.basename(png_path)
    listing = {}
    for name, (x, y, w, h) in rects.items():
        listing[name] = {
            "frame": "{{%d,%d},{%d,%d}}" % (x, y, w, h),
            "offset": "{0,0}",
            "rotated": False,
            "sourceColorRect": "{{0,0},{%d,%d}}" % (w, h),
            "sourceSize": "{%d,%d}" % (w, h),
        }
    sheet = {
        "frames": listing,
        "metadata": {
            "format": 2,
            "realTextureFileName": texture_name,
            "size": "{%d,%d}" % texture.size,
            "textureFileName": texture_name,
        },
    }
    output.save_png(texture, png_path)
    output.save_plist(sheet, plist_path)
    return texture, rects
