#!/usr/bin/env python3
"""Draws the tray pictures (16 x 16 and 32 x 32 PNGs) with the standard library only.

The still picture is a blue speech bubble; the two animation pictures alternate a filled orange
bubble and a light one with an orange rim, so a waiting message blinks. Run it from this folder.
"""
import struct
import zlib

SAMPLES = 4  # per axis, for smooth edges


def inside_bubble(x, y):
    """Bubble shape in a 1 x 1 box: a rounded body with a tail at the lower left."""
    left, top, right, bottom, radius = 0.06, 0.10, 0.94, 0.74, 0.2
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    if left <= x <= right and top <= y <= bottom and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2:
        return True
    # Tail: triangle (0.22, 0.70), (0.46, 0.70), (0.16, 0.94).
    ax, ay, bx, by, qx, qy = 0.22, 0.70, 0.46, 0.70, 0.16, 0.94
    d = (by - qy) * (ax - qx) + (qx - bx) * (ay - qy)
    u = ((by - qy) * (x - qx) + (qx - bx) * (y - qy)) / d
    v = ((qy - ay) * (x - qx) + (ax - qx) * (y - qy)) / d
    return u >= 0 and v >= 0 and u + v <= 1


def dots_for(size):
    """Three dots; at 16 pixels they sit on whole pixels (2 x 2 each) so they stay crisp."""
    if size <= 16:
        centres, cy, radius = (5 / 16, 8 / 16, 11 / 16), 7 / 16, 1.2 / 16
    else:
        centres, cy, radius = (0.30, 0.50, 0.70), 0.42, 0.075
    return lambda x, y: any((x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 for cx in centres)


def shrunk(test, margin):
    """The shape eroded by margin: inside only when every neighbour at that distance is inside."""
    steps = [(margin, 0), (-margin, 0), (0, margin), (0, -margin)]
    return lambda x, y: test(x, y) and all(test(x + dx, y + dy) for dx, dy in steps)


def draw(size, rim, fill, dots):
    rim_width = 1.0 / size * (1.0 if size <= 16 else 1.5)
    body = shrunk(inside_bubble, rim_width)
    inside_dot = dots_for(size)
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    if not inside_bubble(x, y):
                        continue
                    colour = dots if inside_dot(x, y) else fill if body(x, y) else rim
                    for i in range(3):
                        acc[i] += colour[i]
                    acc[3] += 1
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            rgb = [round(acc[i] / acc[3]) if acc[3] else 0 for i in range(3)]
            row.append(bytes(rgb + [round(alpha * 255)]))
        pixels.append(b"".join(row))
    return pixels


def write_png(path, size, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in pixels)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


BLUE, DEEP_BLUE = (47, 111, 214), (22, 60, 140)
ORANGE, DEEP_ORANGE = (245, 140, 30), (170, 80, 0)
WHITE, CREAM = (255, 255, 255), (255, 244, 225)

PICTURES = {
    "still": (DEEP_BLUE, BLUE, WHITE),
    "message-a": (DEEP_ORANGE, ORANGE, WHITE),
    "message-b": (DEEP_ORANGE, CREAM, ORANGE),
}

if __name__ == "__main__":
    for name, colours in PICTURES.items():
        for size in (16, 32):
            write_png(f"{name}-{size}.png", size, draw(size, *colours))
