"""Screenshots of the checker's client area and what its pixels show.

A shot is taken of the whole X screen with ImageMagick's import and cut to
the window's client area, whose place on the screen xwininfo reports. The
program draws into an 800 x 600 back buffer that Direct3D scales onto the
client area, so overlay rows are given in back-buffer pixels and mapped.
"""

import subprocess

BACK_BUFFER_WIDTH = 800
BACK_BUFFER_HEIGHT = 600

GREY = (100, 100, 100)          # the cleared background
BRUSH_GREY = (128, 128, 128)    # the window class's GRAY_BRUSH
GREEN = (0, 239, 136)           # left-aligned text lines
LIGHT_GREEN = (135, 239, 136)   # right-aligned figures
PINK = (235, 123, 230)          # status while measuring, positive verdict
RED = (255, 0, 0)               # negative verdict, GPU row
WHITE = (255, 255, 255)         # the untextured cube
TEXTURE_GOLD = (226, 172, 40)   # the most common colour of npc.png
OVERLAY_COLOURS = (GREEN, LIGHT_GREEN, PINK, RED)

# Glyph cores keep their exact colour; their antialiased edges blend with
# what is under them, and are left out by this tolerance.
TOLERANCE = 24

UPPER_FONT_HEIGHT = 23
LOWER_FONT_HEIGHT = 26


def near(pixel, colour, tolerance=TOLERANCE):
    return all(abs(p - c) <= tolerance for p, c in zip(pixel, colour))


class Shot:
    """An RGB image, 8 bits per channel, read from a binary PPM."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(blob):
        fields, position = [], 0
        while len(fields) < 4:
            while blob[position:position + 1].isspace():
                position += 1
            if blob[position:position + 1] == b"#":
                position = blob.index(b"\n", position)
                continue
            end = position
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[position:end])
            position = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("expected an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        return Shot(width, height, blob[position + 1:position + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, left, top, width, height):
        rows = [self.data[((top + y) * self.width + left) * 3:
                          ((top + y) * self.width + left + width) * 3] for y in range(height)]
        return Shot(width, height, b"".join(rows))

    def pixels(self, box):
        left, top, right, bottom = box
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                yield x, y, self.pixel(x, y)

    def count(self, box, colour, tolerance=TOLERANCE):
        return sum(1 for _, _, p in self.pixels(box) if near(p, colour, tolerance))

    def all_exactly(self, box, colour):
        return all(p == colour for _, _, p in self.pixels(box))

    def rightmost(self, box, colour):
        """The largest x in the box with a pixel of the colour, or -1."""
        return max((x for x, _, p in self.pixels(box) if near(p, colour)), default=-1)

    def differing(self, other, box, threshold=30):
        return sum(1 for x, y, p in self.pixels(box)
                   if max(abs(a - b) for a, b in zip(p, other.pixel(x, y))) > threshold)

    def save_png(self, path):
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        subprocess.run(["convert", "ppm:-", path], input=header + self.data, check=True)


def take(client):
    """The client area (x, y, width, height on the screen) as a Shot."""
    blob = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          check=True, timeout=60).stdout
    x, y, width, height = client
    return Shot.from_ppm(blob).crop(x, y, width, height)


class Layout:
    """Overlay rows and screen regions of a client area of a given size."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.sx = width / BACK_BUFFER_WIDTH
        self.sy = height / BACK_BUFFER_HEIGHT

    def row(self, top, font_height, left=0.0, right=1.0):
        """A box inside one overlay row, between fractions of the width."""
        return (int(left * self.width), int(top * self.sy) + 2,
                int(right * self.width), int((top + font_height) * self.sy) - 1)

    def upper_left(self, top):
        return self.row(top, UPPER_FONT_HEIGHT, 0.0, 0.45)

    def upper_right(self, top):
        return self.row(top, UPPER_FONT_HEIGHT, 0.7, 1.0)

    def status(self, right=0.45):
        return self.row(500, LOWER_FONT_HEIGHT, 0.0, right)

    def status_start(self):
        """The first characters of the status line, left of any cube pixel."""
        return self.row(500, LOWER_FONT_HEIGHT, 0.0, 0.17)

    def gpu(self):
        return self.row(550, LOWER_FONT_HEIGHT, 0.0, 0.45)

    def gpu_figure(self):
        """Where "计算中..." gives way to the figure, left of any cube pixel."""
        return self.row(550, LOWER_FONT_HEIGHT, 0.075, 0.17)

    def centre(self, half):
        cx, cy = self.width // 2, self.height // 2
        return (cx - half, cy - half, cx + half, cy + half)

    def edges(self):
        """Small patches at the bottom corners and halfway down both sides,
        where neither text nor the cube ever reaches."""
        w, h, s = self.width, self.height, 10
        return [(0, h - s, s, h), (w - s, h - s, w, h),
                (0, h // 2, s, h // 2 + s), (w - s, h // 2, w, h // 2 + s)]
