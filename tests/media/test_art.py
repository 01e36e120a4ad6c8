#!/usr/bin/python3
"""Checks the generated pictures the way the game draws them.

Sprite sheet: size and mode, the transparent outside tile, the pieces that
are stretched and tinted into darkening bands.  Pictures: the size of the
place each is drawn in.  And the committed media/ pictures are what
tools/art/make_art.py makes (it runs once more into a temp folder, ~1 min).
Prints 'N passed, M failed' last; exits 1 on any failure.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

ROOT = os.environ.get('PELMAK_SOURCE') or os.path.dirname(os.path.dirname(
    os.path.dirname(os.path.abspath(__file__))))
MEDIA = os.path.join(ROOT, 'media')
MASK = (255, 0, 255)          # the game turns this colour transparent on loading

PICTURES = ['gr333.png', 'mar1.jpg', 'mar2.jpg', 'mar3.jpg', 'mar4.jpg', 'mil2.png', 'tm.png']

# (file, exact size or None, largest size, where it is drawn)
SIZES = [
    ('mar1.jpg', (1024, 768), None, 'background, the whole screen'),
    ('mar2.jpg', (1024, 768), None, 'background, the whole screen'),
    ('mar3.jpg', (1024, 768), None, 'background, the whole screen'),
    ('mar4.jpg', (1024, 768), None, 'background, the whole screen'),
    ('mil2.png', None, (824, 618), 'result picture at (200, 150)'),
    ('tm.png', None, (None, 100), 'banner at y 668'),
]

results = []


def check(name, ok, detail=''):
    results.append(bool(ok))
    print(('ok   - ' if ok else 'FAIL - ') + name + ('' if ok else ': ' + str(detail)), flush=True)


def alpha_as_loaded(pixel):
    return 0 if pixel[:3] == MASK else pixel[3]


def region(sheet, x, y, w, h):
    return [sheet.getpixel((x + i, y + j)) for j in range(h) for i in range(w)]


def check_sheet():
    path = os.path.join(MEDIA, 'gr333.png')
    raw = Image.open(path)
    check('sheet is 700 x 744 RGBA', raw.size == (700, 744) and raw.mode == 'RGBA', (raw.size, raw.mode))
    sheet = raw.convert('RGBA')

    outside = [alpha_as_loaded(p) for p in region(sheet, 0, 0, 50, 50)]
    check('tile 0 (outside) is fully transparent', max(outside) == 0, max(outside))

    # Stretched across the screen as darkening bands: any detail would show as streaks.
    for x, y in ((150, 50), (180, 80)):
        pixels = region(sheet, x, y, 10, 10)
        check('band window (%d, %d) inside tile 7 is flat and opaque' % (x, y),
              len(set(pixels)) == 1 and pixels[0][3] == 255 and pixels[0][:3] != MASK, set(pixels))

    # Tinted (12, 12, 12, 6) over the top bar 21 times: only a nearly black
    # piece darkens; at 8 bits a channel above 10 adds a step on each pass.
    pixels = region(sheet, 400, 450, 5, 5)
    check('menu band piece at (400, 450) is opaque and dark',
          all(p[3] == 255 and max(p[:3]) <= 10 for p in pixels), set(pixels))


def check_sizes():
    for name, exact, largest, where in SIZES:
        size = Image.open(os.path.join(MEDIA, name)).size
        if exact:
            ok = size == exact
            want = '%d x %d' % exact
        else:
            ok = all(limit is None or have <= limit for have, limit in zip(size, largest))
            w, h = largest
            want = 'at most %d px high' % h if w is None else 'at most %d x %d' % (w, h)
        check('%s is %s (%s)' % (name, want, where), ok, size)


def check_reproducible():
    with tempfile.TemporaryDirectory(prefix='pelmak-art-') as out:
        run = subprocess.run(['/usr/bin/python3', os.path.join(ROOT, 'tools', 'art', 'make_art.py'), out],
                             capture_output=True, text=True, timeout=1200)
        check('make_art.py runs', run.returncode == 0, run.stderr[-800:])
        if run.returncode != 0:
            return
        for name in PICTURES:
            made = os.path.join(out, name)
            with open(os.path.join(MEDIA, name), 'rb') as a:
                committed = a.read()
            fresh = open(made, 'rb').read() if os.path.exists(made) else b''
            check('media/%s is what the generator makes' % name, committed == fresh,
                  '%d bytes committed, %d made' % (len(committed), len(fresh)))


def main():
    for part in (check_sheet, check_sizes, check_reproducible):
        try:
            part()
        except Exception as error:          # one broken part must not hide the others
            check(part.__name__ + ' ran', False, repr(error))
    failed = results.count(False)
    print('%d passed, %d failed' % (len(results) - failed, failed))
    return 1 if failed or not results else 0


if __name__ == '__main__':
    sys.exit(main())
