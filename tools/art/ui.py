"""Pieces of the top bar, the menu, the level selection and the closing
screen's side panel."""
import numpy as np

from canvas import new, solid, paint, shade, glow, blur, dilate, shift, shape, vgrad, noise
from style import *

BAR_W, BAR_H = 10, 36


def bar_column(h=BAR_H):
    """Colours of the top bar, top to bottom: slate with a lit upper lip and a
    teal keel line."""
    stops = [(0.0, (150, 160, 176)), (0.04, (104, 114, 132)), (0.10, (82, 90, 106)),
             (0.55, (54, 60, 74)), (0.88, (38, 42, 52)), (0.9, (30, 98, 100)),
             (0.94, (30, 98, 100)), (0.96, (20, 22, 28)), (1.0, (12, 13, 16))]
    return vgrad(1, h, stops)[:, 0, :]


def top_bar():
    c = solid(BAR_W, BAR_H, (0, 0, 0))
    c[..., :3] = bar_column()[:, None, :] / 255
    return c


# The button strip is drawn at (740, 13) over the bar; clickable spans in the
# strip's own coordinates are x 4-55, 78-156, 177-235 and y 8-24.
PLATES = ((2.5, 6.5, 57.5, 29.5), (75.5, 6.5, 158.5, 29.5), (174.5, 6.5, 237.5, 29.5))
HIGHLIGHT_AT = ((1, 6, 60, 25), (71, 6, 90, 25), (171, 6, 70, 25))


def plate(c, b, r=6):
    w, h = c.shape[1], c.shape[0]
    body = shape(w, h, lambda p: p.rrect(b, r))
    ring = np.clip(dilate(body, 1) - body, 0, 1)
    paint(c, (12, 14, 18), ring, 0.9)
    grad = vgrad(w, h, [(0, (60, 66, 80)), (1, (36, 40, 50))])
    y0, y1 = int(b[1]), int(b[3]) + 1
    g = vgrad(w, y1 - y0, [(0, (72, 80, 96)), (0.5, (50, 56, 68)), (1, (34, 38, 47))])
    grad[y0:y1] = g
    paint(c, grad, body)
    top = np.clip(body - shift(body, 0, 1), 0, 1)
    paint(c, (150, 160, 178), top, 0.7)
    bot = np.clip(body - shift(body, 0, -1), 0, 1)
    paint(c, (20, 22, 28), bot, 0.6)


def icon_paint(c, m):
    w, h = c.shape[1], c.shape[0]
    paint(c, (10, 12, 16), blur(shift(m, 1, 1), 1) * 1.5, 0.6)
    paint(c, (236, 226, 204), m)
    hi = np.clip(m - shift(m, 0, 1), 0, 1)
    paint(c, (255, 250, 240), hi, 0.5)


def button_strip():
    w, h = 300, BAR_H
    c = solid(w, h, (0, 0, 0))
    c[..., :3] = bar_column()[:, None, :] / 255
    for b in PLATES:
        plate(c, b)
    # info: an i in a ring
    cx, cy = 30, 18
    ring = shape(w, h, lambda p: (p.circle(cx, cy, 8.2), p.circle(cx, cy, 6.6, fill=0)))
    i = shape(w, h, lambda p: (p.circle(cx, cy - 3.6, 1.25), p.rrect((cx - 1.1, cy - 1.2, cx + 1.1, cy + 4.6), 0.6)))
    paint(c, TEAL, ring)
    paint(c, (140, 236, 224), np.clip(ring - shift(ring, 0, 1), 0, 1), 0.6)
    icon_paint(c, i)
    # restart: a circular arrow
    cx = 117
    arc = shape(w, h, lambda p: p.arc(cx, cy, 6.4, -60, 220, 2.2))
    head = shape(w, h, lambda p: p.poly([(cx + 2.0, cy - 9.8), (cx + 7.8, cy - 6.0), (cx + 2.4, cy - 1.8)]))
    icon_paint(c, np.clip(arc + head, 0, 1))
    # menu: three bars
    cx = 206
    bars = shape(w, h, lambda p: [p.rrect((cx - 8, cy - 6.2 + 5.6 * k, cx + 8, cy - 3.8 + 5.6 * k), 1.1) for k in range(3)])
    icon_paint(c, bars)
    return c


def highlight(idx):
    x, y, w, h = HIGHLIGHT_AT[idx]
    b = PLATES[idx]
    lb = (b[0] - x - 0.5, b[1] - y - 0.5, b[2] - x + 0.5, b[3] - y + 0.5)
    c = new(w, h)
    body = shape(w, h, lambda p: p.rrect(lb, 6.5))
    halo = blur(body, 1)
    paint(c, (255, 200, 120), np.clip(halo - body * 0.6, 0, 1), 0.45)
    paint(c, (255, 214, 150), body, 0.16)
    ring = np.clip(body - shape(w, h, lambda p: p.rrect((lb[0] + 1.2, lb[1] + 1.2, lb[2] - 1.2, lb[3] - 1.2), 5.3)), 0, 1)
    paint(c, (255, 224, 168), ring, 0.75)
    return c


def sound_icon():
    w, h = 50, 30
    c = new(w, h)
    spk = shape(w, h, lambda p: p.poly([(9, 11), (14, 11), (21, 5.5), (21, 24.5), (14, 19), (9, 19)]))
    waves = shape(w, h, lambda p: [p.arc(20, 15, r, -48, 48, 2.0) for r in (6.5, 11.5, 16.5)])
    m = np.clip(spk + waves, 0, 1)
    paint(c, (8, 10, 14), dilate(m, 1), 0.75)
    paint(c, (236, 226, 204), spk)
    paint(c, TEAL_GLOW, waves)
    paint(c, (255, 250, 240), np.clip(spk - shift(spk, 0, 1), 0, 1), 0.5)
    return c


def menu_title_strip():
    c = solid(10, 28, (0, 0, 0))
    col = vgrad(1, 28, [(0, (70, 150, 146)), (0.07, (28, 74, 78)), (0.5, (16, 44, 48)),
                        (0.93, (8, 24, 28)), (1, (40, 110, 108))])
    c[..., :3] = col / 255
    return c


LB_W, LB_H = 40, 27


def level_base():
    c = new(LB_W, LB_H)
    body = shape(LB_W, LB_H, lambda p: p.rrect((1, 1, 39, 26), 4))
    paint(c, (10, 12, 16), np.clip(dilate(body, 1) - body, 0, 1), 0.85)
    paint(c, vgrad(LB_W, LB_H, [(0, (96, 104, 122)), (0.45, (70, 78, 94)), (1, (46, 52, 64))]), body)
    paint(c, (170, 180, 198), np.clip(body - shift(body, 0, 1), 0, 1), 0.6)
    paint(c, (22, 24, 30), np.clip(body - shift(body, 0, -1), 0, 1), 0.6)
    return c


def solved_mark():
    c = new(LB_W, LB_H)
    ring = shape(LB_W, LB_H, lambda p: (p.rrect((1, 1, 39, 26), 4), p.rrect((2.6, 2.6, 37.4, 24.4), 3, fill=0)))
    paint(c, (111, 222, 111), ring, 0.85)
    # Corner marks stay right of x 30: a two-digit number's ink reaches x 29.
    tick = shape(LB_W, LB_H, lambda p: p.line([(32.2, 5.4), (34.0, 7.4), (37.2, 3.2)], 1.6))
    paint(c, (10, 30, 10), dilate(tick, 1), 0.7)
    paint(c, (150, 250, 140), tick)
    return c


def unlocked_mark():
    c = new(LB_W, LB_H)
    body = shape(LB_W, LB_H, lambda p: p.rrect((1, 1, 39, 26), 4))
    inner = shape(LB_W, LB_H, lambda p: p.rrect((2.6, 2.6, 37.4, 24.4), 3))
    ring = np.clip(body - inner, 0, 1)
    glow_in = np.clip(body - blur(inner * shape(LB_W, LB_H, lambda p: p.rrect((4, 4, 36, 23), 2)), 2), 0, 1) * inner
    paint(c, TEAL_GLOW, glow_in, 0.45)
    paint(c, (120, 240, 226), ring, 0.95)
    dot = shape(LB_W, LB_H, lambda p: p.poly([(32, 3.5), (36.5, 6.6), (32, 9.7)]))
    paint(c, (200, 255, 246), dot)
    return c


def locked_mark():
    c = new(LB_W, LB_H)
    body = shape(LB_W, LB_H, lambda p: p.rrect((1, 1, 39, 26), 4))
    paint(c, (6, 8, 12), body, 0.5)
    shackle = shape(LB_W, LB_H, lambda p: p.arc(35.2, 18.0, 2.0, 180, 360, 1.1))
    case = shape(LB_W, LB_H, lambda p: p.rrect((32.4, 17.8, 38.0, 23.6), 1))
    m = np.clip(shackle + case, 0, 1)
    paint(c, (8, 8, 10), dilate(m, 1), 0.8)
    paint(c, (170, 150, 96), shackle)
    paint(c, (214, 180, 90), case)
    hole = shape(LB_W, LB_H, lambda p: p.circle(35.2, 20.6, 0.7))
    paint(c, (60, 40, 16), hole)
    return c


def side_panel():
    w, h = 24, 10
    prof = np.array([(96, 104, 118), (58, 64, 76)] + [(34, 38, 46)] * 19 + [(28, 31, 38), (20, 22, 27), (12, 13, 16)], np.float32)
    n = noise(w, 1, 3, 91)[0]
    prof[2:21] *= (0.94 + 0.12 * n[2:21])[:, None]
    c = solid(w, h, (0, 0, 0))
    c[..., :3] = np.broadcast_to(prof[None, :, :], (h, w, 3)) / 255
    return c
