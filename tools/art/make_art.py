#!/usr/bin/python3
"""Makes every picture of the game: the sprite sheet gr333.png, the level
backgrounds mar1-4.jpg, the result picture mil2.png and the banner tm.png.

    /usr/bin/python3 tools/art/make_art.py OUTDIR

Everything is drawn here from code with fixed seeds, so two runs write the
same bytes."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import numpy as np                      # noqa: E402
from PIL import Image                   # noqa: E402

import canvas                           # noqa: E402
import scenes                           # noqa: E402
import tiles                            # noqa: E402
import ui                               # noqa: E402

SHEET_W, SHEET_H = 700, 744


def place(sheet, piece, x, y):
    h, w = piece.shape[:2]
    assert x + w <= SHEET_W and y + h <= SHEET_H, (x, y, w, h)
    sheet[y:y + h, x:x + w] = piece


def pad_edges(sheet, x, y, w, h, n):
    """Repeats a stretched piece's border pixels outward into empty space, so
    filtering at its edges never reads a foreign colour."""
    piece = sheet[y:y + h, x:x + w]
    y0, y1 = max(0, y - n), min(SHEET_H, y + h + n)
    x0, x1 = max(0, x - n), min(SHEET_W, x + w + n)
    padded = np.pad(piece, ((y - y0, y1 - y - h), (x - x0, x1 - x - w), (0, 0)), mode='edge')
    region = sheet[y0:y1, x0:x1]
    empty = region[..., 3] == 0
    region[empty] = padded[empty]


def sprite_sheet():
    s = canvas.new(SHEET_W, SHEET_H)
    t5, t7, ov = tiles.box_pieces()
    board = {0: canvas.new(50, 50), 1: tiles.cobble_tile(), 2: tiles.floor_tile(),
             3: tiles.target_tile(), 4: tiles.wall_tile(), 5: t5,
             6: tiles.plain_floor_tile(), 7: t7}
    for v, t in board.items():
        place(s, t, (v % 4) * 50, (v // 4) * 50)
    place(s, ov, 200, 0)
    for i, f in enumerate(tiles.player_frames()):
        place(s, f, 50 * i, 100)
    place(s, ui.top_bar(), 0, 160)
    place(s, ui.button_strip(), 10, 160)
    for i, (x, y) in enumerate(((10, 205), (80, 205), (180, 205))):
        place(s, ui.highlight(i), x, y)
    place(s, ui.sound_icon(), 350, 175)
    place(s, ui.menu_title_strip(), 320, 88)
    place(s, ui.level_base(), 310, 140)
    place(s, ui.solved_mark(), 350, 140)
    place(s, ui.unlocked_mark(), 390, 140)
    place(s, ui.locked_mark(), 430, 140)
    place(s, ui.side_panel(), 400, 0)
    place(s, scenes.closing_picture(), 0, 244)
    assert s[0:50, 0:50, 3].max() == 0                     # outside: background shows
    for x, y in ((150, 50), (180, 80)):                     # band pieces in tile 7
        win = s[y:y + 10, x:x + 10]
        assert win[..., 3].min() > 0.99 and np.ptp(win.reshape(-1, 4), axis=0).max() < 1e-3
    # The menu tints this piece (12, 12, 12, 6): colour twice its opacity, so
    # only a dark piece darkens what it is laid over; at 8 bits a channel
    # above 10 would add a step on each pass and tint the darkened bar.
    band = s[450:455, 400:405]
    assert band[..., 3].min() > 0.99 and band[..., :3].max() <= 10.4 / 255, band
    # stretched pieces get a margin of their own border pixels
    pad_edges(s, 0, 160, 10, 36, 4)
    pad_edges(s, 320, 88, 10, 28, 4)
    pad_edges(s, 400, 0, 24, 10, 4)
    return s


def save_png(c, path):
    canvas.to_image(c).save(path, optimize=False, compress_level=9)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write('usage: make_art.py OUTDIR\n')
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    save_png(sprite_sheet(), os.path.join(out, 'gr333.png'))
    for i, kind in enumerate(('dawn', 'sea', 'autumn', 'night'), start=1):
        im = canvas.to_image(scenes.background(kind)).convert('RGB')
        im.save(os.path.join(out, 'mar%d.jpg' % i), quality=88, optimize=False, subsampling=0)
    save_png(scenes.result_picture(), os.path.join(out, 'mil2.png'))
    save_png(scenes.banner(), os.path.join(out, 'tm.png'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
