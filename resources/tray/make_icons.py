#!/usr/bin/env python3
"""Draws the tray pictures (16 x 16 and 32 x 32 PNGs) with the standard library only.

The still picture is a blue speech bubble; the two animation pictures alternate a filled orange
bubble and a light one with an orange rim, so a waiting message blinks. Run it from this folder.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from make_icons import render, write_png  # noqa: E402  the renderer the other pictures use


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


def layers(size, rim, fill, dots):
    """The rim, the body inside it, and the dots on top: later layers cover earlier ones."""
    rim_width = 1.0 / size * (1.0 if size <= 16 else 1.5)
    inside_dot = dots_for(size)
    return [(inside_bubble, rim), (shrunk(inside_bubble, rim_width), fill),
            (lambda x, y: inside_bubble(x, y) and inside_dot(x, y), dots)]


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
            write_png(f"{name}-{size}.png", render(layers(size, *colours), size), size)
