#!/usr/bin/env python3
"""Draws Parlino's pictures as PNGs with the standard library only; run it from this folder.

Every picture is a stack of flat shapes in a unit box, rendered with 4 x 4 samples per pixel. Shape
edges sit on multiples of 1/24 (toolbar) or 1/16 (tree), so the 1x pictures keep hard edges and the
2x ones are the same drawing at twice the detail rather than a blurred enlargement.
"""
import math
import os
import struct
import zlib

SAMPLES = 4

BLUE = (40, 96, 200, 255)
DARK = (30, 40, 70, 255)
ORANGE = (240, 140, 30, 255)
GREEN = (40, 150, 70, 255)
RED = (200, 50, 40, 255)
WHITE = (255, 255, 255, 255)
GREY = (150, 160, 175, 255)


def rect(l, t, r, b):
    return lambda x, y: l <= x < r and t <= y < b


def rounded(l, t, r, b, rad):
    def inside(x, y):
        if not (l <= x < r and t <= y < b):
            return False
        cx = min(max(x, l + rad), r - rad)
        cy = min(max(y, t + rad), b - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad ** 2
    return inside


def circle(cx, cy, rad):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rad ** 2


def ring(cx, cy, outer, inner):
    return lambda x, y: inner ** 2 < (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2


def polygon(*points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def bubble(l, t, r, b, tail_left):
    """A speech bubble whose tail points down from the left or the right."""
    tail = (polygon((l + 0.12, b - 0.02), (l + 0.30, b - 0.02), (l + 0.06, b + 0.16)) if tail_left else
            polygon((r - 0.30, b - 0.02), (r - 0.12, b - 0.02), (r - 0.06, b + 0.16)))
    body = rounded(l, t, r, b, 0.12)
    return lambda x, y: body(x, y) or tail(x, y)


def arc_arrow(cx, cy, outer, inner, start, end):
    """A ring segment from angle start to end (degrees, clockwise from the top) with a head at end."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not inner ** 2 < d2 <= outer ** 2:
            return False
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return start <= angle <= end
    mid = (outer + inner) / 2
    a = math.radians(end)
    tipx, tipy = cx + mid * math.sin(a), cy - mid * math.cos(a)
    width = (outer - inner) * 1.3
    nx, ny = math.sin(a), -math.cos(a)
    tx, ty = math.cos(a), math.sin(a)
    head = polygon((tipx + nx * width, tipy + ny * width), (tipx - nx * width, tipy - ny * width),
                   (tipx + tx * width * 1.4, tipy + ty * width * 1.4))
    return lambda x, y: inside(x, y) or head(x, y)


def cross(cx, cy, reach, half_width):
    """An X: two bars through (cx, cy), reaching reach along each diagonal."""
    def inside(x, y):
        u, v = x - cx, y - cy
        return abs(u) <= reach and abs(v) <= reach and (abs(u - v) <= half_width * 1.42 or abs(u + v) <= half_width * 1.42)
    return inside


def monitor(l, t, r, b):
    screen = rect(l, t, r, b - 0.25 * (b - t))
    inner = rect(l + 0.08, t + 0.08, r - 0.08, b - 0.25 * (b - t) - 0.08)
    stand = rect((l + r) / 2 - 0.07, b - 0.25 * (b - t), (l + r) / 2 + 0.07, b - 0.1 * (b - t))
    base = rect(l + 0.2 * (r - l), b - 0.1 * (b - t), r - 0.2 * (r - l), b)
    return [(lambda x, y: screen(x, y) or stand(x, y) or base(x, y), DARK), (inner, (120, 190, 250, 255))]


# Each picture: layers of (shape, colour), painted in order.
PICTURES = {
    'app': [(bubble(0.04, 0.08, 0.72, 0.58, True), BLUE), (bubble(0.30, 0.36, 0.96, 0.80, False), ORANGE),
            (circle(0.44, 0.58, 0.05), WHITE), (circle(0.63, 0.58, 0.05), WHITE), (circle(0.82, 0.58, 0.05), WHITE)],
    'chat': [(bubble(2 / 24, 3 / 24, 22 / 24, 16 / 24, True), BLUE), (rect(6 / 24, 7 / 24, 18 / 24, 9 / 24), WHITE),
             (rect(6 / 24, 11 / 24, 14 / 24, 13 / 24), WHITE)],
    'refresh': [(arc_arrow(0.5, 0.5, 9 / 24, 6 / 24, 20, 300), GREEN)],
    'options': [(rect(3 / 24, 6 / 24, 21 / 24, 8 / 24), GREY), (rect(3 / 24, 16 / 24, 21 / 24, 18 / 24), GREY),
                (rounded(6 / 24, 3 / 24, 11 / 24, 11 / 24, 1 / 24), BLUE),
                (rounded(13 / 24, 13 / 24, 18 / 24, 21 / 24, 1 / 24), BLUE)],
    'minimize': [(rect(3 / 24, 19 / 24, 21 / 24, 21 / 24), DARK),
                 (polygon((6 / 24, 9 / 24), (18 / 24, 9 / 24), (12 / 24, 16 / 24)), BLUE),
                 (rect(10 / 24, 3 / 24, 14 / 24, 9 / 24), BLUE)],
    'help': [(circle(0.5, 0.5, 10 / 24), BLUE), (minus(ring(0.5, 9.5 / 24, 5 / 24, 2.5 / 24), rect(0, 9.5 / 24, 12 / 24, 1)), WHITE),
             (rect(11 / 24, 12 / 24, 13.5 / 24, 15 / 24), WHITE), (rect(11 / 24, 17 / 24, 13.5 / 24, 19.5 / 24), WHITE)],
    'exit': [(rect(4 / 24, 2 / 24, 14 / 24, 22 / 24), DARK), (rect(6 / 24, 4 / 24, 14 / 24, 20 / 24), (200, 170, 120, 255)),
             (rect(11 / 24, 11 / 24, 19 / 24, 13 / 24), RED),
             (polygon((18 / 24, 8 / 24), (22 / 24, 12 / 24), (18 / 24, 16 / 24)), RED)],
    'root': [(circle(0.5, 0.5, 7 / 16), BLUE), (ring(0.5, 0.5, 7 / 16, 6 / 16), DARK),
             (rect(1 / 16, 7.5 / 16, 15 / 16, 8.5 / 16), WHITE), (rect(7.5 / 16, 1 / 16, 8.5 / 16, 15 / 16), WHITE),
             (ring(0.5, 0.5, 4.5 / 16, 3.5 / 16), (170, 210, 250, 255))],
    'workgroup': monitor(1 / 16, 1 / 16, 10 / 16, 9 / 16) + monitor(6 / 16, 6 / 16, 15 / 16, 15 / 16),
    'computer': monitor(1 / 16, 2 / 16, 15 / 16, 15 / 16),
    # Button glyphs of the options dialog and the chat window, drawn on a 16 grid.
    'ok': [(polygon((2 / 16, 8 / 16), (4.5 / 16, 5.5 / 16), (7 / 16, 8 / 16), (12.5 / 16, 2.5 / 16), (15 / 16, 5 / 16),
                    (7 / 16, 13 / 16)), GREEN)],
    'cancel': [(cross(0.5, 0.5, 6 / 16, 1.3 / 16), RED)],
    'close': [(circle(0.5, 0.5, 7 / 16), DARK), (cross(0.5, 0.5, 3.5 / 16, 1 / 16), WHITE)],
    'clear': [(polygon((3 / 16, 1 / 16), (10 / 16, 1 / 16), (13 / 16, 4 / 16), (13 / 16, 15 / 16), (3 / 16, 15 / 16)), DARK),
              (polygon((4 / 16, 2 / 16), (9 / 16, 2 / 16), (12 / 16, 5 / 16), (12 / 16, 14 / 16), (4 / 16, 14 / 16)), WHITE),
              (polygon((9 / 16, 1 / 16), (13 / 16, 5 / 16), (9 / 16, 5 / 16)), GREY)],
    'save': [(rounded(1 / 16, 1 / 16, 15 / 16, 15 / 16, 1 / 16), BLUE), (rect(4 / 16, 1 / 16, 12 / 16, 6 / 16), WHITE),
             (rect(9 / 16, 2 / 16, 11 / 16, 5 / 16), DARK), (rect(3 / 16, 9 / 16, 13 / 16, 15 / 16), GREY)],
}

SIZES = {
    'app': [16, 32, 48, 128],
    'chat': [24, 48], 'refresh': [24, 48], 'options': [24, 48], 'minimize': [24, 48], 'help': [24, 48],
    'exit': [24, 48],
    'root': [16, 32], 'workgroup': [16, 32], 'computer': [16, 32],
}

# Pictures that other folders' resources hold, by folder.
BUTTON_GLYPHS = {
    'settings': ['ok', 'cancel'],
    'chat': ['close', 'clear', 'minimize', 'save'],
}


def render(layers, size):
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    if colour:
                        for i in range(3):
                            acc[i] += colour[i]
                        acc[3] += 255
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha:
                row += bytes(round(acc[i] / (acc[3] / 255)) for i in range(3)) + bytes([round(alpha)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, rows, size):
    raw = b''.join(b'\0' + r for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    for name, sizes in SIZES.items():
        for size in sizes:
            write_png(f'app/{name}-{size}.png', render(PICTURES[name], size), size)
    write_png('about/parlino-49.png', render(PICTURES['app'], 49), 49)
    for folder, names in BUTTON_GLYPHS.items():
        os.makedirs(folder, exist_ok=True)
        for name in names:
            for size in (16, 32):
                write_png(f'{folder}/{name}-{size}.png', render(PICTURES[name], size), size)


if __name__ == '__main__':
    main()
