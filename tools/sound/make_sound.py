#!/usr/bin/python3
"""Synthesises the game's sound cues and its music track.

Usage: make_sound.py OUTDIR  ->  s0.wav, s2.wav, s3.wav, Lumavale.ogg

Everything is computed with numpy from fixed seeds, so two runs give the
same bytes.  The music is rendered to a temporary 16-bit WAV and encoded
with oggenc using a fixed stream serial.
"""
import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

SR = 44100


# ---------------------------------------------------------------- helpers

def write_wav(path, x, channels=1):
    """16-bit PCM; x is float in -1..1, shape (n,) or (n, channels)."""
    pcm = np.clip(np.round(x * 32767.0), -32768, 32767).astype('<i2')
    with wave.open(path, 'wb') as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.tobytes())


def times(seconds):
    return np.arange(int(round(seconds * SR))) / SR


def db(value):
    return 10.0 ** (value / 20.0)


def normalise(x, peak_db):
    return x * (db(peak_db) / np.max(np.abs(x)))


def band(x, lo, hi, slope=1.0):
    """Zero-phase band-pass in the frequency domain with soft skirts.

    slope is the skirt width in octaves; lo=0 or hi=None leaves that side
    open."""
    n = len(x)
    size = 1 << int(np.ceil(np.log2(max(n, 2))))
    spectrum = np.fft.rfft(x, size)
    f = np.fft.rfftfreq(size, 1.0 / SR)
    f[0] = 1e-3
    gain = np.ones_like(f)
    if lo:
        gain *= 1.0 / (1.0 + (lo / f) ** (4.0 / slope))
    if hi:
        gain *= 1.0 / (1.0 + (f / hi) ** (4.0 / slope))
    return np.fft.irfft(spectrum * gain, size)[:n]


def fade_edges(x, fade_in=0.0005, fade_out=0.005):
    """Short ramps at both ends so a sample never starts or stops with a click."""
    y = x.copy()
    a = max(1, int(fade_in * SR))
    b = max(1, int(fade_out * SR))
    y[:a] *= np.linspace(0.0, 1.0, a)
    y[-b:] *= np.linspace(1.0, 0.0, b) ** 2
    return y


def midi_hz(m):
    return 440.0 * 2.0 ** ((m - 69) / 12.0)


# ------------------------------------------------------------------ cues

def make_tick():
    """A soft wooden tick, 30 ms: the build-up plays it for every cell.

    Short on purpose: only four samples can sound at once, and a tick that
    ends quickly frees its voice for the next cell."""
    rng = np.random.default_rng(101)
    t = times(0.03)
    body = (np.sin(2 * np.pi * 1150 * t) * np.exp(-t / 0.0055)
            + 0.22 * np.sin(2 * np.pi * 2650 * t + 0.7) * np.exp(-t / 0.0028)
            + 0.15 * np.sin(2 * np.pi * 560 * t) * np.exp(-t / 0.009))
    click = band(rng.standard_normal(len(t)), 1500, 5000) * np.exp(-t / 0.001)
    x = body + 0.18 * click / np.max(np.abs(click))
    # 1.5 ms rise: soft enough that hundreds in a row do not rattle.
    rise = np.minimum(1.0, t / 0.0015)
    x *= rise * (0.5 - 0.5 * np.cos(np.pi * rise))
    return normalise(fade_edges(x, 0.0005, 0.008), -7.0)


def make_push():
    """A box shoved over boards: a low knock and a short grainy scrape."""
    rng = np.random.default_rng(202)
    t = times(0.26)
    n = len(t)
    # Knock: a falling low sine with a woody mid resonance.
    sweep = 105.0 * np.exp(-t / 0.09) + 62.0
    phase = 2 * np.pi * np.cumsum(sweep) / SR
    knock = np.sin(phase) * np.exp(-t / 0.045)
    wood = band(rng.standard_normal(n), 280, 520, 0.5) * np.exp(-t / 0.03)
    wood /= np.max(np.abs(wood))
    # Scrape: band noise whose loudness jitters like grain catching.
    grain = band(rng.standard_normal(n), 0, 45)
    grain = 0.55 + 0.45 * np.tanh(3.0 * grain / np.std(grain))
    env = np.minimum(1.0, t / 0.025) * np.clip((0.24 - t) / 0.12, 0.0, 1.0)
    scrape = band(rng.standard_normal(n), 450, 2300, 1.2) * grain * env
    scrape /= np.max(np.abs(scrape))
    x = 1.0 * knock + 0.45 * wood + 0.32 * scrape
    return normalise(fade_edges(x, 0.0008, 0.02), -6.0)


def bell(freq, dur, strength=1.0):
    t = times(dur)
    ratios = (1.0, 2.0, 3.01, 4.17, 5.43, 6.8)
    amps = (1.0, 0.42, 0.22, 0.12, 0.07, 0.035)
    decays = (0.95, 0.6, 0.38, 0.25, 0.16, 0.1)
    x = np.zeros_like(t)
    for r, a, d in zip(ratios, amps, decays):
        x += a * np.sin(2 * np.pi * freq * r * t) * np.exp(-t / d)
    return strength * x * np.minimum(1.0, t / 0.003)


def make_chime():
    """Rising bell arpeggio on the track's home chord, 1.7 s."""
    total = times(1.7)
    x = np.zeros_like(total)
    notes = ((77, 0.00, 0.8), (81, 0.08, 0.75), (84, 0.16, 0.75), (89, 0.26, 0.9),
             (72, 0.26, 0.35))
    for midi, start, strength in notes:
        b = bell(midi_hz(midi), 1.7 - start, strength)
        i = int(start * SR)
        x[i:i + len(b)] += b[:len(x) - i]
    # A soft shimmer an octave up, slightly detuned, for air.
    shimmer = 0.06 * np.sin(2 * np.pi * midi_hz(101) * 1.003 * total) \
        * np.exp(-np.abs(total - 0.45) / 0.25)
    x += shimmer
    tail = np.clip((1.7 - total) / 0.5, 0.0, 1.0) ** 2
    # -4 dBFS leaves room for the game's gain of 1.4 (+2.9 dB).
    return normalise(fade_edges(x * tail, 0.0005, 0.05), -4.0)


# ----------------------------------------------------------------- music

BPM = 76.0
BEAT = 60.0 / BPM
BAR = 4 * BEAT

# Chords as (root MIDI note, intervals) in F major.
CHORDS = {
    'F': (53, (0, 4, 7, 11)),       # Fmaj7
    'Dm': (50, (0, 3, 7, 10)),      # Dm7
    'Bb': (46, (0, 4, 7, 11)),      # Bbmaj7
    'Csus': (48, (0, 5, 7, 10)),    # C7sus4
    'C': (48, (0, 4, 7, 10)),       # C7
    'Am': (45, (0, 3, 7, 10)),      # Am7
    'Gm': (43, (0, 3, 7, 10)),      # Gm7
    'F/A': (53, (0, 4, 7, 14)),     # Fadd9
}

SCALE = (0, 2, 4, 5, 7, 9, 11)     # F major, relative to F
TONIC = 5                          # pitch class of F

# Each bar: one or two chords (the second from beat 3).
INTRO = [['F'], ['Bb'], ['F'], ['Bb', 'Csus']]
A_BARS = [['F'], ['Dm'], ['Bb'], ['Csus', 'C'], ['F'], ['Am'], ['Bb'], ['Csus', 'C']]
A_END = [['F'], ['Dm'], ['Bb'], ['Csus', 'C'], ['F'], ['Am'], ['Bb', 'C'], ['F']]
B_BARS = [['Bb'], ['Am'], ['Gm'], ['F/A'], ['Bb'], ['Am'], ['Gm'], ['Csus', 'C']]
OUTRO = [['Bb'], ['F'], ['Bb', 'Csus'], ['F']]

# (name, bars, melody key, drum level)
FORM = [('intro', INTRO, None, 0.0),
        ('A1', A_BARS, 'A', 0.7),
        ('A2', A_BARS, 'A', 1.0),
        ('B', B_BARS, 'B', 0.85),
        ('A3', A_END, 'A', 1.0),
        ('outro', OUTRO, None, 0.4)]


def chord_at(bar_chords, beat):
    if len(bar_chords) == 1 or beat < 2.0:
        return bar_chords[0]
    return bar_chords[1]


def chord_pitch_classes(name):
    root, ivs = CHORDS[name]
    return {(root + i) % 12 for i in ivs}


def scale_notes(lo, hi):
    return [m for m in range(lo, hi + 1) if (m - TONIC) % 12 in SCALE]


RHYTHMS = [  # eighth-note lengths summing to 8 (one bar)
    (2, 2, 2, 2), (3, 1, 2, 2), (2, 1, 1, 4), (4, 2, 2), (3, 3, 2),
    (1, 1, 2, 2, 2), (2, 2, 4), (3, 1, 4), (6, 2), (2, 1, 1, 2, 2),
]
CADENCE_RHYTHMS = [(4, 4), (2, 6), (3, 5), (8,)]


def make_melody(bars, seed, lo, hi, start_note):
    """Seeded melody over a chord list.

    Chord tones on strong beats, mostly stepwise motion elsewhere; each
    four-bar phrase follows an arch (up to a peak, back down) and ends on a
    long note; a melody that closes on the home chord lands on its root."""
    rng = np.random.default_rng(seed)
    notes = scale_notes(lo, hi)
    cur = min(notes, key=lambda m: abs(m - start_note))
    prev = None
    out = []  # (start in beats from section start, length in beats, midi)
    for b, chords in enumerate(bars):
        phrase_bar = b % 4
        pool = CADENCE_RHYTHMS if phrase_bar == 3 else RHYTHMS
        rhythm = pool[rng.integers(len(pool))]
        # The second phrase peaks a little higher and later than the first.
        peak = 0.45 if b < 4 else 0.6
        height = 0.7 if b < 4 else 0.9
        pos = 0
        for k, eighths in enumerate(rhythm):
            beat = pos / 2.0
            frac = (phrase_bar * 4 + beat) / 16.0
            arch = np.sin(np.pi * min(1.0, frac / (2 * peak))) if frac < peak else \
                np.cos(0.5 * np.pi * (frac - peak) / (1.0 - peak))
            target = lo + 2 + (hi - lo - 4) * (0.25 + height * 0.75 * arch)
            # A note held across a chord change must suit both chords.
            pcs = chord_pitch_classes(chord_at(chords, beat))
            end = beat + eighths / 2.0
            if beat < 2.0 < end and len(chords) == 2:
                pcs = (pcs & chord_pitch_classes(chords[1])) or pcs
            strong = pos % 4 == 0 or eighths >= 3
            closing = (b == len(bars) - 1 and k == len(rhythm) - 1
                       and chord_at(chords, beat) == 'F')
            if closing:
                cands = [m for m in notes if m % 12 == TONIC]
            elif strong:
                cands = [m for m in notes if m % 12 in pcs]
            else:
                cands = notes
            w = []
            for m in cands:
                step = abs(m - cur)
                weight = np.exp(-step / (3.0 if strong else 1.6))
                weight *= np.exp(-abs(m - target) / 3.5)
                if m == cur:
                    weight *= 0.35 if prev != cur else 0.05
                if step > 7:
                    weight *= 0.2
                w.append(weight)
            w = np.array(w)
            prev, cur = cur, cands[rng.choice(len(cands), p=w / w.sum())]
            # Now and then a breath instead of a short weak note.
            if not strong and eighths <= 1 and rng.random() < 0.2:
                pos += eighths
                continue
            out.append((b * 4 + beat, eighths / 2.0, cur))
            pos += eighths
    return out


def env_adsr(n, attack, decay_tau, sustain, release, length):
    """Attack, exponential decay to sustain, release after `length` seconds."""
    t = np.arange(n) / SR
    env = np.minimum(1.0, t / attack) if attack > 0 else np.ones(n)
    env = env * (sustain + (1.0 - sustain) * np.exp(-np.maximum(t - attack, 0) / decay_tau))
    rel = np.clip(1.0 - (t - length) / release, 0.0, 1.0)
    return env * rel


def voice_melody(freq, length, vel, rng):
    n = int((length + 0.35) * SR)
    t = np.arange(n) / SR
    vib = 1.0 + 0.0035 * np.sin(2 * np.pi * 5.2 * t + rng.random() * 6.28) * np.minimum(1.0, t / 0.4)
    ph = 2 * np.pi * freq * np.cumsum(vib) / SR
    x = np.sin(ph) + 0.22 * np.sin(2 * ph) + 0.08 * np.sin(3 * ph) + 0.03 * np.sin(4 * ph)
    # Breath: a whisper of filtered noise at the onset.
    return vel * x * env_adsr(n, 0.035, 0.6, 0.55, 0.3, length)


def voice_epiano(freq, length, vel):
    """Two-operator FM tine: bright at the strike, mellow as it rings."""
    dur = min(length, 2.5) + 0.6
    n = int(dur * SR)
    t = np.arange(n) / SR
    index = 1.6 * np.exp(-t / 0.25) + 0.15
    mod = np.sin(2 * np.pi * freq * t)
    x = np.sin(2 * np.pi * freq * t + index * mod)
    # The tine partial is dropped where it would fold back past Nyquist.
    tine = 0.12 * np.sin(2 * np.pi * freq * 14.0 * t) * np.exp(-t / 0.02) \
        if freq * 14.0 < 18000 else 0.0
    env = np.exp(-t / 1.1) * np.minimum(1.0, t / 0.002)
    env *= np.clip(1.0 - (t - min(length, 2.5)) / 0.6, 0.0, 1.0)
    return vel * (x + tine) * env


def voice_pad(freq, length, rng):
    n = int((length + 1.2) * SR)
    t = np.arange(n) / SR
    x = np.zeros(n)
    for det in (-0.006, 0.0, 0.0055):
        ph0 = rng.random() * 6.28
        f = freq * (1.0 + det)
        for h in range(1, 7):
            x += np.sin(2 * np.pi * f * h * t + ph0 * h) / h ** 1.8
    slow = 1.0 + 0.15 * np.sin(2 * np.pi * 0.23 * t + rng.random() * 6.28)
    env = np.minimum(1.0, t / 0.9) * np.clip(1.0 - (t - length) / 1.2, 0.0, 1.0)
    return x * env * slow / 3.0


def voice_bass(freq, length, vel):
    n = int((length + 0.15) * SR)
    t = np.arange(n) / SR
    x = np.sin(2 * np.pi * freq * t) + 0.3 * np.sin(4 * np.pi * freq * t) \
        + 0.1 * np.sin(6 * np.pi * freq * t)
    env = np.minimum(1.0, t / 0.008) * (0.35 + 0.65 * np.exp(-t / 0.35))
    env *= np.clip(1.0 - (t - length) / 0.15, 0.0, 1.0)
    return vel * x * env


def drum_kit(rng):
    kit = {}
    t = times(0.45)
    sweep = 48.0 + 70.0 * np.exp(-t / 0.03)
    kick = np.sin(2 * np.pi * np.cumsum(sweep) / SR) * np.exp(-t / 0.16)
    kick += 0.15 * band(rng.standard_normal(len(t)), 1000, 4000) * np.exp(-t / 0.003)
    kit['kick'] = fade_edges(kick, 0.0005, 0.05)
    t = times(0.3)
    brush = band(rng.standard_normal(len(t)), 900, 6000, 1.5)
    brush = brush / np.max(np.abs(brush)) * np.exp(-t / 0.07) * np.minimum(1.0, t / 0.006)
    brush += 0.3 * np.sin(2 * np.pi * 190 * t) * np.exp(-t / 0.04)
    kit['brush'] = fade_edges(brush, 0.0005, 0.05)
    kit['hats'] = []
    for _ in range(4):
        t = times(0.08)
        h = band(rng.standard_normal(len(t)), 6500, 14000)
        h = h / np.max(np.abs(h)) * np.exp(-t / 0.018) * np.minimum(1.0, t / 0.002)
        kit['hats'].append(fade_edges(h, 0.0005, 0.01))
    return kit


def add_at(buf, start_s, x):
    i = int(round(start_s * SR))
    if i >= len(buf):
        return
    m = min(len(x), len(buf) - i)
    buf[i:i + m] += x[:m]


def reverb(x, seconds=2.4, seed=77):
    """Convolution with a decaying, darkening noise tail."""
    rng = np.random.default_rng(seed)
    n = int(seconds * SR)
    t = np.arange(n) / SR
    ir = rng.standard_normal(n) * np.exp(-t * 6.9 / seconds)
    # Later parts of the tail are duller: blend in a low-passed copy.
    dull = band(ir, 0, 2500)
    mix = np.minimum(1.0, t / 0.6)
    ir = (1 - mix) * band(ir, 0, 7000) + mix * dull
    ir[:int(0.012 * SR)] = 0.0          # pre-delay
    ir /= np.sqrt(np.sum(ir ** 2))
    size = 1 << int(np.ceil(np.log2(len(x) + n)))
    y = np.fft.irfft(np.fft.rfft(x, size) * np.fft.rfft(ir, size), size)
    return y[:len(x)]


def make_music():
    rng = np.random.default_rng(4242)
    total_bars = sum(len(bars) for _, bars, _, _ in FORM)
    length = total_bars * BAR + 4.0
    n = int(length * SR)
    dry = np.zeros(n)
    send = np.zeros(n)
    kit = drum_kit(np.random.default_rng(9))

    themes = {
        'A': make_melody(A_BARS, 1907, 65, 81, 72),
        'B': make_melody(B_BARS, 2311, 67, 84, 77),
    }
    # The last A lands home: its final two bars come from their own draw.
    ending = [e for e in make_melody(A_END, 3001, 65, 81, 72) if e[0] >= 24]
    themes['A_end'] = [e for e in themes['A'] if e[0] < 24] + ending

    comp_patterns = [
        ((0.0, 1.6), (1.5, 0.5), (2.0, 1.6), (3.5, 0.5)),
        ((0.0, 2.0), (2.5, 1.5)),
        ((0.0, 1.0), (1.5, 1.0), (2.5, 1.5)),
    ]

    bar0 = 0
    for name, bars, mel, drums in FORM:
        sec_start = bar0 * BAR
        # Melody
        if mel:
            key = 'A_end' if name == 'A3' else mel
            gain = 0.30 if name != 'A1' else 0.26
            for beat, dur, midi in themes[key]:
                v = gain * (0.85 + 0.15 * rng.random())
                x = voice_melody(midi_hz(midi), dur * BEAT * 0.95, v, rng)
                start = sec_start + beat * BEAT + rng.normal(0, 0.006)
                add_at(dry, max(0.0, start), x)
                add_at(send, max(0.0, start), 0.55 * x)
                if name in ('A2', 'A3'):
                    # The returning theme gets a quiet bell an octave up.
                    y = voice_epiano(midi_hz(midi + 12), dur * BEAT, 0.35 * v)
                    add_at(dry, max(0.0, start), y)
                    add_at(send, max(0.0, start), 0.7 * y)
        for b, chords in enumerate(bars):
            bstart = sec_start + b * BAR
            last_bar = name == 'outro' and b == len(bars) - 1
            # Pad: the chord's upper notes, held over its span.
            for ci, chord in enumerate(chords):
                span = BAR if len(chords) == 1 else BAR / 2
                if last_bar:
                    span = BAR + 2.5
                cstart = bstart + ci * (BAR / 2)
                root, ivs = CHORDS[chord]
                for iv in ivs:
                    m = root + iv
                    while m < 55:
                        m += 12
                    x = 0.05 * voice_pad(midi_hz(m), span, rng)
                    add_at(dry, cstart, x)
                    add_at(send, cstart, 0.9 * x)
                # Bass: root on the chord's first beat, fifth on its third.
                broot = root
                while broot > 41:
                    broot -= 12
                if name == 'intro' and b < 2:
                    continue
                bass_notes = [(0.0, 1.8, broot)]
                if len(chords) == 1 and not last_bar:
                    fifth = broot + 7 if rng.random() < 0.6 else broot + 12
                    bass_notes = [(0.0, 1.8, broot), (2.0, 1.3, fifth), (3.5, 0.45, broot + (10 if rng.random() < 0.5 else 12))]
                if last_bar:
                    bass_notes = [(0.0, BAR + 1.5, broot)]
                for bb, dd, mm in bass_notes:
                    add_at(dry, cstart + bb * BEAT, voice_bass(midi_hz(mm), dd * BEAT, 0.26))
            # Electric piano comping
            pat = comp_patterns[(b + bar0 + (1 if name == 'B' else 0)) % len(comp_patterns)]
            if last_bar:
                pat = ((0.0, 4.0),)
            for beat, dur in pat:
                chord = chord_at(chords, beat)
                root, ivs = CHORDS[chord]
                strum = 0.0
                # Third, fifth and seventh: no root (the bass has it) and no
                # semitone rubs between neighbours.
                for iv in ivs[1:]:
                    m = root + iv
                    while m < 57:
                        m += 12
                    while m > 72:
                        m -= 12
                    v = 0.1 * (1.0 if beat % 2 == 0 else 0.75) * (0.85 + 0.3 * rng.random())
                    x = voice_epiano(midi_hz(m), dur * BEAT, v)
                    start = bstart + beat * BEAT + strum
                    add_at(dry, start, x)
                    add_at(send, start, 0.4 * x)
                    strum += 0.008 + 0.004 * rng.random()
            # Drums
            if drums > 0:
                lvl = drums
                if name == 'outro':
                    lvl *= max(0.0, 1.0 - b / 3.0)
                for beat in (0.0, 2.0):
                    if name == 'B' and beat == 2.0 and b % 2 == 0:
                        continue
                    add_at(dry, bstart + beat * BEAT, 0.42 * lvl * kit['kick'])
                for beat in (1.0, 3.0):
                    add_at(dry, bstart + beat * BEAT + rng.normal(0, 0.004),
                           0.16 * lvl * kit['brush'])
                    add_at(send, bstart + beat * BEAT, 0.06 * lvl * kit['brush'])
                for e in range(8):
                    accent = 1.0 if e % 2 else 0.55
                    h = kit['hats'][rng.integers(len(kit['hats']))]
                    swing = 0.06 * BEAT if e % 2 else 0.0
                    add_at(dry, bstart + e * BEAT / 2 + swing + rng.normal(0, 0.003),
                           0.07 * lvl * accent * (0.8 + 0.4 * rng.random()) * h)
        bar0 += len(bars)

    mix = dry + 0.32 * reverb(send)
    # Tidy the ends of the spectrum: nothing below 35 Hz, a gentle top.
    mix = band(mix, 35, 15000, 1.0)
    # Fade the very end and master with headroom for the encoder.
    t = np.arange(n) / SR
    mix *= np.clip((length - t) / 3.0, 0.0, 1.0)
    peak = np.max(np.abs(mix))
    mix = mix / peak * db(-1.5)
    return mix


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_sound.py OUTDIR')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_wav(os.path.join(out, 's0.wav'), make_tick())
    write_wav(os.path.join(out, 's2.wav'), make_push())
    write_wav(os.path.join(out, 's3.wav'), make_chime())
    music = make_music()
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, 'music.wav')
        write_wav(wav, music)
        # Fixed serial: the Ogg stream otherwise gets a random one per run.
        subprocess.run(['oggenc', '-Q', '-q', '4', '-s', '1234',
                        '-o', os.path.join(out, 'Lumavale.ogg'), wav], check=True)


if __name__ == '__main__':
    main()
