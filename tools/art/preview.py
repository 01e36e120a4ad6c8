#!/usr/bin/python3
"""Composes mock screens from the made pictures, the way the game draws them
(premultiplied blending, tints, stretched pieces), so the art can be judged
in place before the game runs.

    /usr/bin/python3 tools/art/preview.py MEDIADIR [OUTDIR]   (OUTDIR: /tmp)
"""
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

W, H = 1024, 768

LEVEL = [
    "    4444444     ",
    "    4222224     ",
    "  44423444444   ",
    "  42222225224   ",
    "  4225444422444 ",
    "  4272225222274 ",
    "  4222444444224 ",
    "  4444111114444 ",
]


def load(path):
    a = np.asarray(Image.open(path).convert('RGBA'), np.float32) / 255
    mask = (a[..., 0] == 1) & (a[..., 1] == 0) & (a[..., 2] == 1)
    a[mask] = 0
    a[..., :3] *= a[..., 3:4]
    return a


def draw(dst, src, sx, sy, sw, sh, dx, dy, dw=None, dh=None, tint=None):
    piece = src[sy:sy + sh, sx:sx + sw]
    dw = sw if dw is None else dw
    dh = sh if dh is None else dh
    if (dw, dh) != (sw, sh):
        ys = (np.arange(dh) * sh // dh).clip(0, sh - 1)
        xs = (np.arange(dw) * sw // dw).clip(0, sw - 1)
        piece = piece[ys][:, xs]
    if tint is not None:
        piece = piece * (np.asarray(tint, np.float32) / 255)
    x0, y0 = max(0, dx), max(0, dy)
    x1, y1 = min(dst.shape[1], dx + dw), min(dst.shape[0], dy + dh)
    if x1 <= x0 or y1 <= y0:
        return
    p = piece[y0 - dy:y1 - dy, x0 - dx:x1 - dx]
    d = dst[y0:y1, x0:x1]
    d[...] = p + d * (1 - p[..., 3:4])


def prepare_atlas(atlas):
    t7 = atlas[50:100, 150:200].copy()
    ov = atlas[0:50, 200:250].copy()
    draw(atlas, t7, 0, 0, 50, 50, 50, 50, tint=(40, 140, 140, 66))
    draw(atlas, ov, 0, 0, 50, 50, 50, 50)


def save(c, path):
    rgb = np.clip(np.round(c[..., :3] * 255), 0, 255).astype(np.uint8)
    Image.fromarray(rgb, 'RGB').save(path)
    print(path)


def play_screen(media, atlas, bg_name, frame):
    c = load(os.path.join(media, bg_name)).copy()
    floor = {}
    boxes = set()
    for r, row in enumerate(LEVEL):
        for col, ch in enumerate(row):
            v = 0 if ch == ' ' else int(ch)
            if v in (5, 7):
                floor[(col + 2, r + 3)] = 2 if v == 5 else 3
                boxes.add((col + 2, r + 3))
            else:
                floor[(col + 2, r + 3)] = v
    for r in range(16):
        for col in range(21):
            f = floor.get((col, r), 0)
            draw(c, atlas, (f % 4) * 50, (f // 4) * 50, 50, 50, 50 * col - 13, 50 * r - 20)
            if (col, r) in boxes:
                draw(c, atlas, 50, 50, 50, 50, 50 * col - 13, 50 * r - 20)
    draw(c, atlas, 50 * frame, 100, 50, 50, 50 * 8 - 13, 50 * 6 - 20)
    draw(c, atlas, 0, 160, 10, 36, 0, 13, 1024, 36)
    draw(c, atlas, 180, 80, 10, 10, 0, 49, 1024, 10, tint=(1, 1, 1, 66))
    draw(c, atlas, 10, 160, 300, 36, 740, 13)
    draw(c, atlas, 80, 205, 90, 25, 811, 19)
    draw(c, atlas, 350, 175, 50, 30, 483, 15)
    img = Image.fromarray(np.clip(np.round(c[..., :3] * 255), 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    d.text((60, 25), "Speed", fill=(188, 188, 188))
    d.text((110, 23), "2", fill=(222, 222, 22))
    d.text((370, 24), "Pushes", fill=(188, 188, 188))
    d.text((422, 24), "12", fill=(222, 222, 22))
    d.text((590, 25), "Level", fill=(188, 188, 188))
    d.text((645, 23), "7", fill=(222, 222, 2))
    return img


def menu_screen(media, atlas):
    c = np.asarray(play_screen(media, atlas, 'mar2.jpg', 0), np.float32) / 255
    c = np.concatenate([c, np.ones(c.shape[:2] + (1,), np.float32)], -1)
    draw(c, atlas, 400, 450, 5, 5, 0, 15, 1024, 36, tint=(12, 12, 12, 6))
    band = np.zeros((191, 320, 4), np.float32)
    band[..., 3] = 133 / 255
    draw(c, band, 0, 0, 320, 191, 350, 257)
    draw(c, atlas, 320, 88, 10, 28, 350, 262, 320, 28)
    c[294:439, 365:655, :3] = np.array([0, 20, 0]) / 255
    draw(c, atlas, 0, 160, 10, 32, 380, 331, 260, 35)
    for i in range(50):
        r, col = divmod(i, 10)
        x, y = 500 + 45 * col, 180 + 30 * r + 300
        if y + 27 > H:
            break
        draw(c, atlas, 310, 140, 40, 27, x - 460, y)
        mark = 350 if i < 6 else 390 if i == 6 else 430 if i < 30 else None
        if mark:
            draw(c, atlas, mark, 140, 40, 27, x - 460, y)
    img = Image.fromarray(np.clip(np.round(c[..., :3] * 255), 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    d.text((480, 269), "Menu", fill=(100, 180, 180))
    for i, t in enumerate(("Levels", "Back", "New game", "Quit")):
        d.text((490, 305 + 35 * i + 8), t, fill=(200, 200, 200) if i == 1 else (150, 150, 150))
    for i in range(30):
        r, col = divmod(i, 10)
        x, y = 40 + 45 * col, 480 + 30 * r
        d.text((x + 14, y + 8), str(i + 1), fill=(180, 180, 180))
    return img


def closing_screen(media, atlas):
    c = np.asarray(play_screen(media, atlas, 'mar3.jpg', 0), np.float32) / 255
    c = np.concatenate([c, np.ones(c.shape[:2] + (1,), np.float32)], -1)
    for r in range(16):
        for col in range(21):
            draw(c, atlas, 0, 50, 50, 50, 50 * col - 13, 50 * r - 20)
    s = 1.1
    draw(c, atlas, 0, 244, 700, 500, 131, 111, 770, 550, tint=(0, 0, 0, 51))
    draw(c, atlas, 0, 244, 700, 500, 111, 91, 770, 550)
    draw(c, atlas, 400, 0, 24, 10, 885, 20, 100, 724)
    img = Image.fromarray(np.clip(np.round(c[..., :3] * 255), 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    d.rectangle((885, 20, 985, 744), outline=(0, 0, 0), width=2)
    d.text((200, 500), "WELL DONE, ALL LEVELS SOLVED", fill=(0, 0, 0))
    d.text((590, 500), "Thanks for playing", fill=(0, 0, 0))
    d.text((590, 525), "Press Enter", fill=(0, 0, 0))
    d.text((910, 30), "Pushes", fill=(222, 222, 222))
    for j in range(40):
        d.text((900, 58 + 17 * j), "%d - %d" % (j + 1, 30 + j), fill=(122, 166, 122))
    return img


def result_screen(media, atlas):
    c = np.asarray(play_screen(media, atlas, 'mar4.jpg', 0), np.float32) / 255
    c = np.concatenate([c, np.ones(c.shape[:2] + (1,), np.float32)], -1)
    for _ in range(21):
        draw(c, atlas, 150, 50, 10, 10, 0, 12, 1024, 38, tint=(1, 1, 1, 8))
    bg = load(os.path.join(media, 'mar4.jpg'))
    draw(c, bg, 0, 0, 1024, 768, 0, 0)
    mil = load(os.path.join(media, 'mil2.png'))
    draw(c, mil, 0, 0, mil.shape[1], mil.shape[0], 200, 150)
    tm = load(os.path.join(media, 'tm.png'))
    draw(c, tm, 0, 0, tm.shape[1], tm.shape[0], 1300 - 900, 668)
    panel = np.zeros((166, 400, 4), np.float32)
    panel[..., 3] = 150 / 255
    draw(c, panel, 0, 0, 400, 166, 312, 250)
    img = Image.fromarray(np.clip(np.round(c[..., :3] * 255), 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    d.rectangle((312, 250, 712, 416), outline=(111, 222, 111), width=2)
    d.text((480, 268), "LEVEL SOLVED", fill=(200, 200, 111))
    d.text((300, 100), "42 / 100", fill=(255, 255, 255))
    return img


def main():
    media = sys.argv[1] if len(sys.argv) > 1 else 'media'
    out = sys.argv[2] if len(sys.argv) > 2 else '/tmp'
    atlas = load(os.path.join(media, 'gr333.png'))
    prepare_atlas(atlas)
    box = atlas[50:100, 50:100]
    save(np.kron(box, np.ones((6, 6, 1))), os.path.join(out, 'preview_box.png'))
    for i in range(1, 5):
        p = os.path.join(out, 'preview_play%d.png' % i)
        play_screen(media, atlas, 'mar%d.jpg' % i, (i - 1) % 5).save(p)
        print(p)
    for name, fn in (('menu', menu_screen), ('closing', closing_screen), ('result', result_screen)):
        p = os.path.join(out, 'preview_%s.png' % name)
        fn(media, atlas).save(p)
        print(p)


if __name__ == '__main__':
    main()
