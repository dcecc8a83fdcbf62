"""Antialiased, softly shaded shapes on transparent canvases.

A Canvas is drawn at SS times its final size and shrunk when finished, which gives smooth edges.
All coordinates and lengths passed to it are in design pixels (floats are fine), y pointing down;
a canvas made with a zoom other than 1 draws the same design that many times larger.
Shapes are painted through masks: a shape's mask is filled with a radial gradient from a light
tone near the upper left to a dark tone at the far edge, optionally edged by a dilated copy of
the mask in an outline colour, so every piece shares one light direction and one line style.
"""

import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

SS = 4  # supersampling factor

# The storybook palette: warm dark brown lines rather than black.
INK = (74, 44, 26)


def mix(a, b, t):
    """Colour between a and b (RGB or RGBA tuples), t in 0..1."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(colour, t):
    return mix(colour[:3], (255, 255, 255), t)


def darker(colour, t):
    return mix(colour[:3], (40, 20, 30), t)


def bezier(points, steps=24):
    """Points along a quadratic (3 points) or cubic (4 points) Bezier curve."""
    result = []
    for i in range(steps + 1):
        t = i / steps
        if len(points) == 3:
            (x0, y0), (x1, y1), (x2, y2) = points
            a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
            result.append((a * x0 + b * x1 + c * x2, a * y0 + b * y1 + c * y2))
        else:
            (x0, y0), (x1, y1), (x2, y2), (x3, y3) = points
            a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
            result.append((a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3))
    return result


def hexagon(cx, cy, r, turn=0.0):
    """The corners of a regular hexagon of radius r, the first at `turn` radians."""
    return [(cx + r * math.cos(turn + k * math.pi / 3), cy + r * math.sin(turn + k * math.pi / 3)) for k in range(6)]


def downsample(image, size):
    """Shrinks an RGBA image (Pillow filters RGBA premultiplied, so transparent edges do not darken)."""
    return image.resize(size, Image.Resampling.LANCZOS)


class Canvas:
    def __init__(self, width, height, zoom=1.0, supersample=SS):
        """`supersample` may be lowered for large pictures of soft shapes, which need less."""
        self.width, self.height = width, height  # design pixels
        self.size = (round(width * zoom), round(height * zoom))  # pixels of the result
        self.ss = supersample
        self.k = supersample * zoom  # image pixels per design pixel
        self.image = Image.new("RGBA", (self.size[0] * supersample, self.size[1] * supersample), (0, 0, 0, 0))

    # --- masks -----------------------------------------------------------------------------
    def new_mask(self):
        return Image.new("L", self.image.size, 0)

    def _s(self, values):
        return [v * self.k for v in values]

    def ellipse_mask(self, box):
        mask = self.new_mask()
        ImageDraw.Draw(mask).ellipse(self._s(box), fill=255)
        return mask

    def polygon_mask(self, *polygons):
        """The union of one or more polygons."""
        mask = self.new_mask()
        draw = ImageDraw.Draw(mask)
        for points in polygons:
            draw.polygon([(x * self.k, y * self.k) for x, y in points], fill=255)
        return mask

    def rounded_mask(self, box, radius):
        mask = self.new_mask()
        ImageDraw.Draw(mask).rounded_rectangle(self._s(box), radius=radius * self.k, fill=255)
        return mask

    def text_mask(self, text, font_path, size, at, anchor="mm"):
        """The text in the given font (size in design pixels) placed by Pillow's text anchor
        ("mm": centred on `at`, "lm": starting at `at`, middle height)."""
        mask = self.new_mask()
        font = ImageFont.truetype(font_path, round(size * self.k))
        ImageDraw.Draw(mask).text((at[0] * self.k, at[1] * self.k), text, font=font, fill=255, anchor=anchor)
        return mask

    def stroke_mask(self, points, width):
        """A line through the points with round ends and joints."""
        mask = self.new_mask()
        draw = ImageDraw.Draw(mask)
        scaled = [(x * self.k, y * self.k) for x, y in points]
        draw.line(scaled, fill=255, width=max(1, round(width * self.k)), joint="curve")
        r = width * self.k / 2
        for x, y in (scaled[0], scaled[-1]):
            draw.ellipse((x - r, y - r, x + r, y + r), fill=255)
        return mask

    def lines_mask(self, segments, width):
        """Many straight segments ((x0, y0), (x1, y1)) of one width in a single mask: cheaper
        than a mask per stroke when there are hundreds (rain, hatching)."""
        mask = self.new_mask()
        draw = ImageDraw.Draw(mask)
        thickness = max(1, round(width * self.k))
        for (x0, y0), (x1, y1) in segments:
            draw.line([(x0 * self.k, y0 * self.k), (x1 * self.k, y1 * self.k)], fill=255, width=thickness)
        return mask

    def ellipses_mask(self, boxes):
        """The union of many ellipses in a single mask (leaves, dots)."""
        mask = self.new_mask()
        draw = ImageDraw.Draw(mask)
        for box in boxes:
            draw.ellipse(self._s(box), fill=255)
        return mask

    def dilate(self, mask, amount):
        """The mask grown by about `amount` design pixels, with a soft edge.

        A Gaussian blur of sigma amount/2 leaves about 2.3 percent of full strength at `amount`
        outside a straight edge; everything above that becomes the grown shape. (Blurring costs
        the same for any amount, unlike a max filter.)"""
        if amount <= 0:
            return mask
        spread = mask.filter(ImageFilter.GaussianBlur(amount * self.k / 2))
        return spread.point(lambda v: 0 if v < 3 else min(255, (v - 3) * 64))

    def blur(self, mask, radius):
        return mask.filter(ImageFilter.GaussianBlur(radius * self.k))

    # --- painting --------------------------------------------------------------------------
    def fill(self, mask, colour, opacity=1.0):
        """Paints a flat colour (RGB or RGBA) through the mask."""
        colour = tuple(colour) + (255,) * (4 - len(colour))
        layer = Image.new("RGBA", self.image.size, colour)
        alpha = mask if colour[3] == 255 and opacity >= 1 else mask.point(
            lambda v: round(v * colour[3] / 255 * opacity))
        layer.putalpha(alpha)
        self.image.alpha_composite(layer)

    def gradient_image(self, bbox, light, base, dark, light_at=(0.3, 0.25)):
        """An RGB image shading from `light` at the light point of bbox to `dark` at its far rim.

        The shading is smooth, so it is worked out at the result's resolution and enlarged."""
        step = self.ss  # image pixels per worked-out pixel
        x0, y0, x1, y1 = (v / step for v in self._s(bbox))
        w, h = max(1.0, x1 - x0), max(1.0, y1 - y0)
        cx, cy = x0 + w * light_at[0], y0 + h * light_at[1]
        # radial_gradient is 256 x 256 with its value equal to the distance from the centre;
        # scaled so that 255 lands just beyond the farthest corner of bbox.
        reach = max(math.hypot(x - cx, y - cy) for x in (x0, x1) for y in (y0, y1)) * 1.02
        gradient = Image.radial_gradient("L").resize((max(2, round(reach * 2)),) * 2, Image.Resampling.BILINEAR)
        small = (-(-self.image.width // step), -(-self.image.height // step))
        field = Image.new("L", small, 255)
        field.paste(gradient, (round(cx - reach), round(cy - reach)))
        shaded = ImageOps.colorize(field, light[:3], dark[:3], mid=base[:3], midpoint=110)
        return shaded.resize((small[0] * step, small[1] * step), Image.Resampling.BILINEAR).crop(
            (0, 0) + self.image.size)

    def shade(self, mask, bbox, base, light=None, dark=None, light_at=(0.3, 0.25)):
        light = light or lighter(base, 0.45)
        dark = dark or darker(base, 0.35)
        shaded = self.gradient_image(bbox, light, base, dark, light_at).convert("RGBA")
        shaded.putalpha(mask)
        self.image.alpha_composite(shaded)

    def outline(self, mask, width, colour=INK):
        """Paints the band `width` pixels wide around the mask (call before filling the mask)."""
        self.fill(self.dilate(mask, width), colour)

    def shape(self, mask, bbox, base, outline=1.5, ink=INK, light=None, dark=None, light_at=(0.3, 0.25),
              shine=0.0):
        """An outlined, shaded shape; `shine` adds a soft white highlight near the light point."""
        if outline:
            self.outline(mask, outline, ink)
        self.shade(mask, bbox, base, light, dark, light_at)
        if shine:
            self.highlight(mask, bbox, shine, light_at)

    def highlight(self, mask, bbox, strength, light_at=(0.3, 0.25)):
        x0, y0, x1, y1 = bbox
        w, h = x1 - x0, y1 - y0
        cx, cy = x0 + w * light_at[0], y0 + h * light_at[1]
        spot = self.ellipse_mask((cx - w * 0.2, cy - h * 0.13, cx + w * 0.2, cy + h * 0.13))
        spot = self.blur(spot, min(w, h) * 0.06)
        self.fill(ImageChops.multiply(spot, mask), (255, 255, 255), strength)

    def ellipse(self, box, base, outline=1.5, **kwargs):
        self.shape(self.ellipse_mask(box), box, base, outline, **kwargs)

    def stroke(self, points, width, colour, outline=0.0, ink=INK):
        mask = self.stroke_mask(points, width)
        if outline:
            self.outline(mask, outline, ink)
        self.fill(mask, colour)

    def shadow(self, mask, offset, radius, colour=(40, 20, 10), strength=0.45):
        """A soft shadow of the mask, moved by `offset` design pixels (call before painting the shape)."""
        moved = Image.new("L", mask.size, 0)
        moved.paste(mask, (round(offset[0] * self.k), round(offset[1] * self.k)))
        self.fill(self.blur(moved, radius), colour, strength)

    def glow(self, mask, colour, radius, strength=1.0):
        self.fill(self.blur(mask, radius), colour, strength)

    def clip(self, mask):
        """Keeps only what lies inside the mask."""
        alpha = ImageChops.multiply(self.image.getchannel("A"), mask)
        self.image.putalpha(alpha)

    def paste(self, other, at=(0, 0)):
        """Composites another canvas of the same zoom with its top-left at `at` (design pixels);
        whatever falls outside this canvas is cut off."""
        x, y = round(at[0] * self.k), round(at[1] * self.k)
        left, top = max(0, -x), max(0, -y)
        right = min(other.image.width, self.image.width - x)
        bottom = min(other.image.height, self.image.height - y)
        if left < right and top < bottom:
            self.image.alpha_composite(other.image.crop((left, top, right, bottom)), (x + left, y + top))

    def paste_tiled(self, other, at):
        """Pastes at `at` and one canvas width to either side, for textures that wrap around."""
        for dx in (-self.size[0], 0, self.size[0]):
            self.paste(other, (at[0] + dx, at[1]))

    def result(self):
        return downsample(self.image, self.size)


def soft_disc(size, falloff=2.0, core=0.0):
    """A white disc whose alpha fades from the centre to transparent at the rim."""
    image = Image.new("RGBA", (size, size), (255, 255, 255, 0))
    c = (size - 1) / 2
    pixels = image.load()
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c) / (size / 2)
            a = max(0.0, 1.0 - d) ** falloff
            if core:
                a = min(1.0, a + core * max(0.0, 1.0 - d * 2.2))
            pixels[x, y] = (255, 255, 255, round(a * 255))
    return image
