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
    sun = np.clip(1 - radial(w, h, 350, 236, 70), 0, 1)
    paint(c, (255, 248, 220), np.clip(sun * 3, 0, 1) * door)
    rays = np.clip(1 - radial(w, h, 350, 236, 260), 0, 1) ** 1.5
    glow(c, (255, 220, 150), rays * door, 0.6)
    # distant roofs seen through the door
    roofs = shape(w, h, lambda p: p.poly([(230, 270), (230, 214), (262, 214), (262, 196), (300, 196), (300, 224),
                                          (330, 224), (330, 206), (392, 206), (392, 190), (418, 190), (418, 220),
                                          (446, 220), (446, 200), (470, 200), (470, 270)]))
    paint(c, (150, 110, 130), roofs * door, 0.85)
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
    # skirting shadow where wall meets floor
    sk = np.zeros((h, w), np.float32)
    sk[262:272] = np.linspace(0.55, 0, 10)[:, None]
    paint(c, (40, 30, 24), sk)
    # lanterns on the wall
    lantern(c, 120, 60, 1.6)
    lantern(c, 580, 60, 1.6)
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
    # quiet the middle where the room stands, and a gentle vignette
    v = radial(BW, BH, 512, 400, 640, 480)
    shade(c, np.clip(1.05 - 0.45 * v ** 2, 0.45, 1.0))
    n = noise(BW, BH, 1, seed)
    c[..., :3] = np.clip(c[..., :3] * (0.985 + 0.03 * n)[..., None], 0, 1)
    return c


def skyline(c, seed, y_base, col, a=1.0, hmin=40, hmax=140, wmin=60, wmax=160, windows=None):
    rng = np.random.RandomState(seed)
    pts = [(0, BH)]
    x = -20
    rects = []
    while x < BW + 20:
        bw = rng.uniform(wmin, wmax)
        bh = rng.uniform(hmin, hmax)
        top = y_base - bh
        if rng.rand() < 0.5:
            pts += [(x, top), (x + bw / 2, top - bw * 0.28), (x + bw, top)]
        else:
            pts += [(x, top), (x + bw, top)]
        rects.append((x, top, bw, bh))
        x += bw
    pts += [(BW + 40, BH)]
    m = shape(BW, BH, lambda p: p.poly(pts))
    paint(c, col, m, a)
    if windows:
        for (x, top, bw, bh) in rects:
            for k in range(int(bw // 22)):
                for j in range(int(bh // 30)):
                    if rng.rand() < windows[1]:
                        wx, wy = x + 8 + k * 22, top + 14 + j * 30
                        wm = shape(BW, BH, lambda p: p.rect((wx, wy, wx + 8, wy + 12)))
                        paint(c, windows[0], wm, 0.9)
    return m


def background(kind):
    c = solid(BW, BH, (0, 0, 0))
    if kind == 'dawn':
        sky = vgrad(BW, BH, [(0, (60, 70, 120)), (0.3, (170, 120, 140)), (0.5, (246, 170, 120)), (0.62, (255, 206, 140)), (1, (120, 90, 80))])
        c[..., :3] = sky / 255
        sun = np.clip(1 - radial(BW, BH, 700, 470, 380), 0, 1) ** 2
        glow(c, (255, 230, 170), sun, 0.8)
        skyline(c, 3, 520, (120, 82, 104), 0.9, 60, 200)
        skyline(c, 4, 600, (74, 52, 72), 1.0, 30, 120)
        ground = vgrad(BW, 168, [(0, (66, 50, 60)), (1, (40, 30, 38))])
        c[600:, :, :3] = ground / 255
    elif kind == 'sea':
        sky = vgrad(BW, BH, [(0, (40, 90, 130)), (0.42, (150, 200, 214)), (0.45, (60, 130, 150)), (1, (14, 50, 70))])
        c[..., :3] = sky / 255
        rng = np.random.RandomState(21)
        for _ in range(260):
            y = 350 + (rng.rand() ** 1.6) * 420
            x = rng.uniform(-50, BW)
            L = rng.uniform(20, 90) * (0.4 + y / BH)
            m = shape(BW, BH, lambda p: p.line([(x, y), (x + L, y)], 1 + 2 * (y - 340) / 430))
            paint(c, (170, 226, 230), m, 0.25)
        clouds = fbm(BW, BH, 160, 22)
        cm = np.clip((clouds - 0.5) * 3, 0, 1) * np.clip(1 - np.arange(BH) / 330.0, 0, 1)[:, None]
        paint(c, (230, 240, 244), cm, 0.5)
    elif kind == 'autumn':
        base = vgrad(BW, BH, [(0, (90, 50, 30)), (1, (50, 28, 20))])
        c[..., :3] = base / 255
        rng = np.random.RandomState(31)
        cols = [(196, 92, 40), (220, 150, 50), (160, 60, 30), (200, 120, 60), (120, 70, 30), (230, 180, 80)]
        for _ in range(700):
            x, y = rng.uniform(-20, BW + 20), rng.uniform(-20, BH + 20)
            r = rng.uniform(7, 16)
            ang = rng.uniform(0, math.pi)
            dx, dy = math.cos(ang) * r, math.sin(ang) * r
            ex, ey = -dy * 0.45, dx * 0.45
            m = shape(BW, BH, lambda p: p.poly([(x - dx, y - dy), (x - ex, y - ey), (x + dx, y + dy), (x + ex, y + ey)]))
            col = np.asarray(cols[rng.randint(len(cols))], np.float32) * rng.uniform(0.7, 1.05)
            paint(c, col, m, 0.9)
    else:
        sky = vgrad(BW, BH, [(0, (8, 12, 30)), (0.6, (24, 34, 70)), (1, (16, 20, 40))])
        c[..., :3] = sky / 255
        rng = np.random.RandomState(41)
        for _ in range(300):
            x, y = rng.uniform(0, BW), rng.uniform(0, 520)
            r = rng.uniform(0.4, 1.3)
            m = shape(BW, BH, lambda p: p.circle(x, y, r))
            paint(c, (240, 240, 255), m, rng.uniform(0.4, 1))
        moon = shape(BW, BH, lambda p: p.circle(820, 120, 46))
        glow(c, (200, 210, 255), np.clip(1 - radial(BW, BH, 820, 120, 200), 0, 1) ** 2, 0.5)
        paint(c, (236, 232, 210), moon)
        skyline(c, 42, 560, (20, 24, 44), 1.0, 80, 240, windows=((255, 200, 110), 0.25))
        ground = vgrad(BW, 168, [(0, (18, 20, 34)), (1, (10, 10, 18))])
        c[600:, :, :3] = ground / 255
    return bg_finish(c, 50 + len(kind))


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
    paint(c, (255, 206, 120), rays * fade, 0.5)
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
    for row, (y0, sag, ph) in enumerate(((8, 18, 0), (6, 30, 100))):
        for s in range(-1, w // span + 1):
            x0 = s * span + ph
            ropef = lambda t: (x0 + t * span, y0 + sag * math.sin(math.pi * t))
            rope = [ropef(t / 24) for t in range(25)]
            m = shape(w, h, lambda p: p.line(rope, 1.8))
            paint(c, (70, 52, 36), m)
            n = 7
            for k in range(1, n):
                t = k / n
                px, py = ropef(t)
                col = cols[(s * n + k + row * 2) % len(cols)]
                f = shape(w, h, lambda p: p.poly([(px - 9, py - 1), (px + 9, py - 1), (px + 1, py + 24)]))
                paint(c, (0, 0, 0), blur(shift(f, 2, 2), 1), 0.25)
                paint(c, col, f)
                paint(c, (255, 255, 255), np.clip(f - shift(f, 2, 0), 0, 1), 0.35)
    for x in range(100, w, 400):
        lantern(c, x, 4, 1.25, light=0.7)
    # stacks of crates on glowing targets along the quay
    crate = crate_prop(0.72)
    for x in range(290, w, 400):
        for dx, dy in ((-37, 54), (0, 54), (-18, 18)):
            if dy == 54:
                glow_pool(c, x + dx + 18, 88, 26, 4, 0.7)
        for dx, dy in ((-37, 54), (0, 54), (-18, 18)):
            over(c, crate[:h - dy], x + dx, dy)
    sparkles(c, 50, 19, (0, 30, w, h - 4), [TEAL_GLOW, (255, 220, 140), (255, 255, 255)], size=(1.2, 3.0), a=0.85)
    return c
