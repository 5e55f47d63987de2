#!/usr/bin/env python3
"""Synthesises the winning fanfare tada.wav: a rising C major arpeggio ending in a held chord."""

import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH = 1.3  # seconds
PEAK = 0.7  # of full scale, leaves headroom

C5, E5, G5, C6, E6 = 523.25, 659.26, 783.99, 1046.50, 1318.51

# (start time in seconds, frequency in Hz, duration in seconds, loudness)
NOTES = [
    (0.00, C5, 0.30, 0.8),
    (0.10, E5, 0.30, 0.8),
    (0.20, G5, 0.30, 0.8),
    (0.30, C6, 0.30, 0.9),
    # The final chord, held and fading out.
    (0.45, C5, 0.85, 0.6),
    (0.45, E5, 0.85, 0.5),
    (0.45, G5, 0.85, 0.5),
    (0.45, C6, 0.85, 0.6),
    (0.45, E6, 0.85, 0.3),
]

# Relative strengths of the first harmonics: a soft, slightly brassy tone.
HARMONICS = [1.0, 0.45, 0.25, 0.12, 0.06]


def envelope(t, duration):
    """Soft attack, gentle exponential decay and a short release so no note clicks."""
    attack, release = 0.015, 0.06
    if t < 0 or t > duration:
        return 0.0
    level = min(1.0, t / attack) * math.exp(-2.5 * t)
    if t > duration - release:
        level *= (duration - t) / release
    return level


def tone(t, frequency):
    return sum(strength * math.sin(2 * math.pi * frequency * (n + 1) * t)
               for n, strength in enumerate(HARMONICS))


def samples():
    count = int(RATE * LENGTH)
    mix = [0.0] * count
    for start, frequency, duration, loudness in NOTES:
        first = int(start * RATE)
        for i in range(first, min(count, first + int(duration * RATE))):
            t = i / RATE - start
            mix[i] += loudness * envelope(t, duration) * tone(t, frequency)
    # The whole file fades to silence over its last 0.2 seconds.
    fade = int(0.2 * RATE)
    for i in range(count - fade, count):
        mix[i] *= (count - i) / fade
    scale = PEAK / max(abs(v) for v in mix)
    return [round(v * scale * 32767) for v in mix]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "sound", "tada.wav")
    data = samples()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(data), *data))


if __name__ == "__main__":
    main()
