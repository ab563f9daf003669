#!/usr/bin/env python3
"""Draws the launcher's artwork and writes it to res/images/.

Only the standard library is used (PNG through zlib, BMP and ICO by hand),
so the images can be regenerated anywhere:  python3 res/generate_images.py
The generated files are committed; the build embeds them as they are.
"""
import math
import os
import struct
import zlib

KEY = (204, 204, 204)  # see-through colour of the background bitmap
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")


class Picture:
    def __init__(self, width, height, fill=(0, 0, 0, 255)):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            if len(colour) == 3:
                colour = (*colour, 255)
            self.pixels[y * self.width + x] = list(colour)

    def blend(self, x, y, colour, amount):
        if 0 <= x < self.width and 0 <= y < self.height and amount > 0:
            p = self.get(x, y)
            a = min(1.0, amount)
            for i in range(3):
                p[i] = round(p[i] * (1 - a) + colour[i] * a)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


# A 5x7 pixel font for the few capitals the artwork writes.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    " ": ["00000"] * 7,
}


def write_text(pic, x, y, text, colour, scale=1):
    for ch in text:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pic.put(x + col * scale + dx, y + row * scale + dy, colour)
        x += 6 * scale


def text_width(text, scale=1):
    return len(text) * 6 * scale - scale


# ---------------------------------------------------------------- writers
def png_bytes(pic, alpha):
    rows = bytearray()
    for y in range(pic.height):
        rows.append(0)
        for x in range(pic.width):
            p = pic.get(x, y)
            rows.extend(p[:4] if alpha else p[:3])
    colour_type = 6 if alpha else 2

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", pic.width, pic.height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def bmp_bytes(pic):
    stride = (pic.width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(pic.height)):
        row = bytearray()
        for x in range(pic.width):
            r, g, b = pic.get(x, y)[:3]
            row.extend((b, g, r))
        row.extend(b"\0" * (stride - len(row)))
        data.extend(row)
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + bytes(data)


def ico_bytes(pics):
    """An icon file whose images are 32-bit BMP entries (colour + AND mask)."""
    entries, blobs = [], []
    for pic in pics:
        xor = bytearray()
        for y in reversed(range(pic.height)):
            for x in range(pic.width):
                r, g, b, a = pic.get(x, y)
                xor.extend((b, g, r, a))
        mask_stride = ((pic.width + 31) // 32) * 4
        mask = bytes(mask_stride * pic.height)  # alpha decides; the mask shows all
        info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(info + bytes(xor) + mask)
    offset = 6 + 16 * len(pics)
    for pic, blob in zip(pics, blobs):
        entries.append(struct.pack("<BBBBHHII", pic.width % 256, pic.height % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(pics)) + b"".join(entries) + b"".join(blobs)


def save(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- artwork
def inside_outline(x, y):
    """The launcher's irregular outline: a rounded body with a crest for the logo."""
    left, top, right, bottom, radius = 24, 118, 1018, 672, 26
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    in_body = left <= x < right and top <= y < bottom and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    in_crest = ((x - 190) / 150.0) ** 2 + ((y - 118) / 100.0) ** 2 <= 1.0
    return in_body or in_crest


def background():
    w, h = 1034, 686
    pic = Picture(w, h, (*KEY, 255))
    sky_top, sky_low = (22, 14, 48), (92, 54, 96)
    for y in range(h):
        for x in range(w):
            if not inside_outline(x, y):
                continue
            t = y / h
            colour = mix(sky_top, sky_low, t)
            # two mountain ridges in the mist
            ridge1 = 430 + 60 * math.sin(x / 97.0) + 25 * math.sin(x / 31.0 + 1.3)
            ridge2 = 500 + 40 * math.sin(x / 61.0 + 2.0) + 15 * math.sin(x / 17.0)
            if y > ridge1:
                colour = mix(colour, (40, 30, 62), 0.75)
            if y > ridge2:
                colour = mix(colour, (18, 12, 30), 0.85)
            # stars in the upper sky
            if y < 300 and (x * 7919 + y * 104729) % 1013 == 0:
                colour = (236, 226, 200)
            pic.put(x, y, colour)
    # gold rim along the outline
    for x in range(w):
        for y in range(h):
            if inside_outline(x, y):
                near_edge = any(not inside_outline(x + dx, y + dy)
                                for dx, dy in ((3, 0), (-3, 0), (0, 3), (0, -3)))
                if near_edge:
                    pic.put(x, y, (176, 132, 52))
    # news panel frame behind the web page
    for y in range(156, 540):
        for x in range(332, 988):
            if 338 <= x < 982 and 162 <= y < 534:
                pic.put(x, y, (14, 10, 26))
            else:
                pic.put(x, y, (150, 112, 48))
    # status strip with the trough of the progress bar
    for y in range(536, 596):
        for x in range(410, 960):
            pic.blend(x, y, (8, 4, 18), 0.55)
    for y in range(562, 586):
        for x in range(424, 944):
            pic.put(x, y, (30, 22, 40) if 426 <= x < 942 and 564 <= y < 584 else (120, 90, 40))
    # title on the crest, the game's name at the bottom
    write_text(pic, 190 - text_width("FARLAUNCH", 3) // 2, 80, "FARLAUNCH", (236, 200, 110), 3)
    write_text(pic, 70, 620, "WUGANG ONLINE", (200, 170, 120), 2)
    # artwork must never contain the key colour, or it would turn see-through
    for y in range(h):
        for x in range(w):
            if inside_outline(x, y) and tuple(pic.get(x, y)[:3]) == KEY:
                pic.put(x, y, (205, 204, 204))
    return pic


def square_button(base, symbol, state):
    shade = {"normal": 1.0, "pressed": 0.7, "hover": 1.35}[state]
    pic = Picture(25, 24)
    for y in range(24):
        for x in range(25):
            t = y / 23.0
            colour = mix(base, tuple(c * 0.55 for c in base), t)
            colour = tuple(clamp(c * shade) for c in colour)
            if x in (0, 24) or y in (0, 23):
                colour = (196, 150, 60)
            pic.put(x, y, colour)
    mark = (250, 240, 220)
    if symbol == "close":
        for i in range(7, 18):
            for d in (0, 1):
                pic.put(i + d, i, mark)
                pic.put(24 - i - d, i, mark)
    else:
        for x in range(7, 18):
            for y in (15, 16):
                pic.put(x, y, mark)
    return pic


def clear_cache_button():
    # Transparent pixels carry the colour of the artwork behind the button:
    # the window copies colour values and ignores alpha.
    pic = Picture(70, 24, (30, 20, 54, 0))
    for y in range(24):
        for x in range(70):
            # a pill with soft edges in the alpha channel
            cx = min(max(x, 12), 57)
            d = math.hypot(x - cx, y - 11.5)
            a = clamp((12.0 - d) * 255)
            if a:
                colour = mix((140, 70, 40), (80, 30, 20), y / 23.0)
                pic.put(x, y, (*colour, a))
    write_text(pic, 35 - text_width("CLEAR") // 2, 8, "CLEAR", (250, 230, 190))
    return pic


def progress_bar(left, right):
    pic = Picture(516, 20)
    for y in range(20):
        glow = 1.0 - abs(y - 9.5) / 12.0
        for x in range(516):
            colour = mix(left, right, x / 515.0)
            if (x + y) % 16 < 3:  # diagonal stripes
                colour = mix(colour, (255, 255, 255), 0.25)
            pic.put(x, y, tuple(clamp(c * (0.6 + 0.4 * glow)) for c in colour))
    return pic


def icon(size):
    pic = Picture(size, size, (0, 0, 0, 0))
    c = (size - 1) / 2.0
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d <= size / 2.0:
                colour = mix((60, 30, 100), (200, 150, 60), d / (size / 2.0))
                pic.put(x, y, (*colour, 255))
    write_text(pic, int(c) - 2, int(c) - 3, "W", (250, 240, 220))
    return pic


def main():
    os.makedirs(OUT, exist_ok=True)
    save("background_141.bmp", bmp_bytes(background()))
    red, blue = (170, 40, 40), (60, 70, 150)
    for ident, state in ((2021, "normal"), (2022, "pressed"), (2023, "hover")):
        save(f"close_{ident}.png", png_bytes(square_button(red, "close", state), alpha=False))
    for ident, state in ((2038, "normal"), (2039, "pressed"), (2040, "hover")):
        save(f"minimise_{ident}.png", png_bytes(square_button(blue, "minimise", state), alpha=False))
    save("clear_cache_2077.png", png_bytes(clear_cache_button(), alpha=True))
    save("bar_download_2600.png", png_bytes(progress_bar((40, 110, 220), (120, 230, 250)), alpha=False))
    save("bar_install_2601.png", png_bytes(progress_bar((40, 160, 60), (230, 230, 60)), alpha=False))
    save("icon_128.ico", ico_bytes([icon(32), icon(16)]))


if __name__ == "__main__":
    main()
