"""Board tiles, the box overlay and the player frames (all 50 x 50)."""
import numpy as np

from canvas import (new, solid, paint, shade, glow, blur, dilate, shift, shape,
                    noise, fbm, radial)
from style import *

T = 50

# The game paints every box tile at start-up: first the box-on-target tile
# tinted (40, 140, 140, 66), premultiplied, then the overlay untinted. These
# are the factors of that tint.
TINT = np.array([40, 140, 140, 66], np.float32) / 255


def sandstone(seed, plain=False):
    n = fbm(T, T, 16, seed, octaves=4, periodic=True)
    fine = noise(T, T, 2, seed + 5, periodic=True)
    f = 0.88 + 0.18 * n + (0.0 if plain else 0.06) * (fine - 0.5)
    col = np.asarray(SAND, np.float32)[None, None, :] * f[..., None]
    c = solid(T, T, (0, 0, 0))
    c[..., :3] = np.clip(col / 255, 0, 1)
    if not plain:
        rng = np.random.RandomState(seed)
        for _ in range(7):
            x, y, r = rng.uniform(4, 46), rng.uniform(4, 46), rng.uniform(0.5, 1.1)
            m = shape(T, T, lambda p: p.circle(x, y, r))
            paint(c, SAND_DARK, m, 0.45)
    # each cell is a slab: lit top-left rim, a grout line bottom-right
    edge = np.ones((T, T), np.float32)
    edge[0, :] *= 1.10
    edge[:, 0] *= 1.06
    edge[1, 1:] *= 1.03
    edge[-2, :] *= 0.9
    edge[:, -2] *= 0.92
    shade(c, edge)
    g = np.zeros((T, T), np.float32)
    g[-1, :] = 1
    g[:, -1] = 1
    paint(c, GROUT, g, 0.85 if not plain else 0.5)
    return c


def floor_tile():
    return sandstone(11)


def plain_floor_tile():
    return sandstone(17, plain=True)


def target_tile():
    c = sandstone(11)
    cx = cy = 25
    d = radial(T, T, cx, cy, 1.0)
    # soft teal light pooled inside the ring
    inner = np.clip(1 - d / 12.0, 0, 1) ** 0.5
    paint(c, TEAL_DARK, np.clip(inner * 1.6, 0, 1), 0.4)
    glow(c, (40, 230, 210), inner, 0.6)
    groove = shape(T, T, lambda p: (p.circle(cx, cy, 16.5), p.circle(cx, cy, 10.5, fill=0)))
    lit = shape(T, T, lambda p: (p.circle(cx + 0.8, cy + 0.8, 16.5), p.circle(cx + 0.8, cy + 0.8, 10.5, fill=0)))
    # engraving: dark cut, lit lower-right lip, teal inlay
    paint(c, (96, 74, 50), groove, 0.9)
    paint(c, SAND_LIGHT, np.clip(lit - groove, 0, 1), 0.9)
    inlay = shape(T, T, lambda p: (p.circle(cx + 0.3, cy + 0.3, 15.3), p.circle(cx + 0.3, cy + 0.3, 11.7, fill=0)))
    paint(c, TEAL, inlay)
    hi = shape(T, T, lambda p: p.arc(cx, cy, 13.5, 200, 290, 1.2))
    paint(c, TEAL_GLOW, hi * inlay, 0.8)
    halo = blur(groove, 2)
    glow(c, (60, 200, 190), np.clip(halo - groove, 0, 1), 0.35)
    # small centre stud
    stud = shape(T, T, lambda p: p.poly([(25, 21.5), (28.5, 25), (25, 28.5), (21.5, 25)]))
    paint(c, (96, 74, 50), shift(stud, 1, 1), 0.5)
    paint(c, TEAL, stud)
    return c


def wall_tile():
    c = solid(T, T, MORTAR)
    n = fbm(T, T, 12, 41, periodic=True)
    grain = noise(T, T, 2, 43, periodic=True)
    rng = np.random.RandomState(44)
    rows = 4
    rh = T / rows
    for r in range(rows):
        off = 0 if r % 2 == 0 else 12.5
        for k in range(-1, 3):
            x0 = off + 25 * k
            x1 = x0 + 25
            y0, y1 = r * rh, (r + 1) * rh
            tone = rng.uniform(0.86, 1.12)
            body = shape(T, T, lambda p: p.rrect((x0 + 0.5, y0 + 0.5, x1 - 1.0, y1 - 1.0), 1.2))
            if body.max() == 0:
                continue
            col = np.asarray(SLATE, np.float32)[None, None, :] * (tone * (0.9 + 0.2 * n + 0.08 * (grain - 0.5)))[..., None]
            paint(c, np.clip(col, 0, 255), body)
            top = shape(T, T, lambda p: p.rect((x0 + 0.5, y0 + 0.5, x1 - 1.0, y0 + 1.6)))
            left = shape(T, T, lambda p: p.rect((x0 + 0.5, y0 + 0.5, x0 + 1.5, y1 - 1.0)))
            bot = shape(T, T, lambda p: p.rect((x0 + 0.5, y1 - 2.2, x1 - 1.0, y1 - 1.0)))
            right = shape(T, T, lambda p: p.rect((x1 - 2.0, y0 + 0.5, x1 - 1.0, y1 - 1.0)))
            paint(c, SLATE_LIGHT, top * body, 0.75)
            paint(c, SLATE_LIGHT, left * body, 0.45)
            paint(c, SLATE_DARK, bot * body, 0.8)
            paint(c, SLATE_DARK, right * body, 0.6)
    return c


def cobble_tile():
    c = new(T, T)
    paint(c, (26, 26, 30), None, 0.55)
    rng = np.random.RandomState(61)
    n = fbm(T, T, 8, 62, periodic=True)
    for r in range(3):
        for k in range(3):
            off = 8.33 if r % 2 else 0
            cx = (k * 16.67 + off + 8.33) % 50
            cy = r * 16.67 + 8.33
            jx, jy = rng.uniform(-1.2, 1.2), rng.uniform(-1.2, 1.2)
            rx, ry = rng.uniform(6.2, 7.4), rng.uniform(6.0, 7.0)
            tone = rng.uniform(0.85, 1.15)
            for wx in (-50, 0, 50):
                m = shape(T, T, lambda p: p.ellipse((cx + jx + wx - rx, cy + jy - ry, cx + jx + wx + rx, cy + jy + ry)))
                if m.max() == 0:
                    continue
                col = np.asarray((104, 100, 96), np.float32) * tone
                paint(c, col, m, 0.85)
                hl = shape(T, T, lambda p: p.ellipse((cx + jx + wx - rx * 0.7, cy + jy - ry * 0.8, cx + jx + wx + rx * 0.3, cy + jy)))
                paint(c, (150, 144, 134), hl * m, 0.35)
    shade(c, 0.92 + 0.16 * n)
    return c


# ---- the box: three pieces designed together -------------------------------

SLITS = ((17, 20), (27, 30))
WINDOWS = ((0, 0), (30, 30))    # tile-local corners of the two band pieces   # rows of the open gaps between the lid planks


def crate_geometry():
    g = {}
    g['body'] = shape(T, T, lambda p: p.rect((0, 0, 50, 50)))
    slit = shape(T, T, lambda p: [p.rect((8, a, 42, b)) for a, b in SLITS])
    g['frame'] = shape(T, T, lambda p: (p.rect((0, 0, 50, 50)), p.rect((8, 8, 42, 42), fill=0)))
    g['panel'] = shape(T, T, lambda p: p.rect((8, 8, 42, 42)))
    g['brace'] = shape(T, T, lambda p: p.poly([(8, 36.5), (36.5, 8), (42, 8), (42, 13.5), (13.5, 42), (8, 42)]))
    g['slit'] = np.clip(slit - g['brace'], 0, 1)
    legs = []
    for sx, sy in ((0, 0), (1, 0), (0, 1), (1, 1)):
        def br(p, sx=sx, sy=sy):
            X = (lambda x: 50 - x) if sx else (lambda x: x)
            Y = (lambda y: 50 - y) if sy else (lambda y: y)
            p.poly([(X(0), Y(0)), (X(13), Y(0)), (X(13), Y(4)), (X(4), Y(4)), (X(4), Y(13)), (X(0), Y(13))])
        legs.append(shape(T, T, br))
    g['iron'] = np.clip(sum(legs), 0, 1)
    rivets = []
    for x, y in ((2, 2), (10.5, 2), (2, 10.5)):
        for sx in (0, 1):
            for sy in (0, 1):
                X = 50 - x if sx else x
                Y = 50 - y if sy else y
                rivets.append((X, Y))
    g['rivet_pts'] = rivets
    g['rivet'] = shape(T, T, lambda p: [p.circle(x, y, 1.05) for x, y in rivets])
    return g


def wood(seed, vertical, base):
    n = fbm(T, T, 10, seed, octaves=3)
    if vertical:
        streak = noise(T, T, 1.5, seed + 1)[:, :]
        streak = np.repeat(streak[:1, :], T, axis=0) * 0.6 + 0.4 * streak
    else:
        streak = noise(T, T, 1.5, seed + 1)
        streak = np.repeat(streak[:, :1], T, axis=1) * 0.6 + 0.4 * streak
    f = 0.86 + 0.14 * n + 0.12 * (streak - 0.5)
    return np.asarray(base, np.float32)[None, None, :] * f[..., None]


def crate_paint(g):
    """The crate's wood and iron, without the lantern highlights (those live
    in the overlay piece) and before the slits are cut."""
    c = new(T, T)
    paint(c, np.clip(wood(71, False, WOOD) * 0.86, 0, 255), g['panel'])
    panel_shade = np.ones((T, T), np.float32)
    for a, b in SLITS:
        panel_shade[b:b + 1, :] *= 0.8
        panel_shade[a - 1:a, :] *= 0.88
    shade(c, panel_shade, g['panel'])
    frame_col = np.where(np.abs(np.arange(T)[None, :] - 24.5) > np.abs(np.arange(T)[:, None] - 24.5),
                         0, 1)[..., None]
    fc = np.where(frame_col, wood(73, False, WOOD_LIGHT), wood(74, True, WOOD_LIGHT)) * 0.9
    paint(c, np.clip(fc, 0, 255), g['frame'])
    # brace with a soft shadow on the panel below it
    sh = np.clip(blur(shift(g['brace'], 1, 2), 1) - g['brace'], 0, 1) * g['panel']
    paint(c, WOOD_EDGE, sh, 0.55)
    paint(c, np.clip(wood(75, False, WOOD_LIGHT), 0, 255) * 0.97, g['brace'])
    be = np.clip(g['brace'] - shift(g['brace'], -1, -1), 0, 1)
    paint(c, WOOD_DARK, be, 0.5)
    dk = np.zeros((T, T), np.float32)
    dk[-2:, :] = 1
    dk[:, -2:] = 1
    paint(c, WOOD_DARK, dk, 0.8)
    inner = np.zeros((T, T), np.float32)
    inner[7:9, 7:43] = 1
    inner[7:43, 7:9] = 1
    paint(c, WOOD_EDGE, inner, 0.55)
    edge = np.zeros((T, T), np.float32)
    edge[0, :] = edge[-1, :] = 1
    edge[:, 0] = edge[:, -1] = 1
    paint(c, WOOD_EDGE, edge, 0.85)
    # iron corner brackets with rivets
    paint(c, WOOD_EDGE, np.clip(shift(g['iron'], 1, 1) - g['iron'], 0, 1) * (1 - g['iron']), 0.6)
    paint(c, IRON, g['iron'])
    ir = np.clip(g['iron'] - shift(g['iron'], 1, 1), 0, 1)
    paint(c, IRON_LIGHT, ir, 0.45)
    paint(c, (30, 32, 38), g['rivet'])
    return c


def cut_slits(c, g):
    keep = 1 - g['slit']
    c *= keep[..., None]
    return c


def box_on_target_tile(g):
    """The crate standing on a target: the same crate washed in teal light
    welling up through the gaps between the planks. Kept within what the
    box tile below it can absorb (see box_tile)."""
    base = crate_paint(g)
    c = base.copy()
    shade(c, np.ones((T, T, 1), np.float32) * np.array([0.62, 1.0, 1.06], np.float32))
    rim = blur(g['slit'], 2)
    glow(c, (60, 220, 200), np.clip(rim * 3, 0, 1) * (1 - g['slit']), 0.5)
    edge = np.zeros((T, T), np.float32)
    edge[0:2, :] = edge[-2:, :] = 1
    edge[:, 0:2] = edge[:, -2:] = 1
    paint(c, (50, 150, 140), edge, 0.6)
    cap = base[..., :3] * np.array([1.0, 1.7, 1.7], np.float32)
    c[..., :3] = np.minimum(c[..., :3], cap)
    # Two 10 x 10 windows of this tile are stretched across the screen as
    # darkening bands; flat and opaque there, the bands come out even.
    for x, y in WINDOWS:
        win = c[y:y + 10, x:x + 10]
        limit = cap[y:y + 10, x:x + 10].reshape(-1, 3).min(axis=0)
        win[..., :3] = np.minimum(win[..., :3].reshape(-1, 3).mean(axis=0), limit)
        win[..., 3] = 1
    return cut_slits(c, g)


def box_overlay(g):
    """Lantern light over the painted box: rim highlights and glints only."""
    o = new(T, T)
    fr = np.zeros((T, T), np.float32)
    fr[0:2, 1:-1] = 1
    fr[1:-1, 0:2] = 0.7
    paint(o, (240, 196, 136), fr * (1 - g['iron']), 0.55)
    inner2 = np.zeros((T, T), np.float32)
    inner2[41:43, 9:42] = 1
    inner2[9:42, 41:43] = 1
    paint(o, (236, 186, 120), inner2, 0.35)
    bh = np.clip(g['brace'] - shift(g['brace'], 1, 1), 0, 1) * (1 - g['slit'])
    paint(o, (246, 206, 150), bh, 0.45)
    riv = shape(T, T, lambda p: [p.circle(x - 0.35, y - 0.35, 0.6) for x, y in g['rivet_pts']])
    paint(o, (236, 240, 248), riv, 0.9)
    sheen = shape(T, T, lambda p: p.poly([(2, 2), (22, 2), (2, 22)]))
    paint(o, LANTERN, blur(sheen, 3) * (1 - g['iron']) * (1 - g['slit']), 0.10)
    return o


def painted_box(t5, t7, ov):
    """What the game's start-up makes of the box tile, in premultiplied terms."""
    tinted = t7 * TINT[None, None, :]
    c = tinted + t5 * (1 - tinted[..., 3:4])
    return ov + c * (1 - ov[..., 3:4])


def box_look(g, ov):
    """The box as it should look in play."""
    base = cut_slits(crate_paint(g), g)
    return ov + base * (1 - ov[..., 3:4])


def box_tile(g, t7, ov):
    """Solve for the file's box tile so that, after the start-up painting,
    the box looks like box_look()."""
    want = box_look(g, ov)
    tinted = t7 * TINT[None, None, :]
    oa = ov[..., 3:4]
    under = (want - ov) / np.maximum(1 - oa, 1e-3)     # needed below the overlay
    ta = tinted[..., 3:4]
    t5 = (under - tinted) / np.maximum(1 - ta, 1e-3)
    a = want[..., 3:4]
    t5[..., 3:4] = a
    t5[..., :3] = np.clip(t5[..., :3], 0, a)
    return t5


def box_pieces():
    g = crate_geometry()
    t7 = box_on_target_tile(g)
    ov = box_overlay(g)
    t5 = box_tile(g, t7, ov)
    return t5, t7, ov


# ---- the player -------------------------------------------------------------

SKIN = (238, 194, 152)
CAP = (36, 118, 122)
CAP_DARK = (22, 74, 80)
JACKET = (214, 134, 48)
JACKET_DARK = (150, 84, 26)
TROUSERS = (60, 74, 104)
BOOT = (58, 36, 22)
HAIR = (92, 56, 30)


def figure(w, h, ox, oy, k, pose, flip=False):
    """A small warehouse hand in a teal cap and amber jacket. Coordinates are
    those of a 50 x 50 frame, moved by (ox, oy) and scaled by k. pose is one
    of 'front', 'walk_front', 'back', 'side', 'cheer'. Returns the picture."""
    fw = 50 if flip else None
    kw = dict(ox=ox, oy=oy, k=k, flip_w=fw)
    S = lambda fn: shape(w, h, fn, **kw)
    parts = []   # (colour, mask) from back to front

    if pose == 'side':
        leg_b = S(lambda p: p.line([(25, 36), (20.5, 44.5)], 5.2))
        leg_f = S(lambda p: p.line([(25, 36), (30, 44.5)], 5.2))
        boot_b = S(lambda p: p.ellipse((16.5, 42.5, 24.5, 47.5)))
        boot_f = S(lambda p: p.ellipse((27.5, 42.5, 35.5, 47.5)))
        arm_b = S(lambda p: p.line([(25, 27), (30.5, 34)], 4.2))
        body = S(lambda p: p.rrect((19.5, 24, 30.5, 38), 4))
        arm_f = S(lambda p: p.line([(24, 27), (19.5, 34.5)], 4.2))
        hand_f = S(lambda p: p.circle(19.2, 35, 2.1))
        hand_b = S(lambda p: p.circle(31, 34.5, 2.1))
        head = S(lambda p: p.circle(25.5, 16.5, 8.6))
        hair = S(lambda p: p.ellipse((16.5, 12, 24, 23)))
        cap = S(lambda p: (p.ellipse((16.5, 6.8, 34, 20)), p.rect((14, 14.6, 40, 24), fill=0)))
        brim = S(lambda p: p.ellipse((26, 11.8, 38.5, 15.0)))
        eye = S(lambda p: p.ellipse((29.4, 15.4, 31.9, 19.2)))
        eye_glint = S(lambda p: p.circle(31.2, 16.2, 0.55))
        nose = S(lambda p: p.circle(33.6, 18.6, 1.5))
        cheek = S(lambda p: p.circle(28.6, 21.0, 1.6))
        mouth = S(lambda p: p.arc(30, 20.2, 2.4, 40, 120, 0.9))
        parts = [(TROUSERS, leg_b), (BOOT, boot_b), (JACKET_DARK, arm_b), (SKIN, hand_b),
                 (TROUSERS, leg_f), (BOOT, boot_f), (JACKET, body), (JACKET, arm_f), (SKIN, hand_f),
                 (SKIN, head), (HAIR, hair * head), (CAP, cap), (CAP_DARK, brim),
                 (INK, eye), ((255, 255, 255), eye_glint), ((226, 150, 118), nose), ((240, 140, 130), cheek), ((120, 50, 40), mouth)]
    else:
        walk = pose == 'walk_front'
        back = pose == 'back'
        cheer = pose == 'cheer'
        ll = 44.5 if not walk else 46
        rl = 44.5 if not walk else 42.5
        leg_l = S(lambda p: p.line([(22, 36), (21.5, ll)], 5.2))
        leg_r = S(lambda p: p.line([(28, 36), (28.5, rl)], 5.2))
        boot_l = S(lambda p: p.ellipse((17.8, ll - 2.2, 25.2, ll + 2.8)))
        boot_r = S(lambda p: p.ellipse((24.8, rl - 2.2, 32.2, rl + 2.8)))
        body = S(lambda p: p.rrect((16.5, 24, 33.5, 38.5), 5))
        if cheer:
            arm_l = S(lambda p: p.line([(18.5, 27), (13, 20), (11.5, 13)], 4.2))
            arm_r = S(lambda p: p.line([(31.5, 27), (37, 20), (38.5, 13)], 4.2))
            hands = S(lambda p: (p.circle(11.3, 12, 2.4), p.circle(38.7, 12, 2.4)))
        else:
            ly = 36 if not walk else 34
            ry = 36 if not walk else 37.5
            arm_l = S(lambda p: p.line([(18, 27), (15.5, ly)], 4.2))
            arm_r = S(lambda p: p.line([(32, 27), (34.5, ry)], 4.2))
            hands = S(lambda p: (p.circle(15.3, ly + 1, 2.2), p.circle(34.7, ry + 1, 2.2)))
        head = S(lambda p: p.circle(25, 16.5, 8.8))
        parts = [(TROUSERS, leg_l), (TROUSERS, leg_r), (BOOT, boot_l), (BOOT, boot_r),
                 (JACKET_DARK if back else JACKET, arm_l), (JACKET_DARK if back else JACKET, arm_r),
                 (SKIN, hands), (JACKET, body)]
        if not back:
            buttons = S(lambda p: (p.circle(25, 29, 0.8), p.circle(25, 33.5, 0.8)))
            collar = S(lambda p: p.poly([(21, 24), (25, 28), (29, 24)]))
            parts += [((250, 236, 210), collar), (JACKET_DARK, buttons)]
        else:
            seam = S(lambda p: p.line([(25, 25), (25, 37.5)], 0.8))
            parts += [(JACKET_DARK, seam)]
        parts += [(SKIN, head)]
        if back:
            hair = S(lambda p: p.ellipse((16.2, 9, 33.8, 25)))
            cap = S(lambda p: (p.ellipse((15.6, 6.6, 34.4, 21)), p.rect((10, 15.5, 40, 30), fill=0)))
            band = S(lambda p: p.rect((16, 14.2, 34, 15.8)))
            parts += [(HAIR, hair * head), (CAP, cap), (CAP_DARK, band * cap)]
        else:
            cap = S(lambda p: (p.ellipse((15.6, 6.6, 34.4, 21)), p.rect((10, 13.2, 40, 30), fill=0)))
            brim = S(lambda p: p.ellipse((15.5, 11.2, 34.5, 15.4)))
            eyes = S(lambda p: (p.ellipse((20.3, 15.4, 22.7, 18.8)), p.ellipse((27.3, 15.4, 29.7, 18.8))))
            glint = S(lambda p: (p.circle(21.9, 16.2, 0.55), p.circle(28.9, 16.2, 0.55)))
            cheeks = S(lambda p: (p.circle(19.6, 20.6, 1.7), p.circle(30.4, 20.6, 1.7)))
            if cheer:
                mouth = S(lambda p: p.ellipse((22.6, 19.8, 27.4, 23.6)))
            else:
                mouth = S(lambda p: p.arc(25, 19.6, 2.8, 30, 150, 0.95))
            parts += [(CAP, cap), (CAP_DARK, brim), (INK, eyes), ((255, 255, 255), glint),
                      ((242, 140, 128), cheeks), ((120, 46, 36), mouth)]
    sil = np.zeros((h, w), np.float32)
    for _, m in parts:
        sil = np.maximum(sil, m)
    c = new(w, h)
    paint(c, (0, 0, 0), blur(shift(sil, max(1, round(k)), max(1, round(k * 1.5))), max(1, round(k))), 0.25)
    paint(c, (28, 22, 20), dilate(sil, max(1, round(k * 0.8))), 0.95)
    for col, m in parts:
        paint(c, col, m)
    # lantern light from the upper left
    lit = np.clip(sil - shift(sil, max(1, round(k)), max(1, round(k))), 0, 1)
    glow(c, (255, 230, 180), lit, 0.25)
    return c


def player_frames():
    return [figure(T, T, 0, 0, 1, 'front'),
            figure(T, T, 0, 0, 1, 'side'),
            figure(T, T, 0, 0, 1, 'side', flip=True),
            figure(T, T, 0, 0, 1, 'back'),
            figure(T, T, 0, 0, 1, 'walk_front')]
