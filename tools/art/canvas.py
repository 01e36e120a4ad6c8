"""Small drawing kit for the art generator.

Pictures are float32 arrays (h, w, 4) holding premultiplied RGBA in 0..1.
Shapes are drawn by PIL at SS times the size and reduced to coverage masks,
so edges come out anti-aliased while the painting itself stays at 1x.
Everything is deterministic: no clocks, seeded generators only.
"""
import math

import numpy as np
from PIL import Image, ImageDraw

SS = 4


def new(w, h):
    return np.zeros((h, w, 4), np.float32)


def solid(w, h, col, a=1.0):
    c = new(w, h)
    c[..., :3] = np.asarray(col, np.float32) / 255 * a
    c[..., 3] = a
    return c


class Pen:
    """Records white shapes in 1x units, moved by (ox, oy) and scaled by k;
    mask() renders them supersampled, only over the box they cover."""

    def __init__(self, w, h, ox=0.0, oy=0.0, k=1.0, flip_w=None):
        self.w, self.h = w, h
        self.ox, self.oy, self.k = ox, oy, k
        self.flip_w = flip_w
        self.ops = []

    def _x(self, x):
        if self.flip_w is not None:
            x = self.flip_w - x
        return (self.ox + x * self.k) * SS

    def _y(self, y):
        return (self.oy + y * self.k) * SS

    def _box(self, b):
        x0, y0, x1, y1 = self._x(b[0]), self._y(b[1]), self._x(b[2]), self._y(b[3])
        x0, x1 = min(x0, x1), max(x0, x1)
        return (round(x0), round(y0), round(x1) - 1, round(y1) - 1)

    def ellipse(self, b, fill=255):
        bb = self._box(b)
        self.ops.append(('ellipse', bb, fill, [bb[:2], bb[2:]], 0))

    def circle(self, cx, cy, r, fill=255):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill)

    def rect(self, b, fill=255):
        bb = self._box(b)
        self.ops.append(('rect', bb, fill, [bb[:2], bb[2:]], 0))

    def rrect(self, b, r, fill=255):
        bb = self._box(b)
        rr = max(0, round(r * self.k * SS))
        rr = min(rr, max(0, (bb[2] - bb[0]) // 2), max(0, (bb[3] - bb[1]) // 2))
        self.ops.append(('rrect', (bb, rr), fill, [bb[:2], bb[2:]], 0))

    def poly(self, pts, fill=255):
        p = [(self._x(x), self._y(y)) for x, y in pts]
        self.ops.append(('poly', p, fill, p, 0))

    def line(self, pts, width, fill=255, round_ends=True):
        p = [(self._x(x), self._y(y)) for x, y in pts]
        wd = max(1, round(width * self.k * SS))
        self.ops.append(('line', (p, wd, round_ends), fill, p, wd))

    def arc(self, cx, cy, r, a0, a1, width, fill=255, steps=48):
        pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
                cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / steps)))
               for i in range(steps + 1)]
        self.line(pts, width, fill)

    def mask(self):
        out = np.zeros((self.h, self.w), np.float32)
        if not self.ops:
            return out
        xs = [x for op in self.ops for x, _ in op[3]]
        ys = [y for op in self.ops for _, y in op[3]]
        m = max(op[4] for op in self.ops) + 2
        X0 = max(0, int(math.floor((min(xs) - m) / SS)))
        Y0 = max(0, int(math.floor((min(ys) - m) / SS)))
        X1 = min(self.w, int(math.ceil((max(xs) + m) / SS)) + 1)
        Y1 = min(self.h, int(math.ceil((max(ys) + m) / SS)) + 1)
        if X1 <= X0 or Y1 <= Y0:
            return out
        im = Image.new('L', ((X1 - X0) * SS, (Y1 - Y0) * SS), 0)
        d = ImageDraw.Draw(im)
        dx, dy = X0 * SS, Y0 * SS
        mv = lambda pts: [(x - dx, y - dy) for x, y in pts]
        for kind, arg, fill, _, _ in self.ops:
            if kind == 'ellipse':
                d.ellipse((arg[0] - dx, arg[1] - dy, arg[2] - dx, arg[3] - dy), fill=fill)
            elif kind == 'rect':
                d.rectangle((arg[0] - dx, arg[1] - dy, arg[2] - dx, arg[3] - dy), fill=fill)
            elif kind == 'rrect':
                bb, rr = arg
                d.rounded_rectangle((bb[0] - dx, bb[1] - dy, bb[2] - dx, bb[3] - dy), radius=rr, fill=fill)
            elif kind == 'poly':
                d.polygon(mv(arg), fill=fill)
            else:
                p, wd, round_ends = arg
                p = mv(p)
                d.line(p, fill=fill, width=wd, joint='curve')
                if round_ends:
                    r = wd / 2
                    for x, y in (p[0], p[-1]):
                        d.ellipse((x - r, y - r, x + r, y + r), fill=fill)
        a = np.asarray(im, np.float32) / 255
        out[Y0:Y1, X0:X1] = a.reshape(Y1 - Y0, SS, X1 - X0, SS).mean(axis=(1, 3))
        return out


def shape(w, h, fn, **kw):
    p = Pen(w, h, **kw)
    fn(p)
    return p.mask()


def _bbox(m):
    rows = np.flatnonzero(m.any(axis=1))
    if rows.size == 0:
        return None
    cols = np.flatnonzero(m.any(axis=0))
    return rows[0], rows[-1] + 1, cols[0], cols[-1] + 1


def paint(c, col, m=None, a=1.0):
    """Source-over of colour col (rgb 0..255 tuple or (h, w, 3) array) through
    coverage m (array or None for everywhere) with opacity a."""
    col = np.asarray(col, np.float32) / 255
    if m is None:
        m = np.ones(c.shape[:2], np.float32)
    elif m.shape[0] * m.shape[1] > 20000:
        bb = _bbox(m > 0)
        if bb is None:
            return c
        y0, y1, x0, x1 = bb
        if (y1 - y0) * (x1 - x0) < 0.8 * m.size:
            return paint(c[y0:y1, x0:x1], col[y0:y1, x0:x1] * 255 if col.ndim == 3 else col * 255, m[y0:y1, x0:x1].copy(), a)
    m = np.clip(m * a, 0, 1).astype(np.float32)
    src = col * m[..., None] if col.ndim == 3 else col[None, None, :] * m[..., None]
    c[..., :3] = src + c[..., :3] * (1 - m[..., None])
    c[..., 3] = m + c[..., 3] * (1 - m)
    return c


def over(dst, src, x=0, y=0):
    """Premultiplied source-over of picture src onto dst at (x, y)."""
    h, w = src.shape[:2]
    d = dst[y:y + h, x:x + w]
    d[...] = src + d * (1 - src[..., 3:4])
    return dst


def shade(c, f, m=None):
    """Multiplies the colour (not the alpha) by f, optionally only through m."""
    f = np.asarray(f, np.float32)
    if f.ndim == 2:
        f = f[..., None]
    if m is not None:
        f = 1 + (f - 1) * m[..., None]
    c[..., :3] = np.minimum(c[..., :3] * f, c[..., 3:4])
    return c


def glow(c, col, m, a=1.0):
    """Adds light of colour col through m (additive, kept within alpha)."""
    col = np.asarray(col, np.float32) / 255
    add = col[None, None, :] * (m * a)[..., None] * c[..., 3:4]
    c[..., :3] = np.minimum(c[..., :3] + add, c[..., 3:4])
    return c


def blur(a, r):
    """Approximate gaussian: three box passes of radius r along both axes."""
    r = int(r)
    if r < 1:
        return a.copy()
    out = a.astype(np.float32)
    for axis in (0, 1):
        for _ in range(3):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r + 1, r)
            p = np.pad(out, pad, mode='edge')
            cs = np.cumsum(p, axis=axis, dtype=np.float64)
            n = out.shape[axis]
            hi = np.take(cs, np.arange(2 * r + 1, 2 * r + 1 + n), axis=axis)
            lo = np.take(cs, np.arange(0, n), axis=axis)
            out = ((hi - lo) / (2 * r + 1)).astype(np.float32)
    return out


def dilate(m, n=1):
    out = m.copy()
    for _ in range(n):
        p = np.pad(out, 1)
        acc = out.copy()
        for dy in (0, 1, 2):
            for dx in (0, 1, 2):
                acc = np.maximum(acc, p[dy:dy + out.shape[0], dx:dx + out.shape[1]])
        out = acc
    return out


def shift(m, dx, dy):
    out = np.zeros_like(m)
    h, w = m.shape[:2]
    xs0, xd0 = max(0, -dx), max(0, dx)
    ys0, yd0 = max(0, -dy), max(0, dy)
    ww, hh = w - abs(dx), h - abs(dy)
    out[yd0:yd0 + hh, xd0:xd0 + ww] = m[ys0:ys0 + hh, xs0:xs0 + ww]
    return out


def _resize_f(a, w, h):
    return np.asarray(Image.fromarray(a.astype(np.float32), 'F').resize((w, h), Image.BICUBIC), np.float32)


def noise(w, h, cell, seed, periodic=False):
    """Smooth value noise in 0..1 with features about `cell` pixels apart;
    periodic noise tiles seamlessly with period (w, h)."""
    rng = np.random.RandomState(seed)
    if periodic:
        gx, gy = max(1, round(w / cell)), max(1, round(h / cell))
        base = np.tile(rng.rand(gy, gx), (3, 3))
        big = _resize_f(base, 3 * w, 3 * h)
        out = big[h:2 * h, w:2 * w]
    else:
        gx, gy = int(w / cell) + 4, int(h / cell) + 4
        base = rng.rand(gy, gx)
        big = _resize_f(base, int(gx * cell), int(gy * cell))
        o = int(cell * 1.5)
        out = big[o:o + h, o:o + w]
    lo, hi = out.min(), out.max()
    return ((out - lo) / max(hi - lo, 1e-6)).astype(np.float32)


def fbm(w, h, cell, seed, octaves=4, periodic=False):
    acc = np.zeros((h, w), np.float32)
    amp, tot = 1.0, 0.0
    for i in range(octaves):
        c = max(1.0, cell / (2 ** i))
        acc += amp * noise(w, h, c, seed * 31 + i, periodic)
        tot += amp
        amp *= 0.5
    return acc / tot


def vgrad(w, h, stops):
    """Vertical gradient through [(t, rgb), ...], t in 0..1; returns (h, w, 3) 0..255."""
    t = (np.arange(h, dtype=np.float32) + 0.5) / h
    ts = [s[0] for s in stops]
    cols = np.array([s[1] for s in stops], np.float32)
    out = np.stack([np.interp(t, ts, cols[:, k]) for k in range(3)], axis=-1)
    return np.broadcast_to(out[:, None, :], (h, w, 3)).copy()


def radial(w, h, cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    return np.sqrt(((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2)


def to_image(c):
    a = c[..., 3:4]
    rgb = np.where(a > 1e-6, c[..., :3] / np.maximum(a, 1e-6), 0)
    out = np.concatenate([rgb, a], axis=-1)
    out = np.clip(np.round(out * 255), 0, 255).astype(np.uint8)
    out[out[..., 3] == 0] = 0
    return Image.fromarray(out, 'RGBA')


def from_image(im):
    a = np.asarray(im.convert('RGBA'), np.float32) / 255
    a[..., :3] *= a[..., 3:4]
    return a
