#!/usr/bin/env python3
"""Checks the winning sound: a short 16-bit PCM mono file that starts and ends in silence and never clips."""

import struct
import sys
import wave


def main():
    path = sys.argv[1]
    with wave.open(path, "rb") as w:  # the wave module reads only uncompressed PCM
        channels, width, rate, frames = w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()
        data = w.readframes(frames)
    problems = []
    if (channels, width) != (1, 2):
        problems.append("expected 16-bit mono, got %d channels of %d bytes" % (channels, width))
    if rate not in (22050, 44100):
        problems.append("sample rate %d" % rate)
    if problems:
        sys.exit("\n".join(problems))
    samples = struct.unpack("<%dh" % frames, data)
    seconds = frames / rate
    if not 1.0 <= seconds <= 1.5:
        problems.append("lasts %.2f s" % seconds)
    peak = max(abs(v) for v in samples)
    if peak >= 32767:
        problems.append("clips")
    if peak < 8000:
        problems.append("too quiet: peak %d" % peak)
    edge = rate // 500  # 2 ms
    # A sound that starts or stops at full level clicks.
    for name, part in (("start", samples[:edge]), ("end", samples[-edge:])):
        if max(abs(v) for v in part) > peak // 10:
            problems.append("does not fade at its %s" % name)
    if problems:
        sys.exit("\n".join(problems))
    print("tada.wav: %.2f s, %d Hz, peak %d" % (seconds, rate, peak))


if __name__ == "__main__":
    main()
