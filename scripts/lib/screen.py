"""Screenshots of the checker's client area and what their pixels show.

A shot is the client area grabbed from the X display (its place on the
screen comes from xwininfo) as a Pillow RGB image. The program draws into an
800 x 600 back buffer that Direct3D scales onto the client area, so overlay
rows are given in back-buffer pixels and mapped.
"""

import os

from PIL import ImageChops, ImageGrab

PINK = (235, 123, 230)          # status while measuring, positive verdict
RED = (255, 0, 0)               # negative verdict, GPU row

# Glyph cores keep their exact colour; their antialiased edges blend with
# what is under them, and are left out by this tolerance.
TOLERANCE = 24
LOWER_FONT_HEIGHT = 26


def take(client):
    """The client area (x, y, width, height on the screen) as an RGB image."""
    x, y, width, height = client
    return ImageGrab.grab(bbox=(x, y, x + width, y + height),
                          xdisplay=os.environ["DISPLAY"]).convert("RGB")


def _all_bands(image):
    """A mask that is 255 where every band of the image is 255."""
    red, green, blue = image.split()
    return ImageChops.darker(ImageChops.darker(red, green), blue)


def mask(shot, box, colour, tolerance=TOLERANCE):
    """255 where the pixel is within the tolerance of the colour, else 0."""
    table = [255 if abs(v - c) <= tolerance else 0 for c in colour for v in range(256)]
    return _all_bands(shot.crop(box).point(table))


def count(shot, box, colour, tolerance=TOLERANCE):
    return mask(shot, box, colour, tolerance).histogram()[255]


def differing(shot, other, box, threshold=30):
    """How many pixels differ by more than the threshold in some band."""
    difference = ImageChops.difference(shot.crop(box), other.crop(box))
    far = difference.point(lambda v: 255 if v > threshold else 0)
    red, green, blue = far.split()
    return ImageChops.lighter(ImageChops.lighter(red, green), blue).histogram()[255]


class Layout:
    """Overlay rows and screen regions of a client area of a given size.
    Direct3D scales the 800 x 600 back buffer onto the client area; the
    report that GDI draws without a device is not scaled (scaled=False)."""

    def __init__(self, width, height, scaled=True):
        self.width, self.height = width, height
        self.sx, self.sy = (width / 800, height / 600) if scaled else (1.0, 1.0)

    def row(self, top, font_height, left=0.0, right=1.0):
        """A box inside one overlay row, between fractions of the width."""
        return (int(left * self.width), int(top * self.sy) + 2,
                int(right * self.width), int((top + font_height) * self.sy) - 1)

    def status(self, right=0.45):
        return self.row(500, LOWER_FONT_HEIGHT, 0.0, right)

    def status_start(self):
        """The first characters of the status line, left of any cube pixel."""
        return self.status(0.17)
