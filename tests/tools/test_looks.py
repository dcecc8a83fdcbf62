"""The level groups' looks: every group draws the frames the shared level layouts place at the
meadow's sizes, standing on the same row, and a look's stretch of the menu world stands its
rings' ground surface at mid-height."""

import unittest

from PIL import Image

import make_garden_art
import make_level_art as level
import make_storm_art
import make_works_art


def lowest_solid_row(image):
    alpha = image.getchannel("A")
    rows = [y for y in range(image.height) if max(alpha.crop((0, y, image.width, y + 1)).getdata()) > 128]
    return rows[-1]


class GroupLooksTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.meadow = level.meadow_look()
        cls.groups = {"garden": make_garden_art.look(), "storm": make_storm_art.look(),
                      "works": make_works_art.look()}

    def test_placed_frames_have_the_meadows_size_and_footing(self):
        # The layouts place a frame by its centre, so a frame of another size, or drawn with its
        # foot on another row, would float above the ground or sink into it.
        for group, look in self.groups.items():
            for sheet, names in (("background", level.BACKGROUND_FRAMES), ("foreground", level.FOREGROUND_FRAMES)):
                for name in names:
                    with self.subTest(group=group, frame=name):
                        ours, meadows = getattr(look, sheet)[name], getattr(self.meadow, sheet)[name]
                        self.assertEqual(ours.size, meadows.size)
                        self.assertAlmostEqual(lowest_solid_row(ours), lowest_solid_row(meadows), delta=3)

    def test_menu_ground_stands_the_rings_surface_at_mid_height(self):
        width, height = level.MENU_STRIP
        surface = height // 2

        def ring(ground_row, size=(512, 256)):
            # Clear sky down to the ground row, solid below it.
            image = Image.new("RGBA", size)
            image.paste((200, 40, 40, 255), (0, ground_row, size[0], size[1]))
            return image

        for near_ground, far_ground, far_size in ((207, 189, (512, 256)), (150, 444, (1024, 512))):
            with self.subTest(near=near_ground, far=far_ground):
                look = level.Look(ground=Image.new("RGBA", (512, 128)), near=ring(near_ground), near_ground=near_ground,
                                  far=ring(far_ground, far_size), far_ground=far_ground, sky={}, background={},
                                  foreground={})
                strip = level.menu_strip(look)
                self.assertEqual(strip.size, (width, height))
                for x in (0, 500, width - 1):
                    self.assertEqual(strip.getpixel((x, surface - 3))[3], 0)
                    below = strip.getpixel((x, surface + 2))
                    self.assertEqual(below[3], 255)
                    for got, wanted in zip(below, (200, 40, 40)):
                        self.assertAlmostEqual(got, wanted, delta=3)  # the shrinking filter rings a little

        # Scenery reaching the top edge fades out there.
        solid = level.Look(ground=Image.new("RGBA", (512, 128)), near=ring(0), near_ground=207, far=ring(0),
                           far_ground=189, sky={}, background={}, foreground={})
        strip = level.menu_strip(solid)
        self.assertLess(strip.getpixel((10, 0))[3], 16)
        self.assertEqual(strip.getpixel((10, surface // 2))[3], 255)


if __name__ == "__main__":
    unittest.main()
