"""The large pictures: the closing illustration, the four backgrounds, the
result picture and the scrolling banner."""
import math

import numpy as np
from PIL import Image

from canvas import (new, solid, paint, shade, glow, blur, dilate, shift, shape, over,
                    noise, fbm, vgrad, radial, to_image, from_image)
from style import *
import tiles


def scaled(piece, k):
    """A tile picture grown by k with a smooth filter (for props in scenes)."""
    im = tiles_image(piece)
    w, h = im.size
    return from_image(im.resize((round(w * k), round(h * k)), Image.LANCZOS))


def tiles_image(c):
    return to_image(c)


def tile_fill(w, h, tile, k=1.0, ox=0, oy=0):
    t = tiles_image(tile)
    if k != 1.0:
        t = t.resize((round(50 * k), round(50 * k)), Image.LANCZOS)
    tw, th = t.size
    big = Image.new('RGBA', (w + tw, h + th))
    for y in range(0, h + th, th):
        for x in range(0, w + tw, tw):
            big.paste(t, (x, y))
    return from_image(big.crop((ox % tw, oy % th, ox % tw + w, oy % th + h)))


def lantern(c, x, y, k=1.0, light=0.9):
    """A hanging iron lantern with a warm flame; (x, y) is the hook."""
    h, w = c.shape[:2]
    halo = np.clip(1 - radial(w, h, x, y + 22 * k, 90 * k), 0, 1) ** 2
    glow(c, (255, 190, 100), halo, 0.55 * light)
    paint(c, (255, 200, 120), halo, 0.10 * light)
    chain = shape(w, h, lambda p: p.line([(x, y), (x, y + 8 * k)], 1.4 * k))
    paint(c, (30, 30, 34), chain)
    cap = shape(w, h, lambda p: p.poly([(x - 9 * k, y + 14 * k), (x, y + 6 * k), (x + 9 * k, y + 14 * k)]))
    glass = shape(w, h, lambda p: p.rrect((x - 7 * k, y + 14 * k, x + 7 * k, y + 32 * k), 2 * k))
    base = shape(w, h, lambda p: p.rrect((x - 9 * k, y + 31 * k, x + 9 * k, y + 35 * k), 1.5 * k))
    flame = shape(w, h, lambda p: p.ellipse((x - 3 * k, y + 18 * k, x + 3 * k, y + 29 * k)))
    paint(c, (20, 20, 24), dilate(np.clip(cap + glass + base, 0, 1), 1), 0.9)
    paint(c, (255, 214, 140), glass)
    paint(c, (255, 250, 220), flame)
    bars = shape(w, h, lambda p: (p.line([(x, y + 14 * k), (x, y + 32 * k)], 1.2 * k),))
    paint(c, (50, 46, 44), bars * glass, 0.8)
    paint(c, (56, 58, 66), cap)
    paint(c, (56, 58, 66), base)
    paint(c, (140, 144, 156), np.clip(cap - shift(cap, 0, 1), 0, 1), 0.7)


def sparkles(c, n, seed, box, cols, size=(1.5, 4.0), a=0.9):
    h, w = c.shape[:2]
    rng = np.random.RandomState(seed)
    x0, y0, x1, y1 = box
    for _ in range(n):
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        r = rng.uniform(*size)
        col = cols[rng.randint(len(cols))]
        kind = rng.randint(3)
        if kind == 0:
            m = shape(w, h, lambda p: (p.poly([(x, y - r * 1.8), (x + r * 0.45, y), (x, y + r * 1.8), (x - r * 0.45, y)]),
                                       p.poly([(x - r * 1.8, y), (x, y + r * 0.45), (x + r * 1.8, y), (x, y - r * 0.45)])))
        else:
            ang = rng.uniform(0, math.pi)
            dx, dy = math.cos(ang) * r, math.sin(ang) * r
            ex, ey = -dy * 0.45, dx * 0.45
            m = shape(w, h, lambda p: p.poly([(x - dx - ex, y - dy - ey), (x + dx - ex, y + dy - ey),
                                              (x + dx + ex, y + dy + ey), (x - dx + ex, y - dy + ey)]))
        paint(c, col, m, a)


# ---- closing picture ----------------------------------------------------------

CW, CH = 700, 500


def crate_prop(k, glowing=True):
    """The play box grown by k; a glowing one has teal light in its gaps."""
    g = tiles.crate_geometry()
    ov = tiles.box_overlay(g)
    look = tiles.box_look(g, ov)
    if glowing:
        under = solid(50, 50, (90, 236, 218))
        look = look + under * (1 - look[..., 3:4])
    return scaled(look, k)


def glow_pool(c, cx, cy, rx, ry, a=1.0):
    h, w = c.shape[:2]
    pool = np.clip(1 - radial(w, h, cx, cy, rx, ry), 0, 1)
    paint(c, (40, 190, 180), pool ** 0.7, 0.45 * a)
    glow(c, (110, 250, 230), pool, 0.8 * a)


TOWER = (6, 5, 8)


def closing_picture():
    w, h = CW, CH
    c = new(w, h)
    # back wall of the warehouse
    wall = tile_fill(w, 270, tiles.wall_tile(), k=1.2)
    c[:270] = wall
    # wide doorway onto the dawn
    door = shape(w, h, lambda p: (p.rect((230, 70, 470, 270)), p.ellipse((230, 0, 470, 140))))
    sky = vgrad(w, h, [(0, (92, 120, 170)), (0.22, (238, 170, 150)), (0.42, (255, 214, 150)), (0.55, (255, 236, 190)), (1, (255, 236, 190))])
    paint(c, sky, door)
    rays = np.clip(1 - radial(w, h, 350, 168, 260), 0, 1) ** 1.5
    glow(c, (255, 220, 150), rays * door, 0.4)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    beams = np.clip(np.cos(np.arctan2(yy - 168, xx - 350) * 18) * 2 - 1, 0, 1) * np.clip(1 - radial(w, h, 350, 168, 200), 0, 1)
    glow(c, (255, 240, 200), beams * door, 0.22)
    sun = shape(w, h, lambda p: p.circle(350, 168, 28))
    paint(c, (255, 250, 226), sun * door)
    # distant roofs seen through the door
    roofs = shape(w, h, lambda p: p.poly([(230, 270), (230, 236), (262, 236), (262, 222), (284, 210), (306, 222), (306, 242),
                                          (330, 242), (330, 228), (392, 228), (392, 218), (418, 218), (418, 238),
                                          (446, 238), (446, 224), (470, 224), (470, 270)]))
    paint(c, (44, 30, 50), roofs * door)
    # a harbour tower; its dark face also serves the menu as the piece that
    # darkens the top bar (tinted brighter than it is opaque, so it must be
    # dark). Nearly black: with 8-bit blending a channel above 10 adds a whole
    # step back on every one of the 21 passes and tints the bar purple.
    tower = shape(w, h, lambda p: (p.rect((394, 176, 412, 270)), p.poly([(391, 177), (403, 160), (415, 177)])))
    roofs = np.clip(roofs + tower, 0, 1)
    paint(c, (255, 196, 150), np.clip(roofs - shift(roofs, 0, 2), 0, 1) * door, 0.6)
    rim = np.clip(dilate(door, 3) - door, 0, 1)
    paint(c, (40, 44, 54), rim)
    paint(c, (120, 128, 146), np.clip(dilate(door, 4) - dilate(door, 3), 0, 1), 0.6)
    # light spilling into the hall
    spill = np.clip(1 - radial(w, h, 350, 300, 330, 150), 0, 1)
    glow(c, (255, 210, 150), spill, 0.5)
    # floor: sandstone slabs receding
    fl = vgrad(w, h - 262, [(0, (176, 148, 108)), (0.35, (222, 200, 158)), (0.75, (238, 222, 188)), (1, (214, 194, 156))])
    n = fbm(w, h - 262, 40, 120)
    fl *= (0.94 + 0.1 * n)[..., None]
    c[262:, :, :3] = fl / 255
    c[262:, :, 3] = 1
    for k in range(8):
        t = k / 8.0
        yy = 262 + (t ** 1.6) * 238
        if yy > h:
            break
        m = shape(w, h, lambda p: p.line([(0, yy), (w, yy)], 0.9 + t))
        paint(c, GROUT, m, 0.25)
    for k in range(-12, 13):
        m = shape(w, h, lambda p: p.line([(350 + k * 24, 262), (350 + k * 90, 500)], 1.1))
        paint(c, GROUT, m, 0.18)
    # the dawn falling in through the door
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    shaft = shape(w, h, lambda p: p.poly([(236, 264), (464, 264), (600, 500), (100, 500)]))
    fade = np.clip(1 - (yy - 264) / 236.0, 0, 1) ** 1.5
    glow(c, (255, 226, 170), blur(shaft, 6) * fade, 0.45)
    # skirting shadow where wall meets floor
    sk = np.zeros((h, w), np.float32)
    sk[262:272] = np.linspace(0.55, 0, 10)[:, None]
    paint(c, (40, 30, 24), sk)
    # bunting strung along the wall, lanterns below it
    cols = [TEAL, (236, 176, 72), (210, 84, 60), CREAM]
    for (x0, y0, x1, y1, sag) in ((14, 26, 226, 40, 26), (474, 40, 686, 26, 26)):
        ropef = lambda t: (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t + sag * math.sin(math.pi * t))
        m = shape(w, h, lambda p: p.line([ropef(t / 24) for t in range(25)], 1.8))
        paint(c, (60, 44, 30), m)
        for k in range(1, 10):
            px, py = ropef(k / 10)
            f = shape(w, h, lambda p: p.poly([(px - 9, py - 1), (px + 9, py - 1), (px + 1, py + 24)]))
            paint(c, (0, 0, 0), blur(shift(f, 2, 3), 1), 0.3)
            paint(c, cols[k % len(cols)], f)
            paint(c, (255, 255, 255), np.clip(f - shift(f, 2, 0), 0, 1), 0.35)
    lantern(c, 120, 70, 1.6)
    lantern(c, 580, 70, 1.6)
    paint(c, (30, 22, 36), roofs * door)
    paint(c, TOWER, tower * door)
    paint(c, (255, 200, 150), np.clip(roofs - shift(roofs, 0, 2), 0, 1) * door, 0.55)
    lit = shape(w, h, lambda p: [p.rect((x, y, x + 5, y + 7)) for x, y in ((244, 246), (280, 230), (312, 252), (350, 240), (428, 250), (454, 236))])
    paint(c, (255, 204, 120), lit * door, 0.9)
    # a row of crates on glowing targets
    crate = crate_prop(1.25)
    for i, x in enumerate((60, 140, 500, 580)):
        y = 206
        glow_pool(c, x + 31, y + 64, 50, 12)
        over(c, crate, x, y)
    # the hand, cheering
    fig = tiles.figure(w, h, 350 - 25 * 2.7, 344 - 46 * 2.7, 2.7, 'cheer')
    shadow = np.clip(1 - radial(w, h, 350, 346, 40, 9), 0, 1)
    paint(c, (60, 40, 24), shadow, 0.45)
    over(c, fig)
    sparkles(c, 40, 7, (20, 20, 680, 240), [TEAL_GLOW, (255, 220, 140), (255, 255, 255), (240, 150, 110)], a=0.85)
    # sparkles stay off the tower's band piece (see above)
    paint(c, TOWER, tower * door * (1 - fig[..., 3]))
    # soft vignette, lower band kept light for the text laid over it
    v = radial(w, h, 350, 250, 420, 330)
    dark = np.clip((v - 0.8) * 1.6, 0, 0.6)
    band = np.exp(-((np.arange(h) - 398) / 42.0) ** 2)[:, None]
    shade(c, 1 - dark * (1 - band))
    # rounded frame
    outer = shape(w, h, lambda p: p.rrect((0, 0, w, h), 18))
    inner = shape(w, h, lambda p: p.rrect((5, 5, w - 5, h - 5), 14))
    frame = np.clip(outer - inner, 0, 1)
    paint(c, (46, 52, 64), frame)
    paint(c, (140, 150, 168), np.clip(outer - shift(outer, 1, 1), 0, 1) * frame, 0.7)
    paint(c, TEAL, np.clip(inner - shape(w, h, lambda p: p.rrect((6.2, 6.2, w - 6.2, h - 6.2), 13)), 0, 1), 0.8)
    c *= outer[..., None]
    return c


# ---- backgrounds -------------------------------------------------------------

BW, BH = 1024, 768


def bg_finish(c, seed):
    """Calms the middle where the room stands, a gentle vignette and a fine
    grain so the JPEG has no banding."""
    v = radial(BW, BH, 512, 410, 620, 470)
    shade(c, np.clip(1.08 - 0.42 * v ** 2, 0.5, 1.0))
    n = noise(BW, BH, 1, seed)
    c[..., :3] = np.clip(c[..., :3] * (0.985 + 0.03 * n)[..., None], 0, 1)
    return c


def roofline(c, seed, y_base, col, hmin, hmax, wmin=50, wmax=130, windows=None, rim=None, chimneys=0.4):
    """A row of warehouses and houses with gables and chimneys."""
    rng = np.random.RandomState(seed)
    pts = [(-40, BH + 10)]
    x = -40.0
    lit = []
    while x < BW + 40:
        bw = rng.uniform(wmin, wmax)
        top = y_base - rng.uniform(hmin, hmax)
        kind = rng.randint(3)
        if kind == 0:        # gable
            pts += [(x, top), (x + bw / 2, top - bw * 0.32), (x + bw, top)]
        elif kind == 1:      # saw-tooth warehouse roof
            n = max(2, int(bw // 28))
            for i in range(n):
                x0 = x + bw * i / n
                pts += [(x0, top), (x0 + bw / n * 0.8, top - 16), (x0 + bw / n, top)]
        else:                # flat with a parapet
            pts += [(x, top), (x, top - 4), (x + bw, top - 4), (x + bw, top)]
        if rng.rand() < chimneys:
            cx = x + rng.uniform(0.2, 0.7) * bw
            ch = rng.uniform(14, 26)
            lit.append(('chimney', cx, top, ch))
        lit.append(('house', x, top, bw))
        x += bw
    pts += [(BW + 40, BH + 10)]
    m = shape(BW, BH, lambda p: p.poly(pts))
    ch = shape(BW, BH, lambda p: [p.rect((e[1], e[2] - e[3] - 8, e[1] + 9, e[2])) for e in lit if e[0] == 'chimney'])
    m = np.clip(m + ch, 0, 1)
    paint(c, col, m)
    if rim is not None:
        paint(c, rim[0], np.clip(m - shift(m, 0, 2), 0, 1), rim[1])
    if windows:
        wcol, p_on = windows
        rects = []
        for e in lit:
            if e[0] != 'house':
                continue
            _, x, top, bw = e
            for k in range(int((bw - 10) // 20)):
                for j in range(int((y_base + 60 - top) // 26)):
                    if rng.rand() < p_on:
                        rects.append((x + 9 + k * 20, top + 12 + j * 26))
        wm = shape(BW, BH, lambda p: [p.rect((wx, wy, wx + 7, wy + 10)) for wx, wy in rects])
        glow(c, wcol, blur(wm, 4), 0.8)
        paint(c, wcol, wm * m, 0.95)
    return m


def crane(c, x, y_base, h, col, flip=False):
    s = -1 if flip else 1
    m = shape(BW, BH, lambda p: (
        p.rect((x - 5, y_base - h, x + 5, y_base)),
        p.poly([(x - 40 * s, y_base - h - 6), (x + 150 * s, y_base - h - 6), (x + 150 * s, y_base - h + 1), (x - 40 * s, y_base - h + 4)]),
        p.poly([(x - 3, y_base - h - 6), (x + 3, y_base - h - 6), (x, y_base - h - 34)]),
        p.line([(x, y_base - h - 32), (x + 140 * s, y_base - h - 4)], 1.4),
        p.line([(x, y_base - h - 32), (x - 36 * s, y_base - h - 4)], 1.4),
        p.rect((x - 40 * s - (12 if not flip else -12), y_base - h - 4, x - 40 * s, y_base - h + 10)),
        p.line([(x + 120 * s, y_base - h), (x + 120 * s, y_base - h + 60)], 1.2),
        p.rect((x + 116 * s, y_base - h + 60, x + 124 * s, y_base - h + 66)),
        [p.line([(x - 5, y_base - h + 20 * i), (x + 5, y_base - h + 20 * i + 20)], 1.2) for i in range(int(h // 20))]))
    paint(c, col, m)


def cobbles(c, y0, y1, seed, base, stone, light, la, size=(26, 15)):
    """Rows of cobblestones, a little smaller towards the top (distance)."""
    c[y0:y1, :, :3] = np.asarray(base, np.float32) / 255
    c[y0:y1, :, 3] = 1
    rng = np.random.RandomState(seed)
    y = float(y0)
    row = 0
    stones, lits = [], []
    while y < y1:
        t = (y - y0) / max(1, y1 - y0)
        sw, sh = size[0] * (0.7 + 0.5 * t), size[1] * (0.7 + 0.5 * t)
        x = -sw * (0.5 if row % 2 else 0) - rng.uniform(0, 4)
        while x < BW:
            w_ = sw * rng.uniform(0.85, 1.1)
            b = (x + 1.5, y + 1.2, x + w_ - 1.5, y + sh - 1.2)
            tone = rng.uniform(0.8, 1.15)
            stones.append((b, tone))
            x += w_
        y += sh
        row += 1
    # group stones by tone band to keep the number of masks small
    for lo in np.linspace(0.8, 1.15, 6)[:-1]:
        grp = [b for b, t in stones if lo <= t < lo + 0.07]
        m = shape(BW, BH, lambda p: [p.rrect(b, 4) for b in grp])
        paint(c, np.asarray(stone, np.float32) * (lo + 0.035), m)
        top = shape(BW, BH, lambda p: [p.rrect((b[0] + 1, b[1], b[2] - 1, b[1] + (b[3] - b[1]) * 0.45), 3) for b in grp])
        paint(c, light, top * m, la)
    n = fbm(BW, BH, 90, seed + 1)
    band = np.zeros((BH, BW), np.float32)
    band[y0:y1] = 1
    shade(c, 0.85 + 0.25 * n, band)


def lamp_post(c, x, y_base, h, light=1.0):
    post = shape(BW, BH, lambda p: (p.rect((x - 3, y_base - h, x + 3, y_base)), p.rect((x - 8, y_base - 6, x + 8, y_base)),
                                    p.rect((x - 2, y_base - h, x + 22, y_base - h + 4))))
    pool = np.clip(1 - radial(BW, BH, x + 20, y_base + 8, 110, 26), 0, 1)
    glow(c, (255, 196, 110), pool, 0.7 * light)
    paint(c, (24, 24, 28), post)
    lantern(c, x + 20, y_base - h + 3, 1.15, light)


def leaf(p, x, y, r, ang):
    dx, dy = math.cos(ang) * r, math.sin(ang) * r
    ex, ey = -dy * 0.5, dx * 0.5
    p.poly([(x - dx, y - dy), (x - dx * 0.3 + ex, y - dy * 0.3 + ey), (x + dx * 0.5 + ex * 0.6, y + dy * 0.5 + ey * 0.6),
            (x + dx, y + dy), (x + dx * 0.5 - ex * 0.6, y + dy * 0.5 - ey * 0.6), (x - dx * 0.3 - ex, y - dy * 0.3 - ey)])


def bg_dawn():
    c = solid(BW, BH, (0, 0, 0))
    hz = 446
    c[..., :3] = vgrad(BW, BH, [(0, (44, 50, 98)), (0.2, (92, 80, 132)), (0.42, (206, 128, 132)),
                                (0.54, (252, 186, 130)), (hz / BH, (255, 222, 164)), (1, (255, 222, 164))]) / 255
    clouds = fbm(BW, BH, 120, 201)
    streak = np.clip((clouds - 0.52) * 4, 0, 1) * np.exp(-((np.arange(BH) - 250) / 90.0) ** 2)[:, None]
    paint(c, (255, 176, 150), blur(streak, 2), 0.45)
    sun_glow = np.clip(1 - radial(BW, BH, 700, hz, 420, 260), 0, 1) ** 2
    glow(c, (255, 236, 180), sun_glow, 0.9)
    sun = shape(BW, BH, lambda p: p.circle(700, hz - 22, 40))
    paint(c, (255, 246, 214), sun)
    hills = noise(BW, 1, 160, 202)[0]
    ridge = hz - 12 - 30 * hills
    yy = np.arange(BH)[:, None]
    hm = np.clip(yy - ridge[None, :], 0, 1).astype(np.float32)
    paint(c, (176, 116, 136), hm, 0.75)
    crane(c, 170, hz + 30, 150, (110, 74, 104))
    crane(c, 900, hz + 30, 120, (110, 74, 104), flip=True)
    roofline(c, 203, hz + 34, (104, 70, 98), 20, 90, rim=((255, 190, 140), 0.5),
             windows=((255, 200, 120), 0.08))
    # harbour water
    wy0, wy1 = hz + 34, 600
    water = vgrad(BW, wy1 - wy0, [(0, (214, 150, 140)), (1, (96, 70, 104))])
    c[wy0:wy1, :, :3] = water / 255
    rng = np.random.RandomState(204)
    strokes = []
    for _ in range(150):
        y = rng.uniform(wy0 + 3, wy1 - 3)
        x = rng.normal(700, 110) if rng.rand() < 0.6 else rng.uniform(0, BW)
        L = rng.uniform(10, 50) * (0.5 + (y - wy0) / (wy1 - wy0))
        strokes.append((x, y, L))
    m = shape(BW, BH, lambda p: [p.line([(x, y), (x + L, y)], 1.3) for x, y, L in strokes])
    paint(c, (255, 226, 176), m, 0.55)
    # the stone quay
    kerb = np.zeros((BH, BW), np.float32)
    kerb[600:612] = 1
    cobbles(c, 612, BH, 205, (50, 40, 48), (88, 72, 80), (255, 196, 150), 0.14)
    paint(c, (150, 118, 118), kerb)
    paint(c, (255, 214, 170), np.pad(np.ones((2, BW), np.float32), ((600, BH - 602), (0, 0))), 0.6)
    bol = shape(BW, BH, lambda p: [(p.rrect((x - 9, 588, x + 9, 612), 5), p.rect((x - 12, 592, x + 12, 597))) for x in (40, 250, 780, 990)])
    paint(c, (40, 34, 44), bol)
    lamp_post(c, 110, 640, 150, 0.6)
    lamp_post(c, 905, 660, 150, 0.6)
    return bg_finish(c, 206)


def bg_sea():
    c = solid(BW, BH, (0, 0, 0))
    hz = 330
    c[..., :3] = vgrad(BW, BH, [(0, (52, 104, 156)), (0.3, (140, 190, 218)), (hz / BH, (226, 234, 228)), (1, (226, 234, 228))]) / 255
    cl = fbm(BW, BH, 140, 211)
    cm = np.clip((cl - 0.5) * 3.2, 0, 1) * np.clip(1 - np.arange(BH) / float(hz), 0, 1)[:, None] ** 0.7
    paint(c, (250, 250, 246), cm, 0.7)
    paint(c, (150, 170, 196), np.clip(cm - shift(cm, 0, -6), 0, 1), 0.25)
    glow(c, (255, 246, 220), np.clip(1 - radial(BW, BH, 300, 210, 300, 200), 0, 1) ** 2, 0.6)
    # sea
    sea = vgrad(BW, BH - hz, [(0, (96, 162, 176)), (0.25, (40, 118, 142)), (1, (12, 58, 84))])
    c[hz:, :, :3] = sea / 255
    rng = np.random.RandomState(212)
    light_strokes, dark_strokes = [], []
    for _ in range(700):
        t = rng.rand() ** 1.5
        y = hz + 3 + t * (BH - hz)
        sun_path = rng.rand() < 0.35
        x = rng.normal(300, 60 + 140 * t) if sun_path else rng.uniform(-60, BW)
        L = (8 + 70 * t) * rng.uniform(0.5, 1.2)
        wdt = 0.8 + 2.4 * t
        (light_strokes if rng.rand() < 0.6 or sun_path else dark_strokes).append((x, y, L, wdt))
    m = shape(BW, BH, lambda p: [p.line([(x, y), (x + L * 0.5, y - w_ * 0.6), (x + L, y)], w_) for x, y, L, w_ in light_strokes])
    paint(c, (206, 236, 236), m, 0.45)
    m = shape(BW, BH, lambda p: [p.line([(x, y), (x + L, y)], w_) for x, y, L, w_ in dark_strokes])
    paint(c, (8, 40, 62), m, 0.35)
    # island with a lighthouse, and two sails
    isl = shape(BW, BH, lambda p: p.poly([(0, hz + 2), (0, hz - 26), (40, hz - 40), (110, hz - 46), (170, hz - 28), (230, hz - 8), (260, hz + 2)]))
    paint(c, (84, 118, 124), isl)
    glow(c, (255, 236, 170), np.clip(1 - radial(BW, BH, 118, hz - 121, 46), 0, 1) ** 2, 0.9)
    tower = shape(BW, BH, lambda p: p.poly([(111, hz - 44), (125, hz - 44), (122, hz - 110), (114, hz - 110)]))
    paint(c, (240, 236, 226), tower)
    bands = shape(BW, BH, lambda p: [p.rect((100, hz - 44 - 22 * i - 11, 140, hz - 44 - 22 * i)) for i in range(3)])
    paint(c, (196, 70, 56), bands * tower)
    paint(c, (0, 0, 0), np.clip(tower - shift(tower, -2, 0), 0, 1), 0.15)
    paint(c, (52, 54, 62), shape(BW, BH, lambda p: (p.rect((109, hz - 113, 127, hz - 109)),
                                                    p.poly([(111, hz - 128), (118, hz - 138), (125, hz - 128)]))))
    paint(c, (255, 238, 176), shape(BW, BH, lambda p: p.rect((113, hz - 127, 123, hz - 113))))
    paint(c, (52, 54, 62), shape(BW, BH, lambda p: p.rect((117.4, hz - 127, 118.6, hz - 113))))
    for x, k in ((780, 1.0), (900, 0.75)):
        hull = shape(BW, BH, lambda p: p.poly([(x - 18 * k, hz + 2), (x + 18 * k, hz + 2), (x + 12 * k, hz + 8 * k), (x - 12 * k, hz + 8 * k)]))
        sail = shape(BW, BH, lambda p: (p.poly([(x, hz - 40 * k), (x + 16 * k, hz - 2), (x, hz - 2)]), p.poly([(x - 2, hz - 34 * k), (x - 2, hz - 3), (x - 14 * k, hz - 3)])))
        paint(c, (60, 50, 52), hull)
        paint(c, (250, 244, 230), sail)
    # a pier of planks along the bottom
    py0 = 700
    rng = np.random.RandomState(213)
    planks = vgrad(BW, BH - py0, [(0, (140, 100, 66)), (1, (96, 64, 40))])
    c[py0:, :, :3] = planks / 255
    gr = noise(BW, BH - py0, 3, 214)
    c[py0:, :, :3] *= (0.9 + 0.2 * np.repeat(gr[:, :1], BW, axis=1) * 0.5 + 0.1 * gr)[..., None]
    seams = np.zeros((BH, BW), np.float32)
    for x in np.cumsum(rng.uniform(60, 120, 20)):
        seams[py0:, int(x) % BW] = 1
    for y in (py0, py0 + 22, py0 + 46):
        seams[y:y + 2, :] = 1
    paint(c, (40, 26, 18), seams, 0.7)
    paint(c, (220, 180, 130), np.pad(np.ones((2, BW), np.float32), ((py0 + 2, BH - py0 - 4), (0, 0))), 0.5)
    return bg_finish(c, 215)


def bg_autumn():
    c = solid(BW, BH, (0, 0, 0))
    c[..., :3] = vgrad(BW, BH, [(0, (112, 70, 40)), (1, (64, 40, 28))]) / 255
    n = fbm(BW, BH, 120, 221)
    shade(c, 0.8 + 0.35 * n)
    # paving of old flagstones half hidden by leaves
    rng = np.random.RandomState(222)
    flags = []
    y = -10.0
    while y < BH:
        rh = rng.uniform(52, 84)
        x = -rng.uniform(0, 60)
        while x < BW:
            w_ = rng.uniform(60, 140)
            flags.append((x + 3, y + 3, x + w_ - 3, y + rh - 3))
            x += w_
        y += rh
    fm = shape(BW, BH, lambda p: [p.rrect(b, 7) for b in flags])
    paint(c, (150, 120, 92), fm, 0.22)
    paint(c, (255, 214, 160), np.clip(fm - shift(fm, 0, 2), 0, 1), 0.12)
    paint(c, (20, 10, 6), np.clip(fm - shift(fm, 0, -2), 0, 1), 0.2)
    # sunbeams through the trees
    yy, xx = np.mgrid[0:BH, 0:BW].astype(np.float32)
    beams = np.clip(np.sin((xx * 0.8 + yy * 0.6) / 38.0) * 1.4 - 0.6, 0, 1) * np.clip(1 - yy / BH, 0.2, 1)
    glow(c, (255, 206, 130), blur(beams, 6), 0.25)
    cols = [(206, 96, 40), (226, 156, 52), (170, 62, 34), (212, 124, 58), (140, 86, 36), (236, 190, 84), (186, 60, 44)]
    for layer, (count, size, alpha, bl) in enumerate(((260, (7, 12), 0.55, 1), (240, (9, 15), 0.95, 0))):
        for ci, col in enumerate(cols):
            lv = []
            for _ in range(count // len(cols)):
                lv.append((rng.uniform(-20, BW + 20), rng.uniform(-20, BH + 20), rng.uniform(*size), rng.uniform(0, math.pi)))
            m = shape(BW, BH, lambda p: [leaf(p, x, y, r, a) for x, y, r, a in lv])
            if bl:
                m = blur(m, bl)
            sh = blur(shift(m, 2, 3), 1)
            paint(c, (30, 16, 10), sh, 0.35 * alpha)
            paint(c, np.asarray(col, np.float32) * (0.75 if layer == 0 else 1.0), m, alpha)
            vein = shape(BW, BH, lambda p: [p.line([(x - math.cos(a) * r * 0.8, y - math.sin(a) * r * 0.8),
                                                    (x + math.cos(a) * r * 0.8, y + math.sin(a) * r * 0.8)], 0.8) for x, y, r, a in lv])
            paint(c, (90, 40, 20), vein * m, 0.45 * alpha)
    # branches reaching in from the top corners, heavy with leaves
    for cx, dirx, seed in ((0, 1, 226), (BW, -1, 227)):
        br = np.random.RandomState(seed)
        limbs = [[(cx, -10), (cx + dirx * 120, 40), (cx + dirx * 230, 56)],
                 [(cx, 60), (cx + dirx * 80, 100), (cx + dirx * 140, 140)],
                 [(cx + dirx * 120, 40), (cx + dirx * 180, 0)]]
        mass = np.clip((1.0 - radial(BW, BH, cx + dirx * 90, 20, 250, 150)) * 3 - 0.6 + 0.8 * (fbm(BW, BH, 30, seed) - 0.5), 0, 1)
        paint(c, (0, 0, 0), blur(shift(mass, 6, 12), 8), 0.35)
        paint(c, (86, 34, 20), mass, 0.95)
        lm = shape(BW, BH, lambda p: [p.line(l, 7 - 2 * i) for i, l in enumerate(limbs)])
        paint(c, (0, 0, 0), blur(shift(lm, 6, 10), 4), 0.35)
        paint(c, (48, 30, 22), lm)
        for ci, col in enumerate(cols):
            lv = []
            for _ in range(70):
                r_ = br.rand() ** 0.7
                ang = br.uniform(-0.2, 1.7)
                lv.append((cx + dirx * (30 + 280 * r_ * math.cos(ang * 0.9)), -10 + 190 * r_ * math.sin(min(ang, 1.5)) * 0.9 + br.uniform(-20, 20),
                           br.uniform(9, 15), br.uniform(0, math.pi)))
            m = shape(BW, BH, lambda p: [leaf(p, x, y, r, a) for x, y, r, a in lv])
            paint(c, (20, 10, 6), blur(shift(m, 5, 9), 3), 0.3)
            paint(c, np.asarray(col, np.float32) * 0.9, m)
            paint(c, (255, 220, 160), np.clip(m - shift(m, 1, 1), 0, 1), 0.25)
    return bg_finish(c, 225)


def bg_night():
    c = solid(BW, BH, (0, 0, 0))
    hz = 540
    c[..., :3] = vgrad(BW, BH, [(0, (6, 10, 28)), (0.45, (20, 30, 66)), (hz / BH, (52, 50, 96)), (1, (52, 50, 96))]) / 255
    rng = np.random.RandomState(231)
    stars = [(rng.uniform(0, BW), rng.uniform(0, hz - 40), rng.uniform(0.4, 1.2)) for _ in range(320)]
    m = shape(BW, BH, lambda p: [p.circle(x, y, r) for x, y, r in stars])
    paint(c, (236, 236, 255), m * (0.5 + 0.5 * noise(BW, BH, 2, 232)), 0.9)
    big = [s for s in stars if s[2] > 1.05][:14]
    m = shape(BW, BH, lambda p: [(p.line([(x - 5, y), (x + 5, y)], 0.6), p.line([(x, y - 5), (x, y + 5)], 0.6)) for x, y, _ in big])
    paint(c, (220, 230, 255), m, 0.7)
    glow(c, (170, 190, 255), np.clip(1 - radial(BW, BH, 840, 130, 240), 0, 1) ** 2, 0.45)
    moon = shape(BW, BH, lambda p: p.circle(840, 130, 44))
    paint(c, (240, 234, 206), moon)
    craters = shape(BW, BH, lambda p: (p.circle(826, 118, 8), p.circle(856, 146, 6), p.circle(850, 112, 4)))
    paint(c, (206, 198, 170), craters * moon, 0.7)
    paint(c, (180, 176, 160), np.clip(moon - shift(moon, -5, -3), 0, 1), 0.5)
    roofline(c, 233, hz - 10, (30, 36, 70), 60, 170, wmin=60, wmax=140, windows=((255, 210, 130), 0.10), chimneys=0.6)
    fog = np.exp(-((np.arange(BH) - (hz - 20)) / 40.0) ** 2)[:, None] * np.ones((1, BW))
    paint(c, (90, 96, 140), fog.astype(np.float32), 0.35)
    roofline(c, 234, hz + 40, (14, 16, 32), 60, 140, wmin=70, wmax=160, windows=((255, 196, 110), 0.22),
             rim=((120, 130, 190), 0.5))
    cobbles(c, 630, BH, 235, (12, 14, 24), (32, 36, 52), (140, 150, 200), 0.10)
    lamp_post(c, 90, 660, 170)
    lamp_post(c, 930, 672, 170)
    return bg_finish(c, 236)


def background(kind):
    return {'dawn': bg_dawn, 'sea': bg_sea, 'autumn': bg_autumn, 'night': bg_night}[kind]()


# ---- result picture -------------------------------------------------------------

RW, RH = 624, 440


def result_picture():
    w, h = RW, RH
    c = new(w, h)
    cx, cy = 312, 183
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    ang = np.arctan2(yy - cy, xx - cx)
    rays = np.clip((np.cos(ang * 14) - 0.2) * 2.5, 0, 1)
    d = radial(w, h, cx, cy, 308, 180)
    fade = np.clip(1 - d, 0, 1) ** 1.2
    paint(c, (255, 210, 120), rays * fade, 0.65)
    paint(c, (40, 150, 146), (1 - rays) * fade, 0.22)
    # the teal ring of a target, grown large around the panel
    ring = shape(w, h, lambda p: (p.ellipse((cx - 292, cy - 170, cx + 292, cy + 170)), p.ellipse((cx - 278, cy - 157, cx + 278, cy + 157), fill=0)))
    paint(c, (0, 0, 0), blur(dilate(ring, 2), 3), 0.35)
    paint(c, TEAL_DARK, dilate(ring, 2))
    paint(c, TEAL, ring)
    paint(c, TEAL_GLOW, np.clip(ring - shift(ring, 0, 2), 0, 1), 0.9)
    studs = shape(w, h, lambda p: [p.circle(cx + 285 * math.cos(t), cy + 163.5 * math.sin(t), 4.2)
                                   for t in np.linspace(0, 2 * math.pi, 24, endpoint=False)])
    paint(c, (255, 226, 150), studs)
    # a ribbon over the top
    rib = [(150, 44), (190, 30), (312, 22), (434, 30), (474, 44), (474, 80), (434, 66), (312, 58), (190, 66), (150, 80)]
    tails = shape(w, h, lambda p: (p.poly([(150, 50), (112, 56), (126, 72), (112, 90), (156, 86)]),
                                   p.poly([(474, 50), (512, 56), (498, 72), (512, 90), (468, 86)])))
    paint(c, (0, 0, 0), blur(shift(tails, 2, 3), 2), 0.3)
    paint(c, (150, 58, 40), tails)
    rm = shape(w, h, lambda p: p.poly(rib))
    paint(c, (0, 0, 0), blur(shift(rm, 2, 3), 2), 0.3)
    paint(c, (214, 92, 58), rm)
    paint(c, (250, 170, 120), np.clip(rm - shift(rm, 0, 3), 0, 1), 0.6)
    paint(c, (120, 40, 28), np.clip(rm - shift(rm, 0, -3), 0, 1), 0.6)
    for sx in (262, 312, 362):
        sy = 41 if sx == 312 else 45
        st = shape(w, h, lambda p: p.poly([(sx + (9 if i % 2 == 0 else 4) * math.cos(math.radians(-90 + 36 * i)),
                                           sy + (9 if i % 2 == 0 else 4) * math.sin(math.radians(-90 + 36 * i)))
                                          for i in range(10)]))
        paint(c, (255, 230, 140), st)
    # crates on glowing targets stacked below the panel
    crate = crate_prop(1.2)
    for x, y in ((222, 374), (282, 374), (342, 374)):
        glow_pool(c, x + 30, y + 58, 44, 10)
    for x, y in ((222, 374), (282, 374), (342, 374), (252, 314), (312, 314)):
        over(c, crate, x, y)
    # the hand cheering beside them, and lanterns on either side
    glow_pool(c, 150, 432, 34, 7, 0.6)
    fig = tiles.figure(w, h, 150 - 25 * 2.2, 434 - 46 * 2.2, 2.2, 'cheer')
    over(c, fig)
    post = shape(w, h, lambda p: (p.rect((467, 300, 473, 438)), p.rect((440, 300, 473, 305)), p.rect((456, 430, 484, 438))))
    paint(c, (40, 40, 46), post)
    lantern(c, 444, 305, 1.3)
    sparkles(c, 70, 9, (10, 10, w - 10, h - 10), [TEAL_GLOW, (255, 220, 140), (255, 255, 255), (240, 120, 100)], a=0.9)
    return c


# ---- banner --------------------------------------------------------------------

NW, NH = 1600, 90


def banner():
    w, h = NW, NH
    c = new(w, h)
    cols = [TEAL, (236, 176, 72), (210, 84, 60), CREAM, (120, 200, 120)]
    span = 200
    y0, sag = 5, 14
    for s in range(w // span):
        x0 = s * span
        ropef = lambda t: (x0 + t * span, y0 + sag * math.sin(math.pi * t))
        m = shape(w, h, lambda p: p.line([ropef(t / 24) for t in range(25)], 1.8))
        paint(c, (70, 52, 36), m)
        n = 8
        for k in range(1, n):
            px, py = ropef(k / n)
            col = cols[(s * n + k) % len(cols)]
            f = shape(w, h, lambda p: p.poly([(px - 8, py - 1), (px + 8, py - 1), (px + 1, py + 21)]))
            paint(c, (0, 0, 0), blur(shift(f, 2, 2), 1), 0.25)
            paint(c, col, f)
            paint(c, (255, 255, 255), np.clip(f - shift(f, 2, 0), 0, 1), 0.35)
    for x in range(0, w + 1, 400):
        lantern(c, min(max(x, 14), w - 14), 3, 1.2, light=0.7)
    # rows of crates on glowing targets between the lanterns
    crate = crate_prop(0.72)
    for x in range(200, w, 400):
        for dx in (-54, -18, 18):
            glow_pool(c, x + dx + 18, 87, 24, 4, 0.7)
        for dx in (-54, -18, 18):
            over(c, crate, x + dx, 52)
    sparkles(c, 60, 19, (0, 34, w, h - 4), [TEAL_GLOW, (255, 220, 140), (255, 255, 255)], size=(1.2, 3.0), a=0.85)
    return c
