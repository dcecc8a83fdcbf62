"""Interface pieces shared by the HUD and the menu: lettering and pill buttons."""

from PIL import ImageChops

from art.paint import INK, Canvas, darker, lighter

HONEY = (255, 184, 40)
LEAF = (110, 196, 72)
BERRY = (236, 104, 72)
CREAM = (255, 246, 220)


def lettering(c, font, text, size, centre, fill=(255, 255, 255), ink=INK, outline=None, light=None, dark=None):
    """Outlined text centred on `centre`, with a soft shadow and a top-to-bottom sheen."""
    mask = c.text_mask(text, font, size, centre)
    outline = outline if outline is not None else max(1.5, size * 0.09)
    c.shadow(c.dilate(mask, outline), (0, size * 0.06), size * 0.05, strength=0.4)
    c.outline(mask, outline, ink)
    x0, y0 = centre[0] - size * len(text) * 0.4, centre[1] - size * 0.55
    c.shade(mask, (x0, y0, 2 * centre[0] - x0, centre[1] + size * 0.55), fill, light=light or lighter(fill, 0.5),
            dark=dark or darker(fill, 0.15), light_at=(0.5, 0.0))


def title(font, text, width, height, size, fill=HONEY, bottom_gap=0):
    """A picture of honey-gold lettering centred in width x height (less `bottom_gap` clear rows)."""
    c = Canvas(width, height)
    lettering(c, font, text, size, (width / 2, (height - bottom_gap) / 2), fill=fill, outline=size * 0.08,
              light=(255, 250, 200), dark=darker(fill, 0.25))
    return c.result()


def button(font, text, width, colour, selected, height=72, text_size=30):
    """A glossy pill with white lettering; the selected form is lighter, ringed and pressed 2 pixels down."""
    c = Canvas(width, height)
    press = 2 if selected else 0
    body = (4, 4 + press, width - 4, height - 8 + press)
    mask = c.rounded_mask(body, (body[3] - body[1]) / 2)
    if not selected:
        c.shadow(c.dilate(mask, 1.5), (0, 3), 2.5, strength=0.5)
    base = lighter(colour, 0.25) if selected else colour
    c.shape(mask, body, base, outline=2.2, light=lighter(base, 0.55), dark=darker(base, 0.3), light_at=(0.5, 0.05))
    # A glossy band across the upper half.
    gloss_height = (body[3] - body[1]) * 0.36
    gloss = c.rounded_mask((body[0] + 10, body[1] + 4, body[2] - 10, body[1] + 4 + gloss_height), gloss_height / 2)
    c.fill(c.blur(gloss, 1.5), (255, 255, 255), 0.35 if not selected else 0.5)
    if selected:
        c.fill(ImageChops.subtract(c.dilate(mask, 3.5), c.dilate(mask, 2.2)), (255, 250, 200), 0.8)
    if text:
        lettering(c, font, text, text_size, (width / 2, (body[1] + body[3]) / 2 + 1))
    return c.result()
